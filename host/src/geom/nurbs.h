// B-spline machinery of the kernel: spans, evaluation with derivatives, knot insertion,
// sub-curves, reversal and joining. Control points are handled in homogeneous form.
#pragma once

#include "geom/curve2d.h"

#include <array>

namespace zel::geom {

// The highest degree the kernel evaluates (local arrays hold degree + 1 points).
inline constexpr int kMaxNurbsDegree = 25;

bool isRational(const Nurbs& c);
std::vector<Vec3> homogeneousPoints(const Nurbs& c);
Nurbs fromHomogeneous(int degree, std::vector<double> knots, const std::vector<Vec3>& points,
                      bool rational);

// The index k of the knot span [knots[k], knots[k + 1]) holding u (u clamped to the domain;
// the domain end belongs to the last non-empty span).
int findSpan(const Nurbs& c, double u);

// The homogeneous curve and its first `order` derivatives at u (order <= 2).
std::array<Vec3, 3> evalHomogeneous(const Nurbs& c, double u, int order);

// u inserted `times` times (Boehm's algorithm); the curve is unchanged.
Nurbs insertKnot(const Nurbs& c, double u, int times);
// The clamped curve on [a, b] (domain.lo <= a < b <= domain.hi), same parameters.
Nurbs subNurbs(const Nurbs& c, double a, double b);
// The same curve run backwards; parameter t maps to knots.front() + knots.back() - t.
Nurbs reversedNurbs(const Nurbs& c);
// b appended to a where a ends and b starts at the same point; b's parameters are shifted to
// continue a's. Both must be clamped.
Nurbs joinNurbs(const Nurbs& a, const Nurbs& b);
// The clamped Bezier pieces of the curve, one per non-empty span, with their spans.
struct BezierSpan {
    std::vector<Vec3> points;
    double t0 = 0, t1 = 0;
};
std::vector<BezierSpan> bezierSpans(const Nurbs& c);

} // namespace zel::geom
