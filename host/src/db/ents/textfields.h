// The schema parts of TEXT that attribute definitions and attributes share.
#pragma once

#include "arx/db.h"
#include "db/schema.h"

namespace zel::db {

template <> struct KindSchema<AcDbText> {
    static bool read(AcDbObject& o, const ZelGroupValue& v);
    static void write(const AcDbObject& o, const GroupSink& sink);
    static std::vector<FieldDesc> fields();
    // The first "AcDbText" subclass (fields and the alignment point).
    static SubclassSchema textSubclass();
    static const ObjectSchema& get();
};

} // namespace zel::db
