// Curves changed into other curves: reversed, cut to a range, split, extended.
#pragma once

#include "core/tolerance.h"
#include "geom/curve2d.h"

#include <optional>

namespace zel::geom {

// The curve run the other way through the same points. Arcs and circles turn into polylines
// of clockwise arcs and ellipses into splines, since those kinds run counter-clockwise only;
// a ray has no reverse (it would start at infinity): nullopt.
std::optional<Curve> reversed(const Curve& c);

// The part of the curve from parameter t0 to t1 (t0 < t1). On circles, full ellipses and
// closed polylines and splines, t1 <= t0 runs through the end of the range to the start.
// The part of a construction line up to t1 is a ray from the point at t1 pointing backwards.
Curve subCurve(const Curve& c, double t0, double t1);

// The pieces of the curve between the parameters (in any order; those at the ends or outside
// the range are ignored). Circles and full ellipses are cut into as many arcs as there are
// parameters; every other curve into one piece more, from its start to its end.
std::vector<Curve> split(const Curve& c, std::vector<double> params);

// The curve extended so that it ends at p, a point on its carrier beyond one of its ends: a
// segment or ray along its line, an arc along its circle, an elliptical arc along its ellipse,
// an open polyline along its first or last segment. The curve unchanged when p is already on
// it; nullopt when p is farther than `tolerance` from the extension or the curve does not
// extend (splines, circles, construction lines, closed curves).
std::optional<Curve> extendTo(const Curve& c, Vec2 p, double tolerance = tol::kOnCurve);

// The direction a spline leaves its end in: the end tangent pointing away from the curve
// (where control points repeat at the end, towards the first one apart from it). Zero when
// every control point coincides.
Vec2 splineEndDirection(const Nurbs& n, bool atStart);

// The spline carried on by `distance` past one end along splineEndDirection: a straight piece
// of the spline's degree joined at the old end (tangent-continuous). The spline unchanged when
// distance is not positive.
Nurbs extendSplineStraight(const Nurbs& n, bool atStart, double distance);

// The curve as a spline (exact: conics become rational quadratic pieces). Polylines, rays and
// construction lines have no single spline form: nullopt.
std::optional<Nurbs> toNurbs(const Curve& c);

} // namespace zel::geom
