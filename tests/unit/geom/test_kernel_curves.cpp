// Basic queries of every curve kind, checked as invariants on seeded random curves: derivatives
// against differences, lengths against chords and known values, closest points against dense
// samples, boxes against samples.
#include "geom/bezier.h"
#include "geom/closest.h"
#include "geom/nurbs.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

namespace zel::geom {
namespace {

using testing::CurveRandom;
using testing::kindName;
using testing::samples;

constexpr int kCases = 1000;

// True when t is this close to a knot of a spline (derivatives may jump there).
bool nearKnot(const Curve& c, double t, double gap) {
    auto* n = std::get_if<Nurbs>(&c);
    if (!n) {
        auto* p = std::get_if<Polyline>(&c);
        return p && std::fabs(t - std::round(t)) < gap;
    }
    return std::any_of(n->knots.begin(), n->knots.end(),
                       [&](double k) { return std::fabs(k - t) < gap; });
}

TEST(KernelCurves, DerivativesMatchDifferences) {
    CurveRandom rnd(11);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.any();
        double t = rnd.paramIn(c), h = 1e-6;
        if (!domain(c).contains(t - h) || !domain(c).contains(t + h) || nearKnot(c, t, 1e-4)) {
            continue;
        }
        Vec2 d1 = (pointAt(c, t + h) - pointAt(c, t - h)) / (2 * h);
        Vec2 d2 = (derivAt(c, t + h) - derivAt(c, t - h)) / (2 * h);
        double s1 = std::max(1.0, norm(derivAt(c, t))), s2 = std::max(1.0, norm(deriv2At(c, t)));
        EXPECT_LT(dist(d1, derivAt(c, t)), 1e-6 * s1) << kindName(c) << " case " << i;
        EXPECT_LT(dist(d2, deriv2At(c, t)), 1e-5 * s2) << kindName(c) << " case " << i;
    }
}

// The perimeter of an ellipse by the Gauss-Kummer series, independent of the kernel.
double perimeter(double a, double b) {
    double h = (a - b) * (a - b) / ((a + b) * (a + b)), term = 1, sum = 1;
    for (int n = 1; n < 60; ++n) {
        double binom = 1; // binomial(1/2, n)
        for (int k = 0; k < n; ++k) {
            binom *= (0.5 - k) / (k + 1);
        }
        term = binom * binom;
        sum += term * std::pow(h, n);
    }
    return kPi * (a + b) * sum;
}

TEST(KernelCurves, EllipseLengthMatchesSeries) {
    for (double ratio : {1.0, 0.5, 0.2, 0.05}) {
        Ellipse e{{3, -1}, {2 * std::cos(0.3), 2 * std::sin(0.3)}, ratio};
        EXPECT_NEAR(length(e), perimeter(2, 2 * ratio), 1e-11 * perimeter(2, 2 * ratio)) << ratio;
    }
}

TEST(KernelCurves, LengthsAddUpAndExceedChords) {
    CurveRandom rnd(12);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.any();
        Interval d = domain(c);
        if (!d.isFinite()) continue;
        double m = rnd.paramIn(c), whole = length(c);
        EXPECT_NEAR(lengthBetween(c, d.lo, m) + lengthBetween(c, m, d.hi), whole, 1e-11 * whole)
            << kindName(c);
        double chords = 0;
        std::vector<Vec2> pts = samples(c, 1000);
        for (size_t k = 1; k < pts.size(); ++k) {
            chords += dist(pts[k - 1], pts[k]);
        }
        EXPECT_LE(chords, whole * (1 + 1e-12)) << kindName(c) << " case " << i;
        EXPECT_GE(chords, whole * (1 - 1e-2)) << kindName(c) << " case " << i;
    }
}

