// Internals of intersect(): intersections of carriers (construction lines, circles, full
// ellipses, splines) with parameters on the carriers.
#pragma once

#include "geom/intersect.h"

namespace zel::geom::detail {

Intersections lineLine(const XLine& a, const XLine& b, double tol);
Intersections lineCircle(const XLine& a, const Circle& b, double tol);
Intersections circleCircle(const Circle& a, const Circle& b, double tol);
Intersections lineEllipse(const XLine& a, const Ellipse& b, double tol);
// Any two carriers, by subdivision of their Bezier pieces and Newton's method.
Intersections numericIntersect(const Curve& a, const Curve& b, double tol);
// The same hits with the curves' roles exchanged.
Intersections swapped(Intersections r);

} // namespace zel::geom::detail
