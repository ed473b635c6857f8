// The geometry of an entity as the selection tests see it, in the world XY plane: the curves
// it draws and its lone points. Texts and hatches stand as the outlines of their boxes;
// regions as their loops; block references and dimensions as the entities of their blocks,
// placed.
#pragma once

#include "arx/db.h"
#include "geom/curve2d.h"

#include <vector>

namespace zel::editor {

struct Shape {
    std::vector<geom::Curve> curves; // each one connected
    std::vector<geom::Vec2> points;  // points drawn alone (POINT entities)
    bool empty() const { return curves.empty() && points.empty(); }
};

// The shape of an entity; with xform, of the entity placed by it (the entities of a block
// seen through a reference). Block references nest up to a fixed depth.
Shape shapeOf(const AcDbEntity& entity, const AcGeMatrix3d* xform = nullptr);

// The entities a block reference or a dimension shows (of its block, erased ones and the
// begin/end markers left out; the attributes of a reference after them), with the transform
// that places them. Empty for other kinds.
struct Placed {
    AcDbObjectId id;
    AcGeMatrix3d xform;
};
std::vector<Placed> shownEntities(const AcDbEntity& entity);

} // namespace zel::editor
