// The schemas of the complex entity kinds and their registration.
#pragma once

#include "db/schema.h"

#include <string_view>
#include <vector>

namespace zel::db::ents {

const ObjectSchema& lwpolylineSchema();
const ObjectSchema& polylineSchema(AcDb2dPolyline::Flavour flavour);
const ObjectSchema& vertexSchema(int16_t vertexFlags);
const ObjectSchema& sequenceEndSchema();
const ObjectSchema& splineSchema();
const ObjectSchema& textSchema();
const ObjectSchema& attributeDefinitionSchema();
const ObjectSchema& attributeSchema();
const ObjectSchema& mtextSchema();
const ObjectSchema& blockReferenceSchema();
const ObjectSchema& minsertSchema();
const ObjectSchema& dimensionSchema(AcDbDimension::Kind kind);
const ObjectSchema& leaderSchema();
const ObjectSchema& hatchSchema();
const ObjectSchema& regionSchema();

// Kinds that share one DXF type (POLYLINE, VERTEX, INSERT, DIMENSION): the schema of the
// object to make from its groups (subclass markers, else the 70 flags).
const ObjectSchema* polylineVariant(const std::vector<ZelGroupValue>& groups);
const ObjectSchema* vertexVariant(const std::vector<ZelGroupValue>& groups);
const ObjectSchema* insertVariant(const std::vector<ZelGroupValue>& groups);
const ObjectSchema* dimensionVariant(const std::vector<ZelGroupValue>& groups);

// Registers LWPOLYLINE, POLYLINE, VERTEX, SEQEND, SPLINE, TEXT, ATTDEF, ATTRIB, MTEXT,
// INSERT, DIMENSION, LEADER, HATCH and REGION.
void registerEntityKinds(SchemaRegistry& registry);

} // namespace zel::db::ents
