// Closest points of curves and parameters of points.
#pragma once

#include "core/tolerance.h"
#include "geom/curve2d.h"

#include <optional>

namespace zel::geom {

struct Closest {
    double param = 0;
    Vec2 point;
    double distance = kInf;
};

// The point of the curve nearest to p. With `extended`, lines, arcs and elliptical arcs are
// taken as their carriers (the parameter may then lie outside the curve's own range, as
// paramFromCarrier gives it); splines and polylines are never extended.
Closest closest(const Curve& c, Vec2 p, bool extended = false);

// The parameter of a point of the curve; nullopt when the point is farther than `tolerance`.
std::optional<double> paramAtPoint(const Curve& c, Vec2 p, double tolerance = tol::kOnCurve);

// Newton's method for a foot point of p on c started at t and kept inside `range`.
double refineClosest(const Curve& c, Vec2 p, double t, const Interval& range);

} // namespace zel::geom
