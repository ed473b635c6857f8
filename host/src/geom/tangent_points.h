// Points of tangency seen from a point: where the lines through a point touch a circle, an
// arc, an ellipse or an elliptical arc (the tangent object snap).
#pragma once

#include "core/tolerance.h"
#include "geom/curve2d.h"

#include <vector>

namespace zel::geom {

struct TangentPoint {
    Vec2 point;
    double param = 0; // on the curve (the angle of an arc, the eccentric angle of an ellipse)
};

// The points of the curve where a line through p touches it: two for a point outside a
// circle or an ellipse, none for a point inside or on it (closer than `tolerance` to it). On
// an arc or an elliptical arc only those within its range; the arc segments of a polyline
// count as arcs. Lines and splines have none.
std::vector<TangentPoint> tangentPointsFrom(const Curve& c, Vec2 p, double tolerance = tol::kPoint);

} // namespace zel::geom
