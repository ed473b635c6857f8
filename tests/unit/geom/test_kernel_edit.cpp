// Reversing, cutting, splitting and extending curves of every kind.
#include "geom/closest.h"
#include "geom/edit.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

namespace zel::geom {
namespace {

using testing::CurveRandom;
using testing::kindName;

constexpr int kCases = 1000;

// A finite stand-in for the length of curves without end: the length within [-20, 20].
double finiteLength(const Curve& c) {
    Interval d = domain(c);
    return lengthBetween(c, std::max(d.lo, -20.0), std::min(d.hi, 20.0));
}

TEST(KernelEdit, SplitPiecesAddUpToTheWhole) {
    CurveRandom rnd(41);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.any();
        if (!domain(c).isFinite()) continue;
        std::vector<double> params;
        int count = rnd.integer(1, 3);
        for (int k = 0; k < count; ++k) {
            params.push_back(rnd.paramIn(c));
        }
        std::vector<Curve> pieces = split(c, params);
        bool periodic = std::holds_alternative<Circle>(c) ||
                        (std::holds_alternative<Ellipse>(c) && isClosed(c));
        ASSERT_EQ(pieces.size(), periodic ? params.size() : params.size() + 1) << kindName(c);
        double sum = 0;
        for (size_t k = 0; k < pieces.size(); ++k) {
            EXPECT_EQ(validate(pieces[k]), "") << kindName(c) << " case " << i;
            sum += length(pieces[k]);
            Vec2 next = startPoint(pieces[(k + 1) % pieces.size()]);
            if (periodic || k + 1 < pieces.size()) {
                EXPECT_LT(dist(endPoint(pieces[k]), next), 1e-9) << kindName(c) << " case " << i;
            }
        }
        EXPECT_NEAR(sum, length(c), 1e-9) << kindName(c) << " case " << i;
        if (!periodic) {
            EXPECT_LT(dist(startPoint(pieces.front()), startPoint(c)), 1e-9) << kindName(c);
            EXPECT_LT(dist(endPoint(pieces.back()), endPoint(c)), 1e-9) << kindName(c);
        }
    }
}

TEST(KernelEdit, SplitIgnoresEndsAndDuplicates) {
    Segment s{{0, 0}, {10, 0}};
    EXPECT_EQ(split(s, {0, 10, 15, -1}).size(), 1u);
    EXPECT_EQ(split(s, {4, 4, 4 + 1e-13}).size(), 2u);
    EXPECT_EQ(split(Circle{{0, 0}, 1}, {}).size(), 1u);
    auto rays = split(XLine{{0, 0}, {1, 0}}, {3});
    ASSERT_EQ(rays.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<Ray>(rays[0]) && std::holds_alternative<Ray>(rays[1]));
    EXPECT_EQ(std::get<Ray>(rays[0]).base, (Vec2{3, 0}));
    EXPECT_EQ(std::get<Ray>(rays[0]).dir, (Vec2{-1, 0}));
}

TEST(KernelEdit, SubCurveRunsBetweenItsParameters) {
    CurveRandom rnd(42);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.any();
        double a = rnd.paramIn(c), b = rnd.paramIn(c);
        if (std::fabs(a - b) < 1e-6) continue;
        bool wraps = isClosed(c) && !std::holds_alternative<Arc>(c);
        if (!wraps && a > b) std::swap(a, b);
        Curve part = subCurve(c, a, b);
        EXPECT_EQ(validate(part), "") << kindName(c) << " case " << i;
        if (std::isfinite(a) && !std::holds_alternative<XLine>(c)) {
            EXPECT_LT(dist(startPoint(part), pointAt(c, a)), 1e-9) << kindName(c) << " case " << i;
        }
        if (domain(part).isFinite()) {
            EXPECT_LT(dist(endPoint(part), pointAt(c, b)), 1e-9) << kindName(c) << " case " << i;
            // The middle of the part is a point of the curve.
            Vec2 mid = pointAt(part, paramAtLength(part, length(part) / 2));
            EXPECT_LT(closest(c, mid).distance, 1e-9) << kindName(c) << " case " << i;
        }
    }
}

TEST(KernelEdit, ReversedRunsBackThroughTheSamePoints) {
    CurveRandom rnd(43);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.any();
        auto back = reversed(c);
        if (std::holds_alternative<Ray>(c)) {
            EXPECT_FALSE(back);
            continue;
        }
        ASSERT_TRUE(back) << kindName(c);
        EXPECT_EQ(validate(*back), "") << kindName(c) << " case " << i;
        if (!domain(c).isFinite()) {
            EXPECT_LT(dist(tangentAt(*back, 0), -tangentAt(c, 0)), 1e-12);
            continue;
        }
        double total = length(c);
        EXPECT_NEAR(length(*back), total, 1e-9 * std::max(1.0, total)) << kindName(c);
        for (double share : {0.0, 0.3, 1.0}) {
            Vec2 there = pointAt(c, paramAtLength(c, share * total));
            Vec2 here = pointAt(*back, paramAtLength(*back, (1 - share) * total));
            EXPECT_LT(dist(here, there), 1e-8) << kindName(c) << " case " << i << " at " << share;
        }
    }
}

