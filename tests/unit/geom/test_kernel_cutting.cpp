// Breaking, trimming, extending, lengthening, joining and stretching curves: a few cases
// worked by hand, then seeded random invariants over every kind.
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/cutting.h"
#include "geom/edit.h"
#include "geom/intersect.h"
#include "geom/join.h"
#include "geom/stretch.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zel::geom {
namespace {

using testing::CurveRandom;
using testing::kindName;

constexpr int kCases = 10000;
constexpr double kOn = 1e-9; // what "on the curve" means in these checks

bool near(Vec2 a, Vec2 b, double eps = kOn) {
    return dist(a, b) <= eps;
}

// ---- cases worked by hand ----------------------------------------------------------------

TEST(KernelCutting, CircleLosesTheArcCounterClockwiseFromTheFirstPoint) {
    Circle c{{0, 0}, 10};
    BreakResult r = breakCurve(c, 0, kPi / 2); // from (10,0) to (0,10)
    ASSERT_EQ(r.pieces.size(), 1u);
    const Arc& a = std::get<Arc>(r.pieces[0]);
    EXPECT_NEAR(a.start, kPi / 2, 1e-12);
    EXPECT_NEAR(a.end, kTwoPi, 1e-12);
    EXPECT_EQ(breakCurve(c, 1, 1).error, BreakError::ClosedAtOnePoint);
}

TEST(KernelCutting, SamePointSplitsOpenCurvesAndConstructionLinesIntoRays) {
    BreakResult line = breakCurve(Segment{{0, 0}, {10, 0}}, 4, 4);
    ASSERT_EQ(line.pieces.size(), 2u);
    EXPECT_TRUE(near(endPoint(line.pieces[0]), {4, 0}));
    EXPECT_TRUE(near(startPoint(line.pieces[1]), {4, 0}));
    BreakResult x = breakCurve(XLine{{0, 0}, {1, 0}}, 3, 3);
    ASSERT_EQ(x.pieces.size(), 2u);
    for (const Curve& piece : x.pieces)
        ASSERT_TRUE(std::holds_alternative<Ray>(piece));
    EXPECT_TRUE(near(std::get<Ray>(x.pieces[0]).base, {3, 0}));
    EXPECT_TRUE(near(std::get<Ray>(x.pieces[0]).dir, {-1, 0}));
    EXPECT_TRUE(near(std::get<Ray>(x.pieces[1]).dir, {1, 0}));
    EXPECT_EQ(breakCurve(Segment{{0, 0}, {10, 0}}, 0, 10).error, BreakError::NothingLeft);
}

TEST(KernelCutting, TrimRemovesThePartBetweenTheNearestCuts) {
    Segment s{{0, 0}, {100, 0}};
    std::vector<double> cuts{10, 30, 60, 90};
    auto middle = trimAt(s, 45, cuts);
    ASSERT_TRUE(middle && middle->size() == 2);
    EXPECT_TRUE(near(endPoint((*middle)[0]), {30, 0}));
    EXPECT_TRUE(near(startPoint((*middle)[1]), {60, 0}));
    auto end = trimAt(s, 95, cuts);
    ASSERT_TRUE(end && end->size() == 1);
    EXPECT_TRUE(near(endPoint((*end)[0]), {90, 0}));
    EXPECT_FALSE(trimAt(s, 50, std::vector<double>{}));
    // A circle needs two cuts and becomes the arc away from the pick.
    Circle c{{0, 0}, 10};
    EXPECT_FALSE(trimAt(c, 1, std::vector<double>{2}));
    auto arc = trimAt(c, kPi / 2, std::vector<double>{0, kPi});
    ASSERT_TRUE(arc && arc->size() == 1);
    EXPECT_NEAR(std::get<Arc>((*arc)[0]).start, kPi, 1e-12);
    EXPECT_NEAR(std::get<Arc>((*arc)[0]).end, kTwoPi, 1e-12);
}

TEST(KernelCutting, ExtendGoesToTheNearestCrossingAheadOnly) {
    Segment s{{0, 0}, {10, 0}};
    std::vector<Curve> bounds{Segment{{30, -5}, {30, 5}}, Segment{{20, -5}, {20, 5}},
                              Segment{{-5, -5}, {-5, 5}}};
    auto ext = extendToBoundaries(s, false, bounds, false);
    ASSERT_TRUE(ext);
    EXPECT_TRUE(near(ext->end, {20, 0}));
    EXPECT_TRUE(near(endPoint(ext->curve), {20, 0}));
    EXPECT_TRUE(near(startPoint(ext->curve), {0, 0}));
    // A boundary short of the line's carrier counts only when boundaries are taken whole.
    std::vector<Curve> shortOne{Segment{{20, 1}, {20, 5}}};
    EXPECT_FALSE(extendToBoundaries(s, false, shortOne, false));
    EXPECT_TRUE(extendToBoundaries(s, false, shortOne, true));
    // An arc along its circle; a ray only at its base.
    Arc a = arcFromAngles({0, 0}, 10, 0, kPi / 2);
    std::vector<Curve> horizontal{Segment{{-20, -1}, {20, -1}}};
    auto arcExt = extendToBoundaries(a, true, horizontal, false);
    ASSERT_TRUE(arcExt);
    EXPECT_NEAR(arcExt->end.y, -1, kOn);
    EXPECT_FALSE(curveEnd(Ray{{0, 0}, {1, 0}}, false));
}

TEST(KernelCutting, LengthenMovesTheChosenEnd) {
    auto longer = lengthenEnd(Segment{{0, 0}, {10, 0}}, true, 5);
    ASSERT_TRUE(longer);
    EXPECT_TRUE(near(startPoint(*longer), {-5, 0}));
    auto arc = lengthenEnd(arcFromAngles({0, 0}, 10, 0, kPi / 2), false, 10 * kPi / 2);
    ASSERT_TRUE(arc);
    EXPECT_NEAR(std::get<Arc>(*arc).end, kPi, 1e-12);
    EXPECT_FALSE(lengthenEnd(arcFromAngles({0, 0}, 10, 0, kPi / 2), false, 100));
    EXPECT_FALSE(lengthenEnd(Segment{{0, 0}, {10, 0}}, false, -10));
    EXPECT_FALSE(lengthenEnd(Circle{{0, 0}, 1}, false, 1));
    EXPECT_NEAR(*deltaToPoint(Segment{{0, 0}, {10, 0}}, false, {13, 4}), 3, kOn);
    EXPECT_NEAR(*deltaToPoint(Segment{{0, 0}, {10, 0}}, false, {7, 4}), -3, kOn);
}

TEST(KernelCutting, StretchedArcKeepsItsHeight) {
    Arc a = arcFromAngles({0, 0}, 10, 0, kPi); // height 10 over a chord of 20
    std::optional<Arc> s = stretchArc(a, {10, 0}, {});
    ASSERT_TRUE(s);
    Vec2 p0 = pointAt(*s, s->start), p1 = pointAt(*s, s->end);
    EXPECT_TRUE(near(p0, {20, 0}));
    EXPECT_TRUE(near(p1, {-10, 0}));
    Vec2 mid = pointAt(*s, (s->start + s->end) / 2);
    EXPECT_NEAR(mid.y, 10, kOn);
    std::vector<Vec2> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_TRUE(insideOrOn({5, 5}, square));
    EXPECT_TRUE(insideOrOn({10, 5}, square));
    EXPECT_FALSE(insideOrOn({10.001, 5}, square));
}

TEST(KernelCutting, JoinChainsAtEitherEndAndCloses) {
    Polyline start{{{{0, 0}, 0}, {{10, 0}, 0}}, false};
    std::vector<Curve> pieces{Segment{{10, 10}, {0, 10}}, Segment{{10, 0}, {10, 10}},
                              Segment{{0, 10}, {0, 0}}, Segment{{50, 50}, {60, 60}}};
    JoinResult r = joinChain(start, pieces, 1e-8);
    EXPECT_EQ(r.segmentsAdded, 3);
    EXPECT_TRUE(r.polyline.closed);
    EXPECT_EQ(r.polyline.vertices.size(), 4u);
    EXPECT_EQ(r.used.size(), 3u);
}

// ---- seeded random invariants ------------------------------------------------------------

// Curves with ends to trim, break and measure: every kind but the unbounded lines.
Curve finiteCurve(CurveRandom& rnd) {
    static const int kinds[] = {0, 3, 4, 5, 6, 7, 8};
    return rnd.ofKind(kinds[rnd.integer(0, 6)]);
}

double distanceTo(const std::vector<Curve>& curves, Vec2 p, bool extended = false) {
    double best = kInf;
    for (const Curve& c : curves)
        best = std::min(best, closest(c, p, extended).distance);
    return best;
}

double scaleOf(const Curve& c) {
    return std::max(1.0, length(c));
}

TEST(KernelCuttingRandom, TrimmedEndsLieOnTheCuttingCurvesAndTrimNeverLengthens) {
    CurveRandom rnd(501);
    int trimmed = 0;
    for (int i = 0; i < kCases; ++i) {
        Curve c = finiteCurve(rnd);
        std::vector<Curve> cutters;
        std::vector<double> cuts;
        for (int k = rnd.integer(1, 3); k > 0; --k) {
            cutters.push_back(rnd.ofKind(rnd.integer(0, 5)));
            for (const Hit& h : intersect(c, cutters.back()).hits)
                cuts.push_back(h.t1);
        }
        auto pieces = trimAt(c, rnd.paramIn(c), cuts);
        if (!pieces) continue;
        ++trimmed;
        double sum = 0;
        std::vector<Vec2> ends{startPoint(c), endPoint(c)};
        for (const Curve& p : *pieces) {
            sum += length(p);
            for (Vec2 end : {startPoint(p), endPoint(p)}) {
                bool original = !isPeriodicCurve(c) && (near(end, ends[0]) || near(end, ends[1]));
                if (original) continue;
                EXPECT_LE(distanceTo(cutters, end), kOn) << kindName(c) << " case " << i;
            }
        }
        EXPECT_LE(sum, length(c) + kOn * scaleOf(c)) << kindName(c) << " case " << i;
    }
    EXPECT_GT(trimmed, kCases / 4);
}

// The curves EXTEND works on: lines, rays, arcs, elliptical arcs, open splines, open
// polylines.
Curve extendableCurve(CurveRandom& rnd) {
    switch (rnd.integer(0, 5)) {
    case 0:
        return rnd.segment();
    case 1:
        return rnd.ray();
    case 2:
        return rnd.arc();
    case 3:
        return rnd.ellipse(false);
    case 4:
        if (Nurbs n = rnd.nurbs(); !isClosed(n)) return n;
        return rnd.segment();
    }
    Polyline p = rnd.polyline();
    p.closed = false;
    return p;
}

TEST(KernelCuttingRandom, ExtendedEndsLieOnTheBoundary) {
    CurveRandom rnd(502);
    int extended = 0;
    for (int i = 0; i < kCases; ++i) {
        Curve c = extendableCurve(rnd);
        bool atStart = std::holds_alternative<Ray>(c) || rnd.coin();
        bool whole = rnd.coin();
        std::vector<Curve> bounds;
        for (int k = rnd.integer(1, 3); k > 0; --k)
            bounds.push_back(rnd.ofKind(rnd.integer(0, 6)));
        auto ext = extendToBoundaries(c, atStart, bounds, whole);
        if (!ext) continue;
        ++extended;
        Vec2 end = atStart ? startPoint(ext->curve) : endPoint(ext->curve);
        EXPECT_TRUE(near(end, ext->end, 1e-8)) << kindName(c) << " case " << i;
        EXPECT_LE(distanceTo(bounds, ext->end, whole), kOn) << kindName(c) << " case " << i;
        if (domain(c).isFinite()) {
            Vec2 kept = atStart ? endPoint(c) : startPoint(c);
            EXPECT_TRUE(near(kept, atStart ? endPoint(ext->curve) : startPoint(ext->curve)));
            EXPECT_GE(length(ext->curve), length(c) - kOn * scaleOf(c)) << kindName(c);
        }
    }
    EXPECT_GT(extended, kCases / 10);
}

// The length of the part a break removes: from t1 onwards to t2 on closed curves, between
// the two on open ones.
double gapLength(const Curve& c, double t1, double t2) {
    if (!isPeriodicCurve(c)) return std::abs(lengthBetween(c, std::min(t1, t2), std::max(t1, t2)));
    if (t1 <= t2) return lengthBetween(c, t1, t2);
    Interval d = domain(c);
    return lengthBetween(c, t1, d.hi) + lengthBetween(c, d.lo, t2);
}

TEST(KernelCuttingRandom, BreakPiecesAddUpToTheSourceLessTheGap) {
    CurveRandom rnd(503);
    for (int i = 0; i < kCases; ++i) {
        Curve c = finiteCurve(rnd);
        double t1 = rnd.paramIn(c), t2 = rnd.coin() ? t1 : rnd.paramIn(c);
        BreakResult r = breakCurve(c, t1, t2);
        if (r.error != BreakError::None) continue;
        double sum = 0;
        for (const Curve& p : r.pieces)
            sum += length(p);
        EXPECT_NEAR(sum, length(c) - gapLength(c, t1, t2), kOn * scaleOf(c))
            << kindName(c) << " case " << i;
    }
}

TEST(KernelCuttingRandom, LengthenByDeltaThenBackRestoresTheCurve) {
    CurveRandom rnd(504);
    int restored = 0;
    for (int i = 0; i < kCases; ++i) {
        Curve c = extendableCurve(rnd);
        if (std::holds_alternative<Ray>(c)) continue;
        bool atStart = rnd.coin();
        double len = length(c);
        // Shortening first restores only curves of one carrier (a polyline grows back along
        // its end segment, a spline along its end tangent, not along the parts cut away).
        bool oneCarrier = !std::holds_alternative<Polyline>(c) && !std::holds_alternative<Nurbs>(c);
        double d = oneCarrier && rnd.coin() ? -rnd.real(0.01, 0.9) * len : rnd.real(0.01, 5);
        auto there = lengthenEnd(c, atStart, d);
        if (!there) continue;
        EXPECT_NEAR(length(*there), len + d, kOn * scaleOf(c)) << kindName(c) << " case " << i;
        auto back = lengthenEnd(*there, atStart, -d);
        ASSERT_TRUE(back) << kindName(c) << " case " << i;
        ++restored;
        EXPECT_TRUE(near(startPoint(*back), startPoint(c))) << kindName(c) << " case " << i;
        EXPECT_TRUE(near(endPoint(*back), endPoint(c))) << kindName(c) << " case " << i;
        EXPECT_NEAR(length(*back), len, kOn * scaleOf(c)) << kindName(c) << " case " << i;
    }
    EXPECT_GT(restored, kCases / 2);
}

// Vertices apart enough that no two segments of the polyline share an end by chance.
Polyline spreadPolyline(CurveRandom& rnd) {
    for (;;) {
        Polyline p = rnd.polyline();
        bool apart = true;
        for (size_t a = 0; a < p.vertices.size(); ++a)
            for (size_t b = a + 1; b < p.vertices.size(); ++b)
                apart = apart && dist(p.vertices[a].point, p.vertices[b].point) > 1e-3;
        if (apart) return p;
    }
}

// The polyline's vertices starting at `first` (a closed polyline may come back rotated).
Polyline rotated(const Polyline& p, size_t first) {
    Polyline out{{}, p.closed};
    for (size_t k = 0; k < p.vertices.size(); ++k)
        out.vertices.push_back(p.vertices[(first + k) % p.vertices.size()]);
    return out;
}

TEST(KernelCuttingRandom, ExplodedPolylineJoinsBackToItsVerticesAndBulges) {
    CurveRandom rnd(505);
    for (int i = 0; i < kCases; ++i) {
        Polyline p = spreadPolyline(rnd);
        int n = segmentCount(p);
        // Exploded: the segments as lines and counter-clockwise arcs, in a shuffled order.
        PolySegment s0 = segmentOf(p, 0);
        Polyline start{{{s0.a, s0.bulge}, {s0.b, 0}}, false};
        std::vector<Curve> pieces;
        for (int k = 1; k < n; ++k)
            pieces.push_back(curveOf(segmentOf(p, k)));
        std::shuffle(pieces.begin(), pieces.end(), std::mt19937(unsigned(i)));
        JoinResult r = joinChain(start, pieces, 1e-8);
        ASSERT_EQ(r.segmentsAdded, n - 1) << "case " << i;
        ASSERT_EQ(r.polyline.closed, p.closed) << "case " << i;
        ASSERT_EQ(r.polyline.vertices.size(), p.vertices.size()) << "case " << i;
        size_t first = 0;
        while (!near(r.polyline.vertices[first].point, p.vertices[0].point, 1e-8))
            ASSERT_LT(++first, p.vertices.size()) << "case " << i;
        Polyline got = rotated(r.polyline, first);
        for (size_t k = 0; k < p.vertices.size(); ++k) {
            EXPECT_TRUE(near(got.vertices[k].point, p.vertices[k].point)) << "case " << i;
            bool lastOfOpen = !p.closed && k + 1 == p.vertices.size();
            double want = lastOfOpen || !isArc(segmentOf(p, int(k))) ? 0 : p.vertices[k].bulge;
            EXPECT_NEAR(got.vertices[k].bulge, want, kOn) << "case " << i << " vertex " << k;
        }
    }
}

// The height of an arc over its chord, measured on the points.
double heightOverChord(const Arc& a) {
    Vec2 mid = (pointAt(a, a.start) + pointAt(a, a.end)) * 0.5;
    return dist(mid, pointAt(a, (a.start + a.end) / 2));
}

TEST(KernelCuttingRandom, StretchedArcsKeepTheirHeightAndMovedEnds) {
    CurveRandom rnd(506);
    for (int i = 0; i < kCases; ++i) {
        Arc a = rnd.arc();
        Vec2 ds = rnd.coin() ? rnd.point(3) : Vec2{}, de = rnd.coin() ? rnd.point(3) : Vec2{};
        Vec2 s = pointAt(a, a.start) + ds, e = pointAt(a, a.end) + de;
        if (dist(s, e) < 0.1 || a.end - a.start > kPi * 1.9) continue;
        std::optional<Arc> got = stretchArc(a, ds, de);
        ASSERT_TRUE(got) << "case " << i;
        EXPECT_TRUE(near(pointAt(*got, got->start), s, 1e-8)) << "case " << i;
        EXPECT_TRUE(near(pointAt(*got, got->end), e, 1e-8)) << "case " << i;
        EXPECT_NEAR(heightOverChord(*got), heightOverChord(a), 1e-8) << "case " << i;
    }
}

} // namespace
} // namespace zel::geom
