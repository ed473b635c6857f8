// Intersections of seeded random pairs of every two kinds, checked against invariants: hits lie
// on both curves, no hit is reported twice, the roles of the curves can be swapped, extending
// only adds hits, and the crossings of dense polygons of the curves are all found.
#include "geom/closest.h"
#include "geom/intersect.h"
#include "geom/spatial_index.h"
#include "kernel_random.h"

#include <gtest/gtest.h>

namespace zel::geom {
namespace {

using testing::CurveRandom;
using testing::kindName;
using testing::kKindCount;

constexpr int kPerPair = 13; // about a thousand cases over the 81 pairs of kinds

Extend randomExtend(CurveRandom& rnd) {
    const Extend all[] = {Extend::None, Extend::First, Extend::Second, Extend::Both};
    return all[rnd.integer(0, 3)];
}

bool extendsFirst(Extend e) {
    return e == Extend::First || e == Extend::Both;
}
bool extendsSecond(Extend e) {
    return e == Extend::Second || e == Extend::Both;
}

template <class F> void forEachPair(unsigned seed, F&& f) {
    CurveRandom rnd(seed);
    for (int ka = 0; ka < kKindCount; ++ka) {
        for (int kb = 0; kb < kKindCount; ++kb) {
            for (int i = 0; i < kPerPair; ++i) {
                Curve a = rnd.ofKind(ka), b = rnd.ofKind(kb);
                f(rnd, a, b,
                  std::string(kindName(a)) + "/" + kindName(b) + " " + std::to_string(i));
            }
        }
    }
}

TEST(IntersectRandom, HitsLieOnBothCurves) {
    forEachPair(51, [](CurveRandom& rnd, const Curve& a, const Curve& b, const std::string& name) {
        Extend e = randomExtend(rnd);
        Intersections r = intersect(a, b, e);
        bool ea = extendsFirst(e) && isExtendable(a), eb = extendsSecond(e) && isExtendable(b);
        for (size_t i = 0; i < r.hits.size(); ++i) {
            const Hit& h = r.hits[i];
            EXPECT_LT(dist(pointAt(a, h.t1), h.point), 1e-9) << name;
            EXPECT_LT(dist(pointAt(b, h.t2), h.point), 1e-9) << name;
            EXPECT_LT(closest(a, h.point, ea).distance, 1e-9) << name;
            EXPECT_LT(closest(b, h.point, eb).distance, 1e-9) << name;
            EXPECT_TRUE(ea || domain(a).contains(h.t1)) << name;
            EXPECT_TRUE(eb || domain(b).contains(h.t2)) << name;
            EXPECT_LE(r.hits[i > 0 ? i - 1 : 0].t1, h.t1) << name;
            for (size_t j = 0; j < i; ++j) {
                // The same point twice only where a curve passes it twice.
                bool twice =
                    std::fabs(r.hits[j].t1 - h.t1) > 1e-6 || std::fabs(r.hits[j].t2 - h.t2) > 1e-6;
                EXPECT_TRUE(dist(r.hits[j].point, h.point) > tol::kHitMerge || twice) << name;
            }
        }
    });
}

TEST(IntersectRandom, SwappedCurvesGiveTheSameHits) {
    forEachPair(52, [](CurveRandom&, const Curve& a, const Curve& b, const std::string& name) {
        Intersections r = intersect(a, b), s = intersect(b, a);
        EXPECT_EQ(r.hits.size(), s.hits.size()) << name;
        for (const Hit& h : r.hits) {
            EXPECT_TRUE(std::any_of(s.hits.begin(), s.hits.end(), [&](const Hit& g) {
                return dist(g.point, h.point) < 1e-8;
            })) << name;
        }
    });
}

TEST(IntersectRandom, ExtendingKeepsTheBoundedHits) {
    forEachPair(53, [](CurveRandom&, const Curve& a, const Curve& b, const std::string& name) {
        Intersections bounded = intersect(a, b), extended = intersect(a, b, Extend::Both);
        EXPECT_GE(extended.hits.size(), bounded.hits.size()) << name;
        for (const Hit& h : bounded.hits) {
            EXPECT_TRUE(std::any_of(extended.hits.begin(), extended.hits.end(), [&](const Hit& g) {
                return dist(g.point, h.point) < 1e-8;
            })) << name;
        }
    });
}

// Crossings of two polygons (the edges of q found through a spatial index).
std::vector<Vec2> polygonCrossings(const std::vector<Vec2>& p, const std::vector<Vec2>& q) {
    std::vector<std::pair<size_t, Box2>> edges;
    for (size_t j = 1; j < q.size(); ++j)
        edges.emplace_back(j, Box2::of(q[j - 1], q[j]));
    SpatialIndex<size_t> index;
    index.build(edges);
    std::vector<Vec2> out;
    for (size_t i = 1; i < p.size(); ++i) {
        index.visit(Box2::of(p[i - 1], p[i]), [&](size_t j, const Box2&) {
            Vec2 d1 = p[i] - p[i - 1], d2 = q[j] - q[j - 1], w = q[j - 1] - p[i - 1];
            double c = cross(d1, d2);
            if (c == 0) return;
            double s = cross(w, d2) / c, t = cross(w, d1) / c;
            if (s >= 0 && s < 1 && t >= 0 && t < 1) out.push_back(p[i - 1] + d1 * s);
        });
    }
    return out;
}

// Points near which the dense polygons may cross or not: ends, touches, shallow crossings.
bool murky(Vec2 p, const Curve& a, const Curve& b, const Intersections& r, double reach) {
    for (const Curve* c : {&a, &b}) {
        Interval d = domain(*c);
        for (double t : {std::max(d.lo, -20.0), std::min(d.hi, 20.0)}) {
            if (dist(pointAt(*c, t), p) < reach) return true;
        }
    }
    int near = 0; // two hits near each other: a near touch the polygons may miss
    for (const Hit& h : r.hits) {
        double sine = std::fabs(cross(tangentAt(a, h.t1), tangentAt(b, h.t2)));
        if (dist(h.point, p) >= reach) continue;
        if (h.kind != HitKind::Cross || sine < 0.2 || ++near > 1) return true;
    }
    return false;
}

TEST(IntersectRandom, PolygonCrossingsAreFound) {
    int compared = 0;
    forEachPair(54, [&](CurveRandom&, const Curve& a, const Curve& b, const std::string& name) {
        Intersections r = intersect(a, b);
        if (r.overlap) return;
        std::vector<Vec2> pa = testing::samples(a, 300), pb = testing::samples(b, 300);
        double reach = 0.5;
        std::vector<Vec2> crossings = polygonCrossings(pa, pb);
        for (Vec2 q : crossings) {
            if (murky(q, a, b, r, reach)) continue;
            ++compared;
            EXPECT_TRUE(std::any_of(r.hits.begin(), r.hits.end(),
                                    [&](const Hit& h) { return dist(h.point, q) < 0.1; }))
                << name << " misses the crossing near (" << q.x << ", " << q.y << ")";
        }
        for (const Hit& h : r.hits) {
            bool sampled = std::fabs(h.t1) < 20 && std::fabs(h.t2) < 20; // where lines were sampled
            if (!sampled || murky(h.point, a, b, r, reach)) continue;
            EXPECT_TRUE(std::any_of(crossings.begin(), crossings.end(),
                                    [&](Vec2 q) { return dist(h.point, q) < 0.1; }))
                << name << " has a hit the polygons do not cross at (" << h.point.x << ", "
                << h.point.y << ")";
        }
    });
    EXPECT_GT(compared, 400); // the comparison ran on enough crossings to mean something
}

} // namespace
} // namespace zel::geom
