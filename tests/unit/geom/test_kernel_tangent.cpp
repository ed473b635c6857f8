// Tangent arcs for fillets: chosen corners in a table, tangency of every candidate on random
// lines, arcs and circles, and the chooser's pick of the corner between the picked parts.
#include "geom/closest.h"
#include "geom/tangent.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

namespace zel::geom {
namespace {

using testing::CurveRandom;
using testing::kindName;

struct TangentCase {
    const char* name;
    Curve a, b;
    double radius;
    Vec2 pick1, pick2;
    size_t candidates;
    Vec2 center, point1, point2;
};

TEST(KernelTangent, FilletTable) {
    const double r5 = std::sqrt(5.0), r7 = std::sqrt(7.0);
    const TangentCase cases[] = {
        {"corner of two segments",
         Segment{{0, 0}, {10, 0}},
         Segment{{0, 0}, {0, 10}},
         2,
         {5, 0},
         {0, 5},
         4,
         {2, 2},
         {2, 0},
         {0, 2}},
        {"crossing segments, upper left",
         Segment{{-10, 0}, {10, 0}},
         Segment{{0, -10}, {0, 10}},
         2,
         {-5, 0},
         {0, 5},
         4,
         {-2, 2},
         {-2, 0},
         {0, 2}},
        {"crossing segments, lower right",
         Segment{{-10, 0}, {10, 0}},
         Segment{{0, -10}, {0, 10}},
         2,
         {5, 0},
         {0, -5},
         4,
         {2, -2},
         {2, 0},
         {0, -2}},
        {"picks near the corner",
         Segment{{-10, 0}, {10, 0}},
         Segment{{0, -10}, {0, 10}},
         2,
         {0.5, 0},
         {0, 0.5},
         4,
         {2, 2},
         {2, 0},
         {0, 2}},
        {"line and circle",
         Segment{{-10, 0}, {10, 0}},
         Circle{{0, 3}, 2},
         1,
         {-5, 0},
         {-2, 3},
         2,
         {-r5, 1},
         {-r5, 0},
         {-r5 * 2 / 3, 3 - 4.0 / 3}},
        {"two circles",
         Circle{{-3, 0}, 1},
         Circle{{3, 0}, 1},
         3,
         {-3, 1},
         {3, 1},
         4,
         {0, r7},
         {-3 + 3 / 4.0, r7 / 4},
         {3 - 3 / 4.0, r7 / 4}},
        {"arc and segment",
         Arc{{0, 0}, 5, 0, kPi},
         Segment{{-10, 2}, {10, 2}},
         1,
         {4, 3},
         {8, 2},
         0,
         {0, 0},
         {0, 0},
         {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto all = tangentArcs(c.a, c.b, c.radius);
        if (c.candidates == 0) {
            // Only the count: an arc of radius 5 and a line at height 2 give eight fillets.
            EXPECT_EQ(all.size(), 8u);
            continue;
        }
        EXPECT_EQ(all.size(), c.candidates);
        auto chosen = chooseTangentArc(all, c.a, c.pick1, c.b, c.pick2);
        ASSERT_TRUE(chosen);
        EXPECT_LT(dist(chosen->arc.center, c.center), 1e-9);
        EXPECT_LT(dist(chosen->point1, c.point1), 1e-9);
        EXPECT_LT(dist(chosen->point2, c.point2), 1e-9);
        EXPECT_LE(chosen->arc.end - chosen->arc.start, kPi + 1e-12);
    }
}

TEST(KernelTangent, NoCandidates) {
    EXPECT_TRUE(tangentArcs(Segment{{0, 0}, {1, 0}}, Segment{{0, 1}, {1, 1}}, 0.2).empty());
    EXPECT_TRUE(tangentArcs(Segment{{0, 0}, {1, 0}}, Segment{{0, 0}, {0, 1}}, 0).empty());
    EXPECT_TRUE(tangentArcs(Ellipse{}, Segment{{0, 0}, {0, 1}}, 1).empty());
    EXPECT_FALSE(
        chooseTangentArc({}, Segment{{0, 0}, {1, 0}}, {0, 0}, Segment{{0, 0}, {0, 1}}, {0, 0}));
}

// Distance from p to the carrier of a line, arc or circle (0 on it).
double carrierDistance(const Curve& c, Vec2 p) {
    return closest(c, p, true).distance;
}

TEST(KernelTangent, CandidatesTouchBothCurves) {
    CurveRandom rnd(61);
    const int kinds[] = {0, 1, 2, 3, 4};
    int seen = 0;
    for (int i = 0; i < 1000; ++i) {
        Curve a = rnd.ofKind(kinds[rnd.integer(0, 4)]), b = rnd.ofKind(kinds[rnd.integer(0, 4)]);
        double r = rnd.real(0.1, 5);
        for (const TangentArc& t : tangentArcs(a, b, r)) {
            ++seen;
            SCOPED_TRACE(std::string(kindName(a)) + "/" + kindName(b) + " case " +
                         std::to_string(i));
            EXPECT_NEAR(dist(t.arc.center, t.point1), r, 1e-9);
            EXPECT_NEAR(dist(t.arc.center, t.point2), r, 1e-9);
            EXPECT_NEAR(t.arc.radius, r, 1e-12);
            EXPECT_LT(carrierDistance(a, t.point1), 1e-9);
            EXPECT_LT(carrierDistance(b, t.point2), 1e-9);
            EXPECT_LT(dist(pointAt(a, t.t1), t.point1), 1e-9);
            EXPECT_LT(dist(pointAt(b, t.t2), t.point2), 1e-9);
            Vec2 s = pointAt(t.arc, t.arc.start), e = pointAt(t.arc, t.arc.end);
            EXPECT_LT(dist(t.fromFirst ? s : e, t.point1), 1e-9);
            EXPECT_LT(dist(t.fromFirst ? e : s, t.point2), 1e-9);
            // Tangent: the curves' directions at the tangent points are the arc's.
            Vec2 arcDir1 = tangentAt(t.arc, t.fromFirst ? t.arc.start : t.arc.end);
            Vec2 arcDir2 = tangentAt(t.arc, t.fromFirst ? t.arc.end : t.arc.start);
            EXPECT_LT(std::fabs(cross(arcDir1, tangentAt(a, t.t1))), 1e-9);
            EXPECT_LT(std::fabs(cross(arcDir2, tangentAt(b, t.t2))), 1e-9);
        }
    }
    EXPECT_GT(seen, 1000);
}

TEST(KernelTangent, ChooserKeepsThePickedSides) {
    CurveRandom rnd(62);
    for (int i = 0; i < 1000; ++i) {
        Vec2 x = rnd.point();
        Vec2 d1 = rnd.direction(), d2 = rnd.direction();
        if (std::fabs(cross(d1, d2)) < 0.2) continue;
        Segment a{x - d1 * 20, x + d1 * 20}, b{x - d2 * 20, x + d2 * 20};
        double r = rnd.real(0.1, 3);
        Vec2 pick1 = x + d1 * (rnd.coin() ? 1 : -1) * rnd.real(0.1, 15);
        Vec2 pick2 = x + d2 * (rnd.coin() ? 1 : -1) * rnd.real(0.1, 15);
        auto chosen = chooseTangentArc(tangentArcs(a, b, r), a, pick1, b, pick2);
        ASSERT_TRUE(chosen) << i;
        EXPECT_GT(dot(chosen->point1 - x, pick1 - x), 0) << i;
        EXPECT_GT(dot(chosen->point2 - x, pick2 - x), 0) << i;
    }
}

} // namespace
} // namespace zel::geom
