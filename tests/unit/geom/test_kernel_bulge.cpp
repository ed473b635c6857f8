// Bulges and polylines: bulge <-> arc conversions, signed areas, lengths and distances.
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/edit.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

namespace zel::geom {
namespace {

using testing::CurveRandom;

struct BulgeCase {
    const char* name;
    Vec2 a, b;
    double bulge;
    Vec2 center;
    double radius;
    Vec2 middle; // the point of the arc halfway along
};

TEST(KernelBulge, ArcOfBulgeTable) {
    const double s2 = std::sqrt(2.0);
    const BulgeCase cases[] = {
        {"half turn counter-clockwise", {0, 0}, {2, 0}, 1, {1, 0}, 1, {1, -1}},
        {"half turn clockwise", {0, 0}, {2, 0}, -1, {1, 0}, 1, {1, 1}},
        {"quarter turn", {1, 0}, {0, 1}, std::tan(kPi / 8), {0, 0}, 1, {1 / s2, 1 / s2}},
        {"three quarter turn",
         {1, 0},
         {0, -1},
         std::tan(3 * kPi / 8),
         {0, 0},
         1,
         {-1 / s2, 1 / s2}},
        {"clockwise quarter", {0, 1}, {1, 0}, -std::tan(kPi / 8), {0, 0}, 1, {1 / s2, 1 / s2}},
    };
    for (const auto& c : cases) {
        BulgeArc arc = arcOfBulge(c.a, c.b, c.bulge);
        EXPECT_LT(dist(arc.arc.center, c.center), 1e-12) << c.name;
        EXPECT_NEAR(arc.arc.radius, c.radius, 1e-12) << c.name;
        EXPECT_EQ(arc.clockwise, c.bulge < 0) << c.name;
        Polyline p{{{c.a, c.bulge}, {c.b, 0}}, false};
        EXPECT_LT(dist(pointAt(p, 0.5), c.middle), 1e-12) << c.name;
        EXPECT_LT(dist(pointAt(p, 0), c.a), 1e-12) << c.name;
        EXPECT_LT(dist(pointAt(p, 1), c.b), 1e-12) << c.name;
    }
}

TEST(KernelBulge, BulgeArcBulgeRoundTrip) {
    CurveRandom rnd(31);
    for (int i = 0; i < 1000; ++i) {
        Vec2 a = rnd.point(), b = a + rnd.direction() * rnd.real(0.01, 20);
        double bulge = rnd.real(0.01, 8) * (rnd.coin() ? 1 : -1);
        BulgeArc arc = arcOfBulge(a, b, bulge);
        PolySegment back = segmentOfArc(arc.arc, arc.clockwise);
        double scale = std::max(1.0, arc.arc.radius);
        EXPECT_LT(dist(back.a, a), 1e-11 * scale) << i;
        EXPECT_LT(dist(back.b, b), 1e-11 * scale) << i;
        EXPECT_NEAR(back.bulge, bulge, 1e-9 * std::max(1.0, std::fabs(bulge))) << i;
        EXPECT_NEAR(dist(a, arc.arc.center), dist(b, arc.arc.center), 1e-10 * scale) << i;
    }
}

struct AreaCase {
    const char* name;
    Polyline polyline;
    double area;
};

TEST(KernelBulge, SignedAreaTable) {
    const AreaCase cases[] = {
        {"unit square", {{{{0, 0}, 0}, {{1, 0}, 0}, {{1, 1}, 0}, {{0, 1}, 0}}, true}, 1},
        {"unit square clockwise", {{{{0, 0}, 0}, {{0, 1}, 0}, {{1, 1}, 0}, {{1, 0}, 0}}, true}, -1},
        {"circle of two half turns", {{{{-2, 0}, 1}, {{2, 0}, 1}}, true}, 4 * kPi},
        {"circle clockwise", {{{{-2, 0}, -1}, {{2, 0}, -1}}, true}, -4 * kPi},
        {"square with a half disc outside",
         {{{{0, 0}, 1}, {{2, 0}, 0}, {{2, 2}, 0}, {{0, 2}, 0}}, true},
         4 + kPi / 2},
        {"square with a half disc cut out",
         {{{{0, 0}, -1}, {{2, 0}, 0}, {{2, 2}, 0}, {{0, 2}, 0}}, true},
         4 - kPi / 2},
        {"open polyline closes with a chord",
         {{{{0, 0}, 0}, {{1, 0}, 0}, {{1, 1}, 0}}, false},
         0.5},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(signedArea(c.polyline), c.area, 1e-12) << c.name;
    }
}

// The area by the shoelace formula over dense points of the outline.
double sampledArea(const Polyline& p) {
    double twice = 0;
    int n = 5000;
    Interval d = domain(p);
    for (int i = 0; i < n; ++i) {
        Vec2 a = pointAt(p, d.lo + d.span() * i / n), b = pointAt(p, d.lo + d.span() * (i + 1) / n);
        twice += cross(a, b);
    }
    if (!p.closed) twice += cross(pointAt(p, d.hi), pointAt(p, d.lo));
    return twice / 2;
}

TEST(KernelBulge, AreaMatchesDenseOutline) {
    CurveRandom rnd(32);
    for (int i = 0; i < 100; ++i) {
        Polyline p = rnd.polyline();
        double scale = bounds(p).diagonal();
        EXPECT_NEAR(signedArea(p), sampledArea(p), 1e-5 * scale * scale) << i;
        Polyline back = std::get<Polyline>(*reversed(p));
        if (p.closed) {
            EXPECT_NEAR(signedArea(back), -signedArea(p), 1e-9 * scale * scale) << i;
        }
    }
}

TEST(KernelBulge, PointAtDistanceWalksTheSegments) {
    // Two straight sides and a half circle of radius 1: lengths 2, 2, pi.
    Polyline p{{{{0, 0}, 0}, {{2, 0}, 0}, {{2, 2}, 1}, {{2, 4}, 0}}, false};
    EXPECT_NEAR(length(p), 4 + kPi, 1e-12);
    struct {
        double distance;
        Vec2 point;
    } cases[] = {{0, {0, 0}},           {1, {1, 0}},       {3, {2, 1}},
                 {4 + kPi / 2, {3, 3}}, {4 + kPi, {2, 4}}, {100, {2, 4}}};
    for (const auto& c : cases) {
        EXPECT_LT(dist(pointAtDistance(p, c.distance), c.point), 1e-9) << c.distance;
    }
}

TEST(KernelBulge, DistancesAlongRandomPolylines) {
    CurveRandom rnd(33);
    for (int i = 0; i < 1000; ++i) {
        Polyline p = rnd.polyline();
        double total = length(p), s = rnd.real(0, total);
        Vec2 q = pointAtDistance(p, s);
        double t = paramAtLength(p, s);
        EXPECT_LT(dist(pointAt(p, t), q), 1e-12) << i;
        EXPECT_NEAR(lengthBetween(p, 0, t), s, 1e-9 * std::max(1.0, total)) << i;
    }
}

} // namespace
} // namespace zel::geom
