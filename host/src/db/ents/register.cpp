// Registration of the complex entity kinds (called from registerBuiltinKinds).
#include "arx/db.h"
#include "db/ents/kinds.h"

namespace zel::db::ents {

void registerEntityKinds(SchemaRegistry& r) {
    r.add(lwpolylineSchema());
    r.add(polylineSchema(AcDb2dPolyline::k2d)); // with the other flavours as its variants
    r.add(vertexSchema(0));
    r.add(sequenceEndSchema());
    r.add(splineSchema());
    r.add(textSchema());
    r.add(attributeDefinitionSchema());
    r.add(attributeSchema());
    r.add(mtextSchema());
    r.add(blockReferenceSchema());
    r.add(dimensionSchema(AcDbDimension::kRotated));
    r.add(leaderSchema());
    r.add(hatchSchema());
    r.add(regionSchema());
}

} // namespace zel::db::ents
