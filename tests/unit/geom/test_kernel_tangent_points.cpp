// Tangent points from a point: known cases in a table, and on random curves of every kind
// the invariants of tangency (the line from the point touches the curve: it is parallel to the
// curve's tangent there), the range of arcs and how many points each kind gives.
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/tangent_points.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zel::geom {
namespace {

using testing::CurveRandom;
using testing::kindName;

constexpr double kNear = 1e-9;

struct TangentPointCase {
    const char* name;
    Curve curve;
    Vec2 from;
    std::vector<Vec2> expected; // in any order
};

bool holds(const std::vector<TangentPoint>& got, Vec2 p) {
    return std::any_of(got.begin(), got.end(),
                       [&](const TangentPoint& t) { return dist(t.point, p) < kNear; });
}

TEST(KernelTangentPoints, Table) {
    const double s3 = std::sqrt(3.0);
    const TangentPointCase cases[] = {
        // From (2,0) the unit circle is touched where cos = 1/2.
        {"circle from outside", Circle{{0, 0}, 1}, {2, 0}, {{0.5, s3 / 2}, {0.5, -s3 / 2}}},
        {"moved circle", Circle{{10, 5}, 2}, {10, 9}, {{10 + s3, 6}, {10 - s3, 6}}},
        {"from inside: none", Circle{{0, 0}, 1}, {0.5, 0.2}, {}},
        {"from the circle itself: none", Circle{{0, 0}, 1}, {0, 1}, {}},
        {"from the centre: none", Circle{{3, 3}, 1}, {3, 3}, {}},
        {"arc holding one of the two",
         arcFromAngles({0, 0}, 1, 0, kPi / 2),
         {2, 0},
         {{0.5, s3 / 2}}},
        {"arc holding neither", arcFromAngles({0, 0}, 1, kPi * 0.75, kPi * 1.25), {2, 0}, {}},
        {"arc across angle 0 holding both",
         arcFromAngles({0, 0}, 1, -kPi / 2, kPi / 2),
         {2, 0},
         {{0.5, s3 / 2}, {0.5, -s3 / 2}}},
        // The ellipse x^2/4 + y^2 = 1 from (4,0): the unit circle from (2,0), stretched.
        {"ellipse", Ellipse{{0, 0}, {2, 0}, 0.5}, {4, 0}, {{1, s3 / 2}, {1, -s3 / 2}}},
        {"turned ellipse", Ellipse{{0, 0}, {0, 2}, 0.5}, {0, 4}, {{-s3 / 2, 1}, {s3 / 2, 1}}},
        {"elliptical arc holding one",
         ellipseFromParams({0, 0}, {2, 0}, 0.5, 0, kPi / 2),
         {4, 0},
         {{1, s3 / 2}}},
        {"from inside an ellipse: none", Ellipse{{0, 0}, {2, 0}, 0.5}, {1.5, 0.1}, {}},
        // A polyline with a half circle of radius 1 round (1,0), bulging below the chord.
        {"arc segment of a polyline",
         Polyline{{{{0, 0}, 1}, {{2, 0}, 0}, {{2, 5}, 0}}},
         {3, 0},
         {{1.5, -s3 / 2}}},
        {"lines have no tangent points", Segment{{0, 0}, {10, 0}}, {5, 5}, {}},
        {"nor construction lines", XLine{{0, 0}, {1, 0}}, {5, 5}, {}},
    };
    for (const TangentPointCase& c : cases) {
        std::vector<TangentPoint> got = tangentPointsFrom(c.curve, c.from);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (Vec2 e : c.expected)
            EXPECT_TRUE(holds(got, e)) << c.name << ": " << e.x << "," << e.y;
        for (const TangentPoint& t : got)
            EXPECT_LT(dist(pointAt(c.curve, t.param), t.point), kNear)
                << c.name << ": the parameter is the point's";
    }
}

// From a random point outside: every point lies on the curve within its range, the line to it
// from the point runs along the curve's tangent there, and full circles and ellipses give two.
TEST(KernelTangentPoints, RandomPointsTouchTheCurve) {
    CurveRandom rnd(20240611);
    int checked = 0;
    for (int i = 0; i < 3000; ++i) {
        Curve c = rnd.any();
        Vec2 from = rnd.point(25);
        std::vector<TangentPoint> got = tangentPointsFrom(c, from);
        Interval range = domain(c);
        for (const TangentPoint& t : got) {
            ++checked;
            EXPECT_TRUE(range.contains(t.param, 1e-12)) << kindName(c) << " " << i;
            EXPECT_LT(dist(pointAt(c, t.param), t.point), 1e-9) << kindName(c) << " " << i;
            Vec2 along = unit(t.point - from);
            double sine = cross(along, tangentAt(c, t.param));
            EXPECT_LT(std::fabs(sine), 1e-9) << kindName(c) << " " << i;
        }
        if (auto* circle = std::get_if<Circle>(&c)) {
            bool outside = dist(from, circle->center) > circle->radius * (1 + 1e-9);
            EXPECT_EQ(got.size(), outside ? 2u : 0u) << "circle " << i;
            for (const TangentPoint& t : got) {
                EXPECT_NEAR(dot(t.point - from, t.point - circle->center), 0, 1e-8) << i;
                EXPECT_NEAR(dist(t.point, circle->center), circle->radius, 1e-9) << i;
            }
        }
        if (auto* e = std::get_if<Ellipse>(&c); e && isClosed(*e)) {
            // Outside when the closest point of the ellipse lies between the centre and p.
            Closest near = closest(c, from);
            bool outside =
                dot(from - near.point, near.point - e->center) > 0 && near.distance > 1e-6;
            if (outside) {
                EXPECT_EQ(got.size(), 2u) << "ellipse " << i;
            }
        }
        if (std::holds_alternative<Segment>(c) || std::holds_alternative<Ray>(c) ||
            std::holds_alternative<XLine>(c) || std::holds_alternative<Nurbs>(c)) {
            EXPECT_TRUE(got.empty()) << kindName(c);
        }
    }
    EXPECT_GT(checked, 500) << "the random cases touch something";
}

} // namespace
} // namespace zel::geom