TEST(KernelEdit, ExtendReachesPointsOnTheCarrier) {
    CurveRandom rnd(44);
    for (int i = 0; i < kCases; ++i) {
        Curve c = rnd.ofKind(rnd.integer(0, 1) ? 0 : rnd.integer(3, 5));
        Interval d = domain(c);
        bool atStart = rnd.coin() || std::holds_alternative<Ray>(c);
        double room = std::holds_alternative<Segment>(c) ? 5 : (kTwoPi - d.span()) / 2;
        double t =
            atStart ? d.lo - rnd.real(0.01, 0.99) * room : d.hi + rnd.real(0.01, 0.99) * room;
        Vec2 target = pointAt(c, t);
        auto longer = extendTo(c, target);
        ASSERT_TRUE(longer) << kindName(c) << " case " << i;
        Vec2 end = atStart ? startPoint(*longer) : endPoint(*longer);
        EXPECT_LT(dist(end, target), 1e-9) << kindName(c) << " case " << i;
        Vec2 kept = atStart ? endPoint(c) : startPoint(c);
        EXPECT_LT(dist(atStart ? endPoint(*longer) : startPoint(*longer), kept), 1e-9);
        EXPECT_NEAR(finiteLength(*longer),
                    finiteLength(c) + std::fabs(lengthBetween(c, t, atStart ? d.lo : d.hi)), 1e-9)
            << kindName(c) << " case " << i;
        EXPECT_FALSE(extendTo(c, target + perp(tangentAt(c, t)) * 1e-3)) << kindName(c);
    }
}

TEST(KernelEdit, ExtendPolylineEndSegments) {
    // A straight first segment and an arc last segment (quarter of the unit circle about (2, 1)).
    Polyline p{{{{0, 0}, 0}, {{2, 0}, std::tan(kPi / 8)}, {{3, 1}, 0}}, false};
    auto before = extendTo(p, {-3, 0});
    ASSERT_TRUE(before);
    EXPECT_EQ(std::get<Polyline>(*before).vertices.front().point, (Vec2{-3, 0}));
    EXPECT_NEAR(length(*before), length(p) + 3, 1e-12);
    auto after = extendTo(p, {2, 2}); // a further quarter turn round the arc's circle
    ASSERT_TRUE(after);
    EXPECT_LT(dist(endPoint(*after), {2, 2}), 1e-12);
    EXPECT_NEAR(length(*after), length(p) + kPi / 2, 1e-12);
    EXPECT_FALSE(extendTo(p, {5, 5}));
    EXPECT_TRUE(extendTo(p, {1, 0})); // already on it: unchanged
}

TEST(KernelEdit, WhatDoesNotExtend) {
    CurveRandom rnd(45);
    Nurbs n = rnd.nurbs();
    Vec2 beyond = endPoint(n) + tangentAt(n, domain(n).hi) * 1.0;
    EXPECT_FALSE(extendTo(n, beyond));
    EXPECT_FALSE(extendTo(Circle{{0, 0}, 1}, {2, 0}));
    EXPECT_TRUE(extendTo(Circle{{0, 0}, 1}, {0, 1}));
    Polyline closed{{{{0, 0}, 0}, {{1, 0}, 0}, {{1, 1}, 0}}, true};
    EXPECT_FALSE(extendTo(closed, {-1, 0}));
}

TEST(KernelEdit, ToNurbsKeepsTheShape) {
    CurveRandom rnd(46);
    for (int i = 0; i < 300; ++i) {
        Curve c = rnd.ofKind(std::vector<int>{0, 3, 4, 5, 6, 7}[rnd.integer(0, 5)]);
        auto n = toNurbs(c);
        ASSERT_TRUE(n) << kindName(c);
        EXPECT_EQ(validate(*n), "");
        EXPECT_NEAR(length(*n), length(c), 1e-9 * length(c)) << kindName(c) << " case " << i;
        for (double share : {0.1, 0.5, 0.9}) {
            Interval d = domain(*n);
            EXPECT_LT(closest(c, pointAt(*n, d.lo + share * d.span())).distance, 1e-9)
                << kindName(c);
        }
    }
    EXPECT_FALSE(toNurbs(Ray{}));
}

} // namespace
} // namespace zel::geom