TEST(KernelCurves, ParamAtLengthInvertsLength) {
    CurveRandom rnd(13);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.any();
        Interval d = domain(c);
        double total = d.isFinite() ? length(c) : 30;
        double s = rnd.real(0, total);
        double t = paramAtLength(c, s);
        double lo = std::isfinite(d.lo) ? d.lo : 0;
        EXPECT_NEAR(lengthBetween(c, lo, t), s, 1e-9 * std::max(1.0, total))
            << kindName(c) << " case " << i;
    }
}

TEST(KernelCurves, ClosestIsNoFartherThanSamples) {
    CurveRandom rnd(14);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.any();
        Vec2 p = rnd.point(15);
        Closest r = closest(c, p);
        double best = kInf;
        for (Vec2 q : samples(c, 1500)) {
            best = std::min(best, dist(p, q));
        }
        EXPECT_LE(r.distance, best + 1e-9) << kindName(c) << " case " << i;
        EXPECT_TRUE(domain(c).contains(r.param)) << kindName(c);
        EXPECT_LT(dist(pointAt(c, r.param), r.point), 1e-9) << kindName(c);
        EXPECT_NEAR(dist(p, r.point), r.distance, 1e-12);
    }
}

TEST(KernelCurves, ParamAtPointFindsPointsOfTheCurve) {
    CurveRandom rnd(15);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.any();
        Vec2 p = pointAt(c, rnd.paramIn(c));
        auto t = paramAtPoint(c, p);
        ASSERT_TRUE(t) << kindName(c) << " case " << i;
        EXPECT_LT(dist(pointAt(c, *t), p), 1e-9) << kindName(c) << " case " << i;
        Vec2 off = p + perp(tangentAt(c, *t)) * 1e-3;
        if (closest(c, off).distance > 1e-4) {
            EXPECT_FALSE(paramAtPoint(c, off)) << kindName(c);
        }
    }
}

TEST(KernelCurves, ExtendedClosestFollowsTheCarrier) {
    CurveRandom rnd(16);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.ofKind(rnd.integer(0, 5));
        Vec2 p = rnd.point(15);
        Closest ext = closest(c, p, true), onCarrier = closest(carrier(c), p);
        EXPECT_NEAR(ext.distance, onCarrier.distance, 1e-9) << kindName(c) << " case " << i;
        EXPECT_LT(dist(pointAt(c, ext.param), ext.point), 1e-9) << kindName(c);
        EXPECT_LE(ext.distance, closest(c, p).distance + 1e-12);
    }
}

TEST(KernelCurves, BoxesHoldTheCurveTightly) {
    CurveRandom rnd(17);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.any();
        Box2 box = bounds(c), seen;
        std::vector<Vec2> pts = samples(c, 1000);
        double gap = 0; // every side of a tight box is within a gap of a sample
        for (size_t k = 0; k < pts.size(); ++k) {
            EXPECT_TRUE(box.expanded(1e-9).contains(pts[k])) << kindName(c) << " case " << i;
            seen.add(pts[k]);
            if (k > 0) gap = std::max(gap, dist(pts[k], pts[k - 1]));
        }
        if (!box.isFinite()) continue;
        EXPECT_NEAR(seen.lo.x, box.lo.x, gap) << kindName(c) << " case " << i;
        EXPECT_NEAR(seen.hi.x, box.hi.x, gap) << kindName(c) << " case " << i;
        EXPECT_NEAR(seen.lo.y, box.lo.y, gap) << kindName(c) << " case " << i;
        EXPECT_NEAR(seen.hi.y, box.hi.y, gap) << kindName(c) << " case " << i;
    }
}

TEST(KernelCurves, InfiniteLinesHaveInfiniteBoxes) {
    Box2 ray = bounds(Ray{{1, 2}, {1, 0}});
    EXPECT_EQ(ray.lo, (Vec2{1, 2}));
    EXPECT_EQ(ray.hi.x, kInf);
    EXPECT_EQ(ray.hi.y, 2);
    Box2 line = bounds(xlineThrough({0, 0}, {1, 1}));
    EXPECT_EQ(line.lo, (Vec2{-kInf, -kInf}));
    EXPECT_EQ(line.hi, (Vec2{kInf, kInf}));
}

