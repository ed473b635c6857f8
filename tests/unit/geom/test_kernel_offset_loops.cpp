// Offsets without loops: polylines (some with arc segments) offset inwards and outwards never
// come nearer than the distance and never cross themselves; straight ones lie exactly at the
// distance (on the offset of some segment's line, or round a vertex); figures that split or
// vanish. ZEL_PROPERTY_CASES sets the number of random cases.
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/intersect.h"
#include "geom/offset.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace zel::geom {
namespace {

using testing::CurveRandom;
using testing::samples;

int caseCount(int byDefault) {
    const char* v = std::getenv("ZEL_PROPERTY_CASES");
    return v ? std::max(1, std::atoi(v)) : byDefault;
}

// A star-shaped polyline round the origin (so it does not cross itself), some segments arcs
// when `arcs`.
Polyline starPolyline(CurveRandom& rnd, bool arcs) {
    int n = rnd.integer(3, 9);
    std::vector<double> angles;
    for (int i = 0; i < n; ++i)
        angles.push_back(rnd.real(0, kTwoPi));
    std::sort(angles.begin(), angles.end());
    Polyline p;
    for (double a : angles) {
        double bulge = rnd.real(-0.4, 0.4);
        p.vertices.push_back({polar(a) * rnd.real(3, 10), arcs && rnd.coin() ? bulge : 0});
    }
    p.closed = rnd.coin();
    return p;
}

// Does q lie at distance d from the polyline's carriers (a segment's line or circle) or from
// one of its vertices?
bool onSomeOffset(const Polyline& p, Vec2 q, double d, double eps) {
    for (int i = 0; i < segmentCount(p); ++i) {
        Curve c = carrier(curveOf(segmentOf(p, i)));
        if (std::fabs(closest(c, q).distance - d) <= eps) return true;
    }
    for (const BulgeVertex& v : p.vertices)
        if (std::fabs(dist(v.point, q) - d) <= eps) return true;
    return false;
}

// Do two segments of the polyline cross anywhere but at a vertex they share?
bool crossesItself(const Polyline& p) {
    int n = segmentCount(p);
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            PolySegment a = segmentOf(p, i), b = segmentOf(p, j);
            for (const Hit& h : intersect(curveOf(a), curveOf(b)).hits) {
                // Nearly collinear neighbours cross numerically near their vertex (within what a
                // drawing can show).
                bool neighbours = j == i + 1 || (p.closed && i == 0 && j == n - 1);
                double near = neighbours ? 1e-4 : 1e-7;
                bool atVertex = false;
                for (Vec2 v : {a.a, a.b})
                    atVertex = atVertex || dist(h.point, v) <= near;
                if (!atVertex) return true;
            }
        }
    }
    return false;
}

// The polyline as a failure message shows it: "closed x,y,bulge x,y,bulge ...".
std::string describe(const Polyline& p) {
    std::ostringstream out;
    out.precision(17);
    out << (p.closed ? "closed" : "open");
    for (const BulgeVertex& v : p.vertices)
        out << " " << v.point.x << "," << v.point.y << "," << v.bulge;
    return out.str();
}

