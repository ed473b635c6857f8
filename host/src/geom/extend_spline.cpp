// Straight extensions of splines. EXTEND and LENGTHEN carry an open spline on past its end
// along the tangent there: the spline keeps its shape and gains a straight piece of its own
// degree, joined at the old end in the same direction (tangent-continuous; the curvature
// drops to zero at the joint). A straight extension is what drafters expect of a spline run
// on to a boundary, it never curls back on itself, and it meets every boundary in closed form,
// so the new end lies on the boundary as exactly as the end of an extended line.
#include "core/tolerance.h"
#include "geom/edit.h"
#include "geom/nurbs.h"

#include <cassert>

namespace zel::geom {

namespace {

// The same curve with clamped knots (its ends are its first and last control points).
Nurbs clamped(const Nurbs& n) {
    Interval d = domain(n);
    return subNurbs(n, d.lo, d.hi);
}

// The parameter span the straight piece takes: the speed of the spline at its end carried on
// (the parameter runs on without a jump in speed), or the spline's mean parameters per unit
// of length where the speed vanishes.
double pieceSpan(const Nurbs& c, bool atStart, double distance) {
    Interval d = domain(c);
    double speed = norm(derivAt(c, atStart ? d.lo : d.hi));
    if (speed > tol::kPoint) return distance / speed;
    return distance * d.span() / std::max(length(Curve(c)), tol::kPoint);
}

// A straight Bezier piece of the given degree from a to b on the parameters [t0, t1].
Nurbs straightPiece(int degree, Vec2 a, Vec2 b, double t0, double t1) {
    Nurbs piece{degree, {}, {}, {}};
    for (int i = 0; i <= degree; ++i)
        piece.points.push_back(lerp(a, b, double(i) / degree));
    piece.knots.assign(degree + 1, t0);
    piece.knots.insert(piece.knots.end(), degree + 1, t1);
    return piece;
}

} // namespace

Vec2 splineEndDirection(const Nurbs& n, bool atStart) {
    Nurbs c = clamped(n);
    const std::vector<Vec2>& p = c.points;
    Vec2 end = atStart ? p.front() : p.back();
    // The first control point apart from the end gives the direction of the first derivative
    // that does not vanish there.
    for (size_t k = 1; k < p.size(); ++k) {
        Vec2 q = atStart ? p[k] : p[p.size() - 1 - k];
        if (dist(q, end) > tol::kPoint) return unit(end - q);
    }
    return {};
}

Nurbs extendSplineStraight(const Nurbs& n, bool atStart, double distance) {
    if (!(distance > 0)) return n;
    Nurbs c = clamped(n);
    Vec2 dir = splineEndDirection(c, atStart);
    assert(norm(dir) > 0 && "a spline whose points all coincide has no end direction");
    Interval d = domain(c);
    double span = pieceSpan(c, atStart, distance);
    if (atStart) {
        Vec2 end = c.points.front();
        return joinNurbs(straightPiece(c.degree, end + dir * distance, end, d.lo - span, d.lo), c);
    }
    Vec2 end = c.points.back();
    return joinNurbs(c, straightPiece(c.degree, end, end + dir * distance, d.hi, d.hi + span));
}

} // namespace zel::geom