TEST(KernelCurves, KnotInsertionKeepsTheSpline) {
    CurveRandom rnd(18);
    for (int i = 0; i < 300; ++i) {
        Nurbs n = rnd.nurbs();
        Interval d = domain(n);
        Nurbs more = insertKnot(n, rnd.real(d.lo, d.hi), rnd.integer(1, n.degree));
        double a = rnd.real(d.lo, d.hi), b = rnd.real(d.lo, d.hi);
        Nurbs part = subNurbs(n, std::min(a, b), std::max(a, b));
        for (int k = 0; k <= 20; ++k) {
            double t = d.lo + d.span() * k / 20;
            EXPECT_LT(dist(pointAt(more, t), pointAt(n, t)), 1e-9) << "case " << i;
            double u = std::min(a, b) + std::fabs(b - a) * k / 20;
            EXPECT_LT(dist(pointAt(part, u), pointAt(n, u)), 1e-9) << "case " << i;
        }
        for (const auto& span : bezierSpans(n)) {
            for (double u : {0.0, 0.3, 1.0}) {
                // A Bezier piece with linear parameters: u maps to t0 + u (t1 - t0).
                Vec2 q = bezierPoint(span.points, u);
                EXPECT_LT(dist(q, pointAt(n, span.t0 + u * (span.t1 - span.t0))), 1e-9);
            }
        }
    }
}

TEST(KernelCurves, ConicPiecesLieOnTheConic) {
    CurveRandom rnd(19);
    for (int i = 0; i < 200; ++i) {
        Ellipse e = rnd.ellipse(rnd.coin());
        for (const BezierPiece& piece : bezierPieces(e)) {
            for (double u : {0.1, 0.5, 0.9}) {
                Vec2 q = bezierPoint(piece.points, u);
                EXPECT_LT(dist(pointAt(e, paramAt(piece, u)), q), 1e-9) << "case " << i;
                EXPECT_TRUE(domain(e).contains(paramAt(piece, u), 1e-12));
            }
        }
    }
}

struct BadCurve {
    const char* name;
    Curve curve;
};

TEST(KernelCurves, ValidateExplainsBadData) {
    const double nan = std::nan("");
    const BadCurve bad[] = {
        {"point segment", Segment{{1, 1}, {1, 1}}},
        {"nan segment", Segment{{nan, 0}, {1, 1}}},
        {"ray without direction", Ray{{0, 0}, {0, 0}}},
        {"long direction", XLine{{0, 0}, {2, 0}}},
        {"zero radius", Circle{{0, 0}, 0}},
        {"reversed arc", Arc{{0, 0}, 1, 2, 1}},
        {"arc over a turn", Arc{{0, 0}, 1, 0, 7}},
        {"flat ellipse", Ellipse{{0, 0}, {1, 0}, 0}},
        {"ratio above one", Ellipse{{0, 0}, {1, 0}, 2}},
        {"degree 0", Nurbs{0, {0, 1}, {{0, 0}}, {}}},
        {"few knots", Nurbs{1, {0, 0, 1}, {{0, 0}, {1, 1}}, {}}},
        {"falling knots", Nurbs{1, {0, 1, 0, 1}, {{0, 0}, {1, 1}}, {}}},
        {"negative weight", Nurbs{1, {0, 0, 1, 1}, {{0, 0}, {1, 1}}, {1, -1}}},
        {"empty range", Nurbs{1, {0, 0, 0, 0}, {{0, 0}, {1, 1}}, {}}},
        {"one vertex", Polyline{{{{0, 0}, 0}}, false}},
    };
    for (const auto& b : bad) {
        EXPECT_FALSE(validate(b.curve).empty()) << b.name;
    }
    CurveRandom rnd(20);
    for (int i = 0; i < 200; ++i) {
        Curve c = rnd.any();
        EXPECT_EQ(validate(c), "") << kindName(c);
    }
}

} // namespace
} // namespace zel::geom