TEST(KernelOffsetLoops, RandomPolylinesStayAtTheDistanceWithoutCrossing) {
    CurveRandom rnd(604);
    int n = caseCount(10000), pieces = 0;
    for (int i = 0; i < n; ++i) {
        bool arcs = rnd.coin();
        Polyline p = starPolyline(rnd, arcs);
        if (crossesItself(p)) continue;
        double d = rnd.real(0.2, 2) * (rnd.coin() ? 1 : -1);
        SCOPED_TRACE("case " + std::to_string(i) + " distance " + std::to_string(d) + " of " +
                     describe(p));
        std::vector<Curve> out = offsetPieces(p, d, 1e-9);
        for (const Curve& c : out) {
            ++pieces;
            const Polyline& q = std::get<Polyline>(c);
            EXPECT_FALSE(crossesItself(q));
            for (Vec2 s : samples(q, 400)) {
                double gap = closest(p, s).distance;
                EXPECT_GE(gap, std::fabs(d) - 1e-7);
                // Corners between arcs whose offsets do not meet may still be joined by a short
                // straight piece (not at the distance): checked on straight polylines only.
                if (!arcs) {
                    EXPECT_TRUE(onSomeOffset(p, s, std::fabs(d), 1e-7));
                }
            }
        }
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_GT(pieces, n / 2);
}

// Rounded and chamfered corners (OFFSETGAPTYPE 1 and 2) come no nearer than the distance either,
// and the offsets do not cross themselves.
TEST(KernelOffsetLoops, RandomPolylinesWithRoundedAndChamferedGaps) {
    CurveRandom rnd(605);
    int n = caseCount(10000) / 4, pieces = 0;
    for (int i = 0; i < n; ++i) {
        Polyline p = starPolyline(rnd, rnd.coin());
        if (crossesItself(p)) continue;
        double d = rnd.real(0.2, 2) * (rnd.coin() ? 1 : -1);
        OffsetGap gap = rnd.coin() ? OffsetGap::Fillet : OffsetGap::Chamfer;
        SCOPED_TRACE("case " + std::to_string(i) + " gap " + std::to_string(int(gap)) +
                     " distance " + std::to_string(d) + " of " + describe(p));
        for (const Curve& c : offsetPieces(p, d, 1e-9, nullptr, gap)) {
            ++pieces;
            const Polyline& q = std::get<Polyline>(c);
            EXPECT_FALSE(crossesItself(q));
            for (Vec2 s : samples(q, 200))
                EXPECT_GE(closest(p, s).distance, std::fabs(d) - 1e-7);
        }
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_GT(pieces, n / 2);
}

// Is the arc round the centre of one of the polyline's arcs (at its radius moved by d) or round
// one of its vertices (at d)? Nearly straight arcs are rebuilt from their ends and bulge: their
// centres are checked relative to their size.
bool roundSomeCentre(const Polyline& p, const Arc& arc, double d) {
    auto same = [&](Vec2 c, double r) {
        double eps = 1e-9 * (1 + r);
        return dist(arc.center, c) <= eps && std::fabs(arc.radius - r) <= eps;
    };
    for (int i = 0; i < segmentCount(p); ++i) {
        PolySegment s = segmentOf(p, i);
        if (!isArc(s)) continue;
        Arc a = std::get<Arc>(curveOf(s));
        if (same(a.center, a.radius + d) || same(a.center, std::fabs(a.radius - d))) return true;
    }
    for (const BulgeVertex& v : p.vertices)
        if (same(v.point, d)) return true;
    return false;
}

struct ExactCase {
    const char* name;
    Polyline polyline;
    double distance;
    double margin; // how much nearer than the distance a point of the offset may come
};

TEST(KernelOffsetLoops, JoinsLieExactlyAtTheDistance) {
    const ExactCase cases[] = {
        // An arc of radius 0.68 offset towards its centre by 1.15 between two other arcs: the
        // corners either side are round their own vertices, not one arc from end to end.
        {"corners beside an arc tighter than the distance",
         {{{{-6.1497994918768564, -1.0004582534731667}, 0},
           {{-9.0628973213880002, -1.6392310753475274}, 0.36391915899218885},
           {{-4.1890252654283859, -3.658929354162165}, 0.0052111858272640421},
           {{2.8658940568437488, -7.9747554562544218}, 0},
           {{2.58780242009643, -6.863520060496068}, 0.23840698002191629},
           {{1.2988469985333453, -3.3635086058647623}, 0.31715836655375951},
           {{1.6812386900549057, -2.6799870467947464}, 0.11709320660936196},
           {{2.9878975450350675, -2.1891754642822798}, -0.13274647558195224},
           {{5.7499925156422229, -2.7223129868991593}, 0.28584035639999128}},
          true},
         1.14806,
         1e-10},
        // The offset of a nearly straight arc (radius 12,000) ends where it enters the band of
        // the next arc: on the crossing itself, not where halving stopped.
        {"a nearly straight arc cut where it meets the band",
         {{{{4.2317765303309587, 5.7693868767881904}, -0.0001426205530365432},
           {{-2.107058432448913, 2.8140221435847939}, 0.32547267808175728},
           {{-5.3278493082144722, 4.9536026043279211}, 0}},
          true},
         -0.31346120015063983,
         1e-10},
    };
    for (const ExactCase& c : cases) {
        SCOPED_TRACE(c.name);
        double reach = std::fabs(c.distance);
        std::vector<Curve> out = offsetPieces(c.polyline, c.distance, 1e-9);
        ASSERT_FALSE(out.empty());
        for (const Curve& piece : out) {
            const Polyline& q = std::get<Polyline>(piece);
            EXPECT_FALSE(crossesItself(q));
            for (Vec2 s : samples(q, 2000))
                EXPECT_GE(closest(c.polyline, s).distance, reach - c.margin) << s.x << "," << s.y;
            for (int i = 0; i < segmentCount(q); ++i) {
                PolySegment s = segmentOf(q, i);
                if (!isArc(s)) continue;
                EXPECT_TRUE(roundSomeCentre(c.polyline, std::get<Arc>(curveOf(s)), reach))
                    << "segment " << i << " of " << describe(q);
            }
        }
    }
}

TEST(KernelOffsetLoops, APolylineOfArcsTighterThanTheDistanceHasNoOffset) {
    // A half circle of radius 1 offset towards its centre by 1.5: its points moved past the
    // centre are all nearer than the distance.
    Polyline half{{{{0, 0}, 1}, {{2, 0}, 0}}, false};
    std::string why;
    EXPECT_FALSE(offset(half, 1.5, 1e-9, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(offsetPieces(half, 1.5, 1e-9).empty());
}

TEST(KernelOffsetLoops, AnOpenPolylinesOffsetKeepsClearOfItsEnds) {
    // The offset of the third segment passes within the distance of the polyline's first
    // vertex, between two points that are themselves at the distance: that stretch goes.
    Polyline zigzag{{{{4.2986550645321699, 2.7938985226845587}, 0},
                     {{7.2001028119350483, 6.467366221568188}, 0},
                     {{4.0800203386939575, 3.908127494010651}, 0},
                     {{-1.5543135510915971, -6.6431525993365277}, 0},
                     {{0.79214876890896246, -8.8717762171922168}, 0},
                     {{0.55968144493992378, -4.3459409161780505}, 0},
                     {{1.6159012410408509, -3.4536533565135961}, 0},
                     {{3.6500584012864881, -7.5270375299044545}, 0},
                     {{5.054040992270572, -3.6459547128503984}, 0}},
                    false};
    const double d = 0.422293;
    std::vector<Curve> out = offsetPieces(zigzag, d, 1e-9);
    ASSERT_FALSE(out.empty());
    for (const Curve& c : out)
        for (Vec2 s : samples(std::get<Polyline>(c), 400))
            EXPECT_GE(closest(zigzag, s).distance, d - 1e-7) << s.x << "," << s.y;
}

TEST(KernelOffsetLoops, Figures) {
    // A dumbbell: two 10 x 10 squares joined by a neck 2 high; inwards by 1.5 it splits in two.
    Polyline dumbbell{{{{0, 0}, 0},
                       {{10, 0}, 0},
                       {{10, 4}, 0},
                       {{20, 4}, 0},
                       {{20, 0}, 0},
                       {{30, 0}, 0},
                       {{30, 10}, 0},
                       {{20, 10}, 0},
                       {{20, 6}, 0},
                       {{10, 6}, 0},
                       {{10, 10}, 0},
                       {{0, 10}, 0}},
                      true};
    std::vector<Curve> halves = offsetPieces(dumbbell, 1.5, 1e-9);
    ASSERT_EQ(halves.size(), 2u);
    for (const Curve& h : halves) {
        EXPECT_TRUE(isClosed(h));
        EXPECT_NEAR(signedArea(std::get<Polyline>(h)), 7 * 7, 1e-9);
    }
    // A square inwards by more than half its side leaves nothing.
    Polyline square{{{{0, 0}, 0}, {{4, 0}, 0}, {{4, 4}, 0}, {{0, 4}, 0}}, true};
    std::string why;
    EXPECT_TRUE(offsetPieces(square, 2.5, 1e-9, &why).empty());
    EXPECT_FALSE(why.empty());
    // A short segment between long ones: the inside offset drops the loop at the notch.
    Polyline notch{{{{0, 0}, 0}, {{10, 0}, 0}, {{10, 0.5}, 0}, {{20, 0.5}, 0}}, false};
    std::vector<Curve> below = offsetPieces(notch, -2, 1e-9);
    ASSERT_EQ(below.size(), 1u);
    EXPECT_FALSE(crossesItself(std::get<Polyline>(below[0])));
    // Circles and arcs that would vanish are refused.
    EXPECT_TRUE(offsetPieces(Circle{{0, 0}, 1}, 1, 1e-9, &why).empty());
    EXPECT_EQ(offsetPieces(Circle{{0, 0}, 1}, -1, 1e-9).size(), 1u);
}

TEST(KernelOffsetLoops, EllipsesAndSplinesWithinTheTolerance) {
    Ellipse e{{0, 0}, {5, 0}, 0.6, 0, kTwoPi};
    for (double d : {-1.0, 1.0}) {
        std::vector<Curve> out = offsetPieces(e, d, 1e-6);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_TRUE(isClosed(out[0]));
        for (Vec2 q : samples(out[0], 2000))
            EXPECT_NEAR(closest(e, q).distance, 1.0, 1e-6 + 1e-9);
    }
}

} // namespace
} // namespace zel::geom
