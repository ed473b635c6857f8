// Intersections of two curves of any kinds, bounded or on extensions.
#pragma once

#include "core/tolerance.h"
#include "geom/curve2d.h"

namespace zel::geom {

enum class HitKind {
    Cross,      // the curves cross
    Touch,      // the curves touch (a double root, reported once)
    OverlapEnd, // an end of a stretch the curves share
};

struct Hit {
    Vec2 point;
    double t1 = 0, t2 = 0; // parameters on the first and second curve
    HitKind kind = HitKind::Cross;
};

struct Intersections {
    std::vector<Hit> hits; // ordered by t1
    // The curves share a stretch of positive length; its ends (where they have ends) are the
    // OverlapEnd hits.
    bool overlap = false;
};

// Which curves are taken whole: segments and rays as their lines, arcs as their circles,
// elliptical arcs as their ellipses. Parameters on an extension lie outside the curve's range
// (angles in the turn nearest to it). Splines and polylines are never extended.
enum class Extend { None, First, Second, Both };

Intersections intersect(const Curve& a, const Curve& b, Extend extend = Extend::None,
                        double tolerance = tol::kPoint);

} // namespace zel::geom
