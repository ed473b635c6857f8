// Splines run on straight past an end (EXTEND, LENGTHEN): worked cases, then seeded random
// invariants: the spline keeps its points, the new part lies on the end tangent, the length
// grows by the distance asked, and lengthening back restores the ends. (The 10,000-case runs
// of EXTEND and LENGTHEN over every kind, splines among them, are in test_kernel_cutting;
// ZEL_PROPERTY_CASES sets the count here.)
#include "geom/closest.h"
#include "geom/cutting.h"
#include "geom/edit.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zel::geom {
namespace {

using testing::CurveRandom;

int caseCount(int byDefault) {
    const char* v = std::getenv("ZEL_PROPERTY_CASES");
    return v ? std::max(1, std::atoi(v)) : byDefault;
}

constexpr double kOn = 1e-9;

Nurbs arch() {
    return {3, {0, 0, 0, 0, 1, 1, 1, 1}, {{0, 0}, {1, 2}, {3, 2}, {4, 0}}, {}};
}

// The distance of p from the line through a along the unit direction d.
double offLine(Vec2 p, Vec2 a, Vec2 d) {
    return std::abs(cross(d, p - a));
}

struct DirectionCase {
    const char* name;
    Nurbs spline;
    bool atStart;
    Vec2 want;
};

TEST(KernelSplineExtension, EndDirectionPointsAwayFromTheCurve) {
    Nurbs repeated{3, {0, 0, 0, 0, 1, 1, 1, 1}, {{0, 0}, {1, 2}, {4, 0}, {4, 0}}, {}};
    // Unclamped (uniform) knots: the end is not a control point.
    Nurbs uniform{2, {0, 1, 2, 3, 4, 5}, {{0, 0}, {2, 0}, {4, 0}}, {}};
    const DirectionCase cases[] = {
        {"arch end", arch(), false, unit(Vec2{1, -2})},
        {"arch start", arch(), true, unit(Vec2{-1, -2})},
        {"repeated end point", repeated, false, unit(Vec2{3, -2})},
        {"uniform knots end", uniform, false, {1, 0}},
        {"uniform knots start", uniform, true, {-1, 0}},
    };
    for (const DirectionCase& c : cases)
        EXPECT_LE(dist(splineEndDirection(c.spline, c.atStart), c.want), 1e-12) << c.name;
    Nurbs point{1, {0, 0, 1, 1}, {{3, 3}, {3, 3}}, {}};
    EXPECT_EQ(norm(splineEndDirection(point, false)), 0);
}

TEST(KernelSplineExtension, ExtendsStraightToTheBoundaryAndKeepsTheSpline) {
    Nurbs n = arch();
    // A horizontal boundary below the end: the tangent (1,-2) meets y = -4 at x = 6.
    std::vector<Curve> below{Segment{{-10, -4}, {10, -4}}};
    auto ext = extendToBoundaries(n, false, below, false);
    ASSERT_TRUE(ext);
    EXPECT_LE(dist(ext->end, {6, -4}), kOn);
    EXPECT_LE(dist(endPoint(ext->curve), {6, -4}), kOn);
    const auto& got = std::get<Nurbs>(ext->curve);
    for (double t : {0.0, 0.25, 0.5, 0.9, 1.0})
        EXPECT_LE(dist(pointAt(got, t), pointAt(n, t)), 1e-12) << "t " << t;
    EXPECT_NEAR(length(ext->curve), length(Curve(n)) + std::sqrt(20.0), 1e-9);
    // Nothing ahead of the start (the boundary lies behind it): no change.
    std::vector<Curve> right{Segment{{10, -10}, {10, 10}}};
    EXPECT_FALSE(extendToBoundaries(n, true, right, false));
    // A closed spline has no end to extend.
    Nurbs loop{1, {0, 0, 1, 2, 3, 3}, {{0, 0}, {5, 0}, {5, 5}, {0, 0}}, {}};
    EXPECT_FALSE(curveEnd(loop, false));
}

TEST(KernelSplineExtension, LengthenGrowsStraightAndShortensAlongTheSpline) {
    Nurbs n = arch();
    double len = length(Curve(n));
    auto longer = lengthenEnd(n, true, 3);
    ASSERT_TRUE(longer);
    EXPECT_LE(dist(startPoint(*longer), unit(Vec2{-1, -2}) * 3), kOn);
    EXPECT_NEAR(length(*longer), len + 3, 1e-9);
    auto back = lengthenEnd(*longer, true, -3);
    ASSERT_TRUE(back);
    EXPECT_LE(dist(startPoint(*back), {0, 0}), kOn);
    EXPECT_NEAR(*deltaToPoint(n, false, Vec2{4, 0} + unit(Vec2{1, -2}) * 2 + Vec2{2, 1}), 2, kOn);
    EXPECT_FALSE(lengthenEnd(n, false, -len));
}

// ---- seeded random invariants ------------------------------------------------------------

Nurbs openSpline(CurveRandom& rnd) {
    for (;;) {
        Nurbs n = rnd.nurbs();
        if (!isClosed(n) && norm(splineEndDirection(n, true)) > 0 &&
            norm(splineEndDirection(n, false)) > 0)
            return n;
    }
}

TEST(KernelSplineExtensionRandom, TheSplineKeepsItsPointsAndGrowsAlongItsEndTangent) {
    CurveRandom rnd(511);
    int cases = caseCount(2000);
    for (int i = 0; i < cases; ++i) {
        Nurbs n = openSpline(rnd);
        bool atStart = rnd.coin();
        double distance = rnd.real(0.01, 20);
        Interval d = domain(n);
        Vec2 end = pointAt(n, atStart ? d.lo : d.hi), dir = splineEndDirection(n, atStart);
        Vec2 velocity = derivAt(n, atStart ? d.lo : d.hi) * (atStart ? -1 : 1);
        if (norm(velocity) > 1e-6) {
            EXPECT_LE(dist(dir, unit(velocity)), 1e-9) << "case " << i << ": not the tangent";
        }
        Nurbs got = extendSplineStraight(n, atStart, distance);
        for (int k = 0; k <= 4; ++k) {
            double t = d.lo + d.span() * k / 4;
            ASSERT_LE(dist(pointAt(got, t), pointAt(n, t)), 1e-9 * std::max(1.0, norm(end)))
                << "case " << i << " t " << t;
        }
        Interval g = domain(got);
        Vec2 newEnd = pointAt(got, atStart ? g.lo : g.hi);
        EXPECT_LE(dist(newEnd, end + dir * distance), kOn * (1 + distance)) << "case " << i;
        double mid = atStart ? (g.lo + d.lo) / 2 : (d.hi + g.hi) / 2;
        EXPECT_LE(offLine(pointAt(got, mid), end, dir), kOn * (1 + distance)) << "case " << i;
        double grown = length(Curve(got)) - length(Curve(n));
        EXPECT_NEAR(grown, distance, 1e-9 * (1 + distance)) << "case " << i;
    }
}

TEST(KernelSplineExtensionRandom, LengthenThenBackRestoresTheEnds) {
    CurveRandom rnd(512);
    int cases = caseCount(2000);
    for (int i = 0; i < cases; ++i) {
        Nurbs n = openSpline(rnd);
        bool atStart = rnd.coin();
        double d = rnd.real(0.01, 10);
        auto there = lengthenEnd(n, atStart, d);
        ASSERT_TRUE(there) << "case " << i;
        auto back = lengthenEnd(*there, atStart, -d);
        ASSERT_TRUE(back) << "case " << i;
        EXPECT_LE(dist(startPoint(*back), startPoint(n)), kOn) << "case " << i;
        EXPECT_LE(dist(endPoint(*back), endPoint(n)), kOn) << "case " << i;
    }
}

} // namespace
} // namespace zel::geom
