// The kinds of the host, registered by DXF type name when the registry is first used.
// A kind is added here with one line (its class's kindSchema()), so that the linker keeps it
// even when nothing else names it.
#include "db/schema.h"

namespace zel::db {

namespace ents {
void registerEntityKinds(SchemaRegistry& registry); // the complex entities (ents/)
}

void registerBuiltinKinds(SchemaRegistry& r) {
    // Symbol-table records.
    r.add(AcDbLayerTableRecord::kindSchema());
    r.add(AcDbLinetypeTableRecord::kindSchema());
    r.add(AcDbTextStyleTableRecord::kindSchema());
    r.add(AcDbDimStyleTableRecord::kindSchema());
    r.add(AcDbRegAppTableRecord::kindSchema());
    r.add(AcDbUCSTableRecord::kindSchema());
    r.add(AcDbViewTableRecord::kindSchema());
    r.add(AcDbViewportTableRecord::kindSchema());
    r.add(AcDbBlockTableRecord::kindSchema());
    // Objects.
    r.add(AcDbDictionary::kindSchema());
    r.add(AcDbXrecord::kindSchema());
    r.add(AcDbGroup::kindSchema());
    // Entities.
    r.add(AcDbBlockBegin::kindSchema());
    r.add(AcDbBlockEnd::kindSchema());
    r.add(AcDbLine::kindSchema());
    r.add(AcDbPoint::kindSchema());
    r.add(AcDbCircle::kindSchema());
    r.add(AcDbArc::kindSchema());
    r.add(AcDbEllipse::kindSchema());
    r.add(AcDbXline::kindSchema());
    r.add(AcDbRay::kindSchema());
    r.add(AcDbSolid::kindSchema());
    r.add(AcDbTrace::kindSchema());
    r.add(AcDbFace::kindSchema());
    ents::registerEntityKinds(r);
}

} // namespace zel::db
