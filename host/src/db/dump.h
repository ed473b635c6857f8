// A canonical listing of a drawing: identical for the same drawing on every run and machine.
// Tables first (one line per record), then every block's entities in draw order, one line per
// entity: handle, type, layer, colour, linetype, lineweight, then its other groups with reals
// rounded to tol::kDumpRounding, then its extended data.
#pragma once

#include "arx/db.h"

#include <string>

namespace zel::db {

struct DumpOptions {
    bool withHandles = true; // false for comparing drawings whose handles may differ
};

std::string canonicalDump(const AcDbDatabase& db, const DumpOptions& options = {});

// One group as the dump shows it ("10=(1,2,0)", "1=\"text\"").
std::string dumpGroup(const ZelGroupValue& value);

} // namespace zel::db
