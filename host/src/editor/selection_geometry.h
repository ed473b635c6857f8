// Whether the shape of an entity is selected by a window, a crossing window, a window or
// crossing polygon, or a fence. Touching a boundary counts as crossing it; a shape that only
// touches a window's boundary from inside is inside. Empty shapes are never selected.
#pragma once

#include "editor/selection_shape.h"

#include <vector>

namespace zel::editor {

using Polygon = std::vector<geom::Vec2>; // closed: the last corner joins the first

bool insideBox(const Shape& shape, const geom::Box2& window);
bool touchesBox(const Shape& shape, const geom::Box2& window);
bool insidePolygon(const Shape& shape, const Polygon& polygon);
bool touchesPolygon(const Shape& shape, const Polygon& polygon);
// fence: an open chain of points.
bool crossesFence(const Shape& shape, const std::vector<geom::Vec2>& fence);

// The box of a polygon or chain.
geom::Box2 boxOf(const std::vector<geom::Vec2>& points);

} // namespace zel::editor
