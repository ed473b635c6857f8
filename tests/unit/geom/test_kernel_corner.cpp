// Fillets and chamfers: tables of the drafting cases, polylines taking a corner in, and seeded
// random pairs checked for tangency (fillets) and distances (chamfers) on the kept parts.
// ZEL_PROPERTY_CASES sets the number of random cases.
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/corner.h"
#include "geom/intersect.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zel::geom {
namespace {

using testing::CurveRandom;
using testing::kindName;

int caseCount(int byDefault) {
    const char* v = std::getenv("ZEL_PROPERTY_CASES");
    return v ? std::max(1, std::atoi(v)) : byDefault;
}

// The end of the kept curve that the corner moved.
Vec2 movedEnd(const CornerSide& s) {
    return s.atStart ? startPoint(s.curve) : endPoint(s.curve);
}

void expectNear(Vec2 a, Vec2 b, const char* what) {
    EXPECT_LT(dist(a, b), 1e-9) << what << ": (" << a.x << "," << a.y << ") vs (" << b.x << ","
                                << b.y << ")";
}

struct FilletCase {
    const char* name;
    Curve a;
    Vec2 pick1;
    Curve b;
    Vec2 pick2;
    double radius;
    CornerError error;
    Vec2 point1, point2; // where the curves meet the corner (when made)
    Curve kept1, kept2;
};

TEST(KernelCorner, FilletTable) {
    Segment east{{0, 0}, {10, 0}}, north{{0, 0}, {0, 10}};
    const FilletCase cases[] = {
        {"square corner",
         east,
         {5, 0},
         north,
         {0, 5},
         2,
         CornerError::None,
         {2, 0},
         {0, 2},
         Segment{{2, 0}, {10, 0}},
         Segment{{0, 2}, {0, 10}}},
        {"lines short of the corner are extended",
         Segment{{3, 0}, {10, 0}},
         {5, 0},
         Segment{{0, 3}, {0, 10}},
         {0, 5},
         1,
         CornerError::None,
         {1, 0},
         {0, 1},
         Segment{{1, 0}, {10, 0}},
         Segment{{0, 1}, {0, 10}}},
        {"crossing lines keep the picked sides",
         Segment{{-5, 0}, {10, 0}},
         {8, 0},
         Segment{{0, -5}, {0, 10}},
         {0, 8},
         1,
         CornerError::None,
         {1, 0},
         {0, 1},
         Segment{{1, 0}, {10, 0}},
         Segment{{0, 1}, {0, 10}}},
        {"the other quadrant",
         Segment{{-5, 0}, {10, 0}},
         {-4, 0},
         Segment{{0, -5}, {0, 10}},
         {0, -4},
         1,
         CornerError::None,
         {-1, 0},
         {0, -1},
         Segment{{-5, 0}, {-1, 0}},
         Segment{{0, -5}, {0, -1}}},
        {"radius too large",
         east,
         {5, 0},
         north,
         {0, 5},
         20,
         CornerError::RadiusTooLarge,
         {},
         {},
         east,
         north},
        {"radius 0 meets at the corner",
         Segment{{2, 0}, {10, 0}},
         {5, 0},
         Segment{{0, 3}, {0, 10}},
         {0, 5},
         0,
         CornerError::None,
         {0, 0},
         {0, 0},
         east,
         north},
        {"parallel lines: a half circle at the first line's end",
         east,
         {8, 0},
         Segment{{0, 4}, {12, 4}},
         {6, 4},
         3,
         CornerError::None,
         {10, 0},
         {10, 4},
         east,
         Segment{{0, 4}, {10, 4}}},
        {"a construction line becomes a ray",
         XLine{{0, -3}, {0, 1}},
         {0, 5},
         east,
         {5, 0},
         2,
         CornerError::None,
         {0, 2},
         {2, 0},
         Ray{{0, 2}, {0, 1}},
         Segment{{2, 0}, {10, 0}}},
        {"a ray picked towards its base",
         Ray{{0, 8}, {0, -1}},
         {0, 5},
         east,
         {5, 0},
         2,
         CornerError::None,
         {0, 2},
         {2, 0},
         Segment{{0, 8}, {0, 2}},
         Segment{{2, 0}, {10, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Corner r = fillet(c.a, c.pick1, c.b, c.pick2, c.radius);
        ASSERT_EQ(r.error, c.error);
        if (r.error != CornerError::None) continue;
        expectNear(r.first.point, c.point1, "first point");
        expectNear(r.second.point, c.point2, "second point");
        expectNear(startPoint(r.first.curve), startPoint(c.kept1), "first kept start");
        expectNear(startPoint(r.second.curve), startPoint(c.kept2), "second kept start");
        EXPECT_EQ(r.first.curve.index(), c.kept1.index());
        EXPECT_EQ(r.second.curve.index(), c.kept2.index());
        if (!std::holds_alternative<Ray>(r.first.curve)) {
            expectNear(endPoint(r.first.curve), endPoint(c.kept1), "first kept end");
        }
        expectNear(endPoint(r.second.curve), endPoint(c.kept2), "second kept end");
        EXPECT_EQ(r.joint.has_value(), c.radius > 0);
    }
}

// A fillet joint checked against both curves: the arc of the radius, its ends at the points
// where it meets the curves, those points on the curves' carriers with the arc's radius there
// square to the curve (tangency), and the moved ends of the kept curves.
void checkFillet(const Curve& a, const Curve& b, double r, const Corner& c, int i) {
    SCOPED_TRACE(std::string(kindName(a)) + " / " + kindName(b) + " case " + std::to_string(i));
    ASSERT_TRUE(c.joint);
    const Arc& arc = std::get<Arc>(*c.joint);
    EXPECT_NEAR(arc.radius, r, 1e-9);
    Vec2 from = pointAt(arc, arc.start), to = pointAt(arc, arc.end);
    expectNear(c.jointFromFirst ? from : to, c.first.point, "arc end at the first curve");
    expectNear(c.jointFromFirst ? to : from, c.second.point, "arc end at the second curve");
    for (const auto* s : {&c.first, &c.second}) {
        const Curve& original = s == &c.first ? a : b;
        EXPECT_NEAR(dist(arc.center, s->point), r, 1e-9);
        EXPECT_LT(closest(carrier(original), s->point).distance, 1e-9) << "on the carrier";
        Vec2 tangent = tangentAt(carrier(original), closest(carrier(original), s->point).param);
        EXPECT_LT(std::fabs(dot(unit(s->point - arc.center), tangent)), 1e-9);
        EXPECT_LT(closest(s->curve, s->point).distance, 1e-9) << "on the kept part";
        if (!s->whole) expectNear(movedEnd(*s), s->point, "the moved end");
    }
}

TEST(KernelCorner, CirclesStayWholeAndArcsKeepThePickedPart) {
    Segment across{{-10, 8}, {10, 8}};
    Corner r = fillet(Circle{{0, 0}, 5}, {0, 5}, across, {3, 8}, 1.5);
    ASSERT_EQ(r.error, CornerError::None);
    EXPECT_TRUE(r.first.whole);
    EXPECT_EQ(std::get<Circle>(r.first.curve).radius, 5);
    EXPECT_FALSE(r.second.whole);
    Arc top = arcFromAngles({0, 0}, 5, 0.3, 2.8);
    Corner left = fillet(Segment{{-10, 0}, {10, 0}}, {-8, 0}, top, {-4, 3}, 1);
    ASSERT_EQ(left.error, CornerError::None);
    EXPECT_NEAR(left.first.point.x, -std::sqrt(35.0), 1e-9) << "on the picked part, outside";
    EXPECT_LT(left.second.point.x, 0) << "the arc meets the corner on the left";
    const Arc& kept = std::get<Arc>(left.second.curve);
    EXPECT_NEAR(kept.start, 0.3, 1e-12) << "the right end stays";
    EXPECT_GT(kept.end, 2.8) << "the left end is extended along the circle to the fillet";
    EXPECT_NEAR(kept.end, kPi - std::asin(1.0 / 6), 1e-9);
}

TEST(KernelCorner, RandomFilletsAreTangentOnTheKeptParts) {
    CurveRandom rnd(601);
    int made = 0, refused = 0;
    int n = caseCount(10000);
    for (int i = 0; i < n; ++i) {
        Curve a = rnd.ofKind(rnd.integer(0, 4)), b = rnd.ofKind(rnd.integer(0, 4));
        Vec2 p1 = pointAt(a, rnd.paramIn(a)), p2 = pointAt(b, rnd.paramIn(b));
        double r = rnd.real(0.05, 4);
        Corner c = fillet(a, p1, b, p2, r);
        if (c.error != CornerError::None) {
            ++refused;
            continue;
        }
        ++made;
        bool parallel = !c.joint || std::get<Arc>(*c.joint).radius != r;
        if (!parallel) checkFillet(a, b, r, c, i);
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_GT(made, n / 2) << refused << " refused";
}

TEST(KernelCorner, RandomChamfersEndAtTheirDistances) {
    CurveRandom rnd(602);
    int made = 0;
    int n = caseCount(10000);
    for (int i = 0; i < n; ++i) {
        Curve a = rnd.ofKind(rnd.integer(0, 2)), b = rnd.ofKind(rnd.integer(0, 2));
        Vec2 p1 = pointAt(a, rnd.paramIn(a)), p2 = pointAt(b, rnd.paramIn(b));
        double d1 = rnd.real(0, 6), d2 = rnd.coin() ? d1 : rnd.real(0, 6);
        Corner c = chamfer(a, p1, b, p2, d1, d2);
        if (c.error != CornerError::None) continue;
        ++made;
        SCOPED_TRACE("case " + std::to_string(i));
        Intersections meet = intersect(carrier(a), carrier(b));
        ASSERT_EQ(meet.hits.size(), 1u);
        Vec2 corner = meet.hits[0].point;
        EXPECT_NEAR(dist(c.first.point, corner), d1, 1e-9);
        EXPECT_NEAR(dist(c.second.point, corner), d2, 1e-9);
        expectNear(movedEnd(c.first), c.first.point, "first moved end");
        expectNear(movedEnd(c.second), c.second.point, "second moved end");
        // The kept part lies on the side of the corner where the pick was.
        for (const auto& [s, pick, line] :
             {std::tuple{&c.first, p1, &a}, std::tuple{&c.second, p2, &b}}) {
            Vec2 foot = closest(carrier(*line), pick).point;
            Vec2 far = s->atStart ? s->point + tangentAt(s->curve, 0) : startPoint(s->curve);
            if (dist(foot, corner) > 1e-6) {
                EXPECT_GT(dot(far - corner, foot - corner), 0);
            }
        }
        if (c.joint) {
            const Segment& line = std::get<Segment>(*c.joint);
            expectNear(line.start, c.first.point, "chamfer line start");
            expectNear(line.end, c.second.point, "chamfer line end");
        }
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_GT(made, n / 3);
}

TEST(KernelCorner, ChamferTable) {
    Segment east{{0, 0}, {10, 0}}, north{{0, 0}, {0, 10}};
    Corner c = chamfer(east, {5, 0}, north, {0, 5}, 2, 3);
    ASSERT_EQ(c.error, CornerError::None);
    expectNear(c.first.point, {2, 0}, "first");
    expectNear(c.second.point, {0, 3}, "second");
    EXPECT_EQ(chamfer(east, {5, 0}, north, {0, 5}, 12, 1).error, CornerError::DistanceTooLarge);
    EXPECT_EQ(chamfer(east, {5, 0}, Segment{{0, 4}, {10, 4}}, {5, 4}, 1, 1).error,
              CornerError::Parallel);
    EXPECT_EQ(chamfer(east, {5, 0}, Circle{{0, 0}, 3}, {3, 0}, 1, 1).error,
              CornerError::NotSupported);
    Corner sharp =
        chamfer(Segment{{2, 0}, {10, 0}}, {5, 0}, Segment{{0, 3}, {0, 10}}, {0, 5}, 0, 0);
    ASSERT_EQ(sharp.error, CornerError::None);
    EXPECT_FALSE(sharp.joint);
    expectNear(startPoint(sharp.first.curve), {0, 0}, "extended to the corner");
}

TEST(KernelCorner, PolylineTakesTheCornerIn) {
    Polyline l{{{{0, 0}, 0}, {{10, 0}, 0}, {{10, 10}, 0}}, false};
    Curve s0 = curveOf(segmentOf(l, 0)), s1 = curveOf(segmentOf(l, 1));
    Corner c = fillet(s0, {5, 0}, s1, {10, 5}, 2);
    ASSERT_EQ(c.error, CornerError::None);
    auto joined = polylineWithCorner(l, 0, 1, c);
    ASSERT_TRUE(joined);
    ASSERT_EQ(joined->vertices.size(), 4u);
    expectNear(joined->vertices[1].point, {8, 0}, "arc start");
    expectNear(joined->vertices[2].point, {10, 2}, "arc end");
    EXPECT_NEAR(joined->vertices[1].bulge, std::tan(kPi / 8), 1e-12) << "a left turn";
    // The picks in the other order give the same polyline.
    Corner swapped = fillet(s1, {10, 5}, s0, {5, 0}, 2);
    auto again = polylineWithCorner(l, 1, 0, swapped);
    ASSERT_TRUE(again);
    EXPECT_NEAR(signedArea(*again), signedArea(*joined), 1e-12);
    // A closed rectangle filleted between its last and first segments.
    Polyline box{{{{0, 0}, 0}, {{10, 0}, 0}, {{10, 5}, 0}, {{0, 5}, 0}}, true};
    Curve last = curveOf(segmentOf(box, 3)), first = curveOf(segmentOf(box, 0));
    Corner round = fillet(last, {0, 2}, first, {5, 0}, 1);
    auto rounded = polylineWithCorner(box, 3, 0, round);
    ASSERT_TRUE(rounded);
    EXPECT_TRUE(rounded->closed);
    EXPECT_EQ(rounded->vertices.size(), 5u);
    EXPECT_NEAR(signedArea(*rounded), 50 - (1 - kPi / 4), 1e-9);
    // A chamfer between them is a straight segment.
    Corner cut = chamfer(s0, {5, 0}, s1, {10, 5}, 1, 1);
    auto cutL = polylineWithCorner(l, 0, 1, cut);
    ASSERT_TRUE(cutL);
    EXPECT_NEAR(signedArea(*cutL), signedArea(l) - 0.5, 1e-12);
}

TEST(KernelCorner, PolylineSideKeepsTheFarPart) {
    Polyline p{{{{0, 0}, 0}, {{10, 0}, 0}, {{10, 10}, 0}, {{20, 10}, 0}}, false};
    // The first segment picked, filleted to a line crossing it at x = 6: the polyline is cut
    // there and the rest beyond dropped.
    Curve s0 = curveOf(segmentOf(p, 0));
    Corner c = fillet(s0, {2, 0}, Segment{{6, -5}, {6, 5}}, {6, 3}, 0);
    ASSERT_EQ(c.error, CornerError::None);
    Polyline kept = polylineWithSide(p, 0, c.first);
    ASSERT_EQ(kept.vertices.size(), 2u);
    expectNear(kept.vertices[1].point, {6, 0}, "cut at the corner");
    // The last segment picked beyond the crossing keeps the rest of the polyline.
    Curve s2 = curveOf(segmentOf(p, 2));
    Corner d = fillet(s2, {18, 10}, Segment{{14, 0}, {14, 20}}, {14, 15}, 0);
    Polyline rest = polylineWithSide(p, 2, d.first);
    ASSERT_EQ(rest.vertices.size(), 2u);
    expectNear(rest.vertices[0].point, {14, 10}, "starts at the corner");
}

} // namespace
} // namespace zel::geom
