// Offsets: exact ones at the distance on the chosen side, fitted ones within their tolerance,
// polylines joined at their corners.
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/offset.h"
#include "geom/spatial_index.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

namespace zel::geom {
namespace {

using testing::CurveRandom;
using testing::kindName;
using testing::samples;

TEST(KernelOffset, LinesArcsCirclesAreExact) {
    CurveRandom rnd(71);
    for (int i = 0; i < 1000; ++i) {
        Curve c = rnd.ofKind(rnd.integer(0, 4));
        double d = rnd.real(-3, 3);
        std::string why;
        auto moved = offset(c, d, 1e-6, &why);
        bool inward = std::holds_alternative<Arc>(c) || std::holds_alternative<Circle>(c);
        double radius = inward ? bounds(carrier(c)).width() / 2 : kInf;
        if (d >= radius) {
            EXPECT_FALSE(moved) << kindName(c);
            EXPECT_FALSE(why.empty());
            continue;
        }
        ASSERT_TRUE(moved) << kindName(c) << ": " << why;
        for (Vec2 q : samples(*moved, 50)) {
            EXPECT_NEAR(closest(c, q, true).distance, std::fabs(d), 1e-9) << kindName(c);
            EXPECT_EQ(sideOf(carrier(c), q), d > 0 ? 1 : -1) << kindName(c) << " case " << i;
        }
    }
}

// The smallest radius of curvature at dense samples.
double tightestRadius(const Curve& c) {
    double least = kInf;
    Interval d = domain(c);
    for (int i = 0; i <= 1500; ++i) {
        double t = d.lo + d.span() * i / 1500;
        Vec2 d1 = derivAt(c, t), d2 = deriv2At(c, t);
        double k = std::fabs(cross(d1, d2)) / std::pow(norm(d1), 3);
        least = std::min(least, 1 / k);
    }
    return least;
}

// True when parts of the curve far apart along it come within `reach` of each other: the
// offset of one part then passes nearer than the distance to the other.
bool comesNearItself(const Curve& c, double reach) {
    std::vector<Vec2> pts = samples(c, 400);
    std::vector<double> along{0};
    double gap = 0;
    for (size_t i = 1; i < pts.size(); ++i) {
        gap = std::max(gap, dist(pts[i - 1], pts[i]));
        along.push_back(along.back() + dist(pts[i - 1], pts[i]));
    }
    SpatialIndex<size_t> index;
    std::vector<std::pair<size_t, Box2>> items;
    for (size_t i = 0; i < pts.size(); ++i) {
        items.emplace_back(i, Box2::of(pts[i], pts[i]));
    }
    index.build(items);
    double total = along.back(), window = reach + gap;
    bool closed = isClosed(c);
    for (size_t i = 0; i < pts.size(); ++i) {
        for (size_t j : index.query(Box2::of(pts[i], pts[i]).expanded(window))) {
            double apart = std::fabs(along[j] - along[i]);
            if (closed) apart = std::min(apart, total - apart);
            if (apart > 4 * window) return true;
        }
    }
    return false;
}

// True for a spline with a knot as many times as its degree: it may turn a corner there.
bool hasCorner(const Curve& c) {
    auto* n = std::get_if<Nurbs>(&c);
    if (!n) return false;
    for (size_t i = n->degree + 1; i + n->degree + 1 < n->knots.size(); ++i) {
        if (std::count(n->knots.begin(), n->knots.end(), n->knots[i]) >= n->degree) return true;
    }
    return false;
}

// The foot point of q on c found by Newton's method from t or from the next knot after t (a
// spline may turn a corner there).
double nextFoot(const Curve& c, Vec2 q, double t) {
    double best = refineClosest(c, q, t, domain(c));
    if (auto* n = std::get_if<Nurbs>(&c)) {
        auto k = std::upper_bound(n->knots.begin(), n->knots.end(), t);
        if (k != n->knots.end() && *k < domain(c).hi) {
            double other = refineClosest(c, q, *k, domain(c));
            if (dist(q, pointAt(c, other)) < dist(q, pointAt(c, best))) best = other;
        }
    }
    return best;
}

TEST(KernelOffset, FittedOffsetsKeepTheirTolerance) {
    CurveRandom rnd(72);
    int tested = 0;
    for (int i = 0; i < 300; ++i) {
        Curve c = rnd.ofKind(rnd.integer(5, 7));
        double room = tightestRadius(c);
        if (hasCorner(c)) continue; // pieces on both sides of a sharp corner come near
        if (room < 0.05) continue;
        double d = rnd.real(0.1, 0.3) * std::min(room, 2.0) * (rnd.coin() ? 1 : -1);
        if (comesNearItself(c, 3 * std::fabs(d))) continue;
        double tol = 1e-6;
        auto moved = offset(c, d, tol);
        ASSERT_TRUE(moved) << kindName(c);
        ASSERT_TRUE(std::holds_alternative<Polyline>(*moved));
        EXPECT_EQ(isClosed(*moved), isClosed(c));
        ++tested;
        // Walking along the offset, the foot point on the curve moves along with it (the
        // nearest point of the whole curve may be on another part that comes near).
        double t = domain(c).lo;
        for (Vec2 q : samples(*moved, 500)) {
            t = nextFoot(c, q, t);
            EXPECT_NEAR(dist(q, pointAt(c, t)), std::fabs(d), tol + 1e-9)
                << kindName(c) << " case " << i;
        }
    }
    EXPECT_GT(tested, 100);
}

Polyline rectangle(double w, double h, bool counterClockwise) {
    Polyline p{{{{0, 0}, 0}, {{w, 0}, 0}, {{w, h}, 0}, {{0, h}, 0}}, true};
    if (!counterClockwise) std::reverse(p.vertices.begin(), p.vertices.end());
    return p;
}

struct PolyCase {
    const char* name;
    Polyline polyline;
    double distance;
    double area; // signed area of the offset
};

TEST(KernelOffset, PolylineTable) {
    // A slot: two half circles of radius 1 joined by straight sides of length 4.
    Polyline slot{{{{0, 0}, 0}, {{4, 0}, 1}, {{4, 2}, 0}, {{0, 2}, 1}}, true};
    const PolyCase cases[] = {
        {"square inwards", rectangle(4, 4, true), 1, 4},
        {"square outwards: mitred corners", rectangle(4, 4, true), -1, 36},
        {"clockwise square to its left is outside", rectangle(4, 4, false), 0.5, -25},
        {"slot inwards", slot, 0.5, 4 * 1 + kPi * 0.25},
        {"slot outwards", slot, -0.5, 4 * 3 + kPi * 2.25},
    };
    for (const auto& c : cases) {
        auto moved = offset(c.polyline, c.distance, 1e-9);
        ASSERT_TRUE(moved) << c.name;
        EXPECT_NEAR(signedArea(std::get<Polyline>(*moved)), c.area, 1e-9) << c.name;
    }
}

TEST(KernelOffset, OpenPolylineCorners) {
    // An L: the outer corner of an offset L is rounded off by an arc about the vertex when the
    // offset segments part, mitred when they meet.
    Polyline l{{{{0, 0}, 0}, {{10, 0}, 0}, {{10, 10}, 0}}, false};
    auto inner = offset(l, 1, 1e-9);
    ASSERT_TRUE(inner);
    const auto& v = std::get<Polyline>(*inner).vertices;
    ASSERT_EQ(v.size(), 3u);
    EXPECT_LT(dist(v[1].point, {9, 1}), 1e-12);
    auto outer = offset(l, -1, 1e-9);
    ASSERT_TRUE(outer);
    const auto& w = std::get<Polyline>(*outer).vertices;
    ASSERT_EQ(w.size(), 3u);
    EXPECT_LT(dist(w[1].point, {11, -1}), 1e-12);
    for (Vec2 q : samples(*outer, 200)) {
        EXPECT_GE(closest(l, q).distance, 1 - 1e-9);
    }
}

TEST(KernelOffset, BadDistances) {
    std::string why;
    EXPECT_FALSE(offset(Segment{{0, 0}, {1, 0}}, kInf, 1e-6, &why));
    EXPECT_FALSE(why.empty());
    why.clear();
    EXPECT_FALSE(offset(Ellipse{}, 0.1, 0, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(offset(Circle{{0, 0}, 1}, 1, 1e-6));
}

TEST(KernelOffset, SideOfCurves) {
    EXPECT_EQ(sideOf(Segment{{0, 0}, {1, 0}}, {0.5, 1}), 1);
    EXPECT_EQ(sideOf(Segment{{0, 0}, {1, 0}}, {0.5, -1}), -1);
    EXPECT_EQ(sideOf(Segment{{0, 0}, {1, 0}}, {0.5, 0}), 0);
    EXPECT_EQ(sideOf(Circle{{0, 0}, 1}, {0.5, 0}), 1);
    EXPECT_EQ(sideOf(Circle{{0, 0}, 1}, {2, 0}), -1);
}

} // namespace
} // namespace zel::geom
