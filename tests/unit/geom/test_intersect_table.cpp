// Intersections of every pair of kinds in a table of chosen cases: crossing, touching (once),
// near-touching on both sides of the tolerance, parallel, coincident, disjoint, on extensions.
#include "geom/intersect.h"

#include <gtest/gtest.h>

#include <sstream>

namespace zel::geom {
namespace {

struct Expected {
    Vec2 point;
    HitKind kind = HitKind::Cross;
};

struct Case {
    const char* name;
    Curve a, b;
    Extend extend;
    std::vector<Expected> hits;
    bool overlap = false;
};

constexpr HitKind X = HitKind::Cross, T = HitKind::Touch, O = HitKind::OverlapEnd;
constexpr Extend kNone = Extend::None;

const double kR3 = std::sqrt(3.0) / 2, kR2 = std::sqrt(0.5);

Segment seg(double x0, double y0, double x1, double y1) {
    return {{x0, y0}, {x1, y1}};
}
Circle circle(double x, double y, double r) {
    return {{x, y}, r};
}
Ellipse ellipse(double x, double y, Vec2 major, double ratio, double t0 = 0, double t1 = kTwoPi) {
    return {{x, y}, major, ratio, t0, t1};
}
// The parabola x = 2u, y = h + k 4u(1 - u) for u in [0, 1] as a quadratic Bezier spline.
Nurbs parabola(double h, double k) {
    return {2, {0, 0, 0, 1, 1, 1}, {{0, h}, {1, h + 2 * k}, {2, h}}, {}};
}
Polyline square(double x, double y, double side) {
    return {{{{x, y}, 0}, {{x + side, y}, 0}, {{x + side, y + side}, 0}, {{x, y + side}, 0}}, true};
}

std::vector<Case> cases() {
    Nurbs quarter{2, {0, 0, 0, 1, 1, 1}, {{1, 0}, {1, 1}, {0, 1}}, {1, kR2, 1}};
    Nurbs broken{1, {0, 0, 1, 2, 2}, {{0, 0}, {1, 1}, {2, 0}}, {}};
    Polyline bump{{{{-3, 0}, 0}, {{-1, 0}, -1}, {{1, 0}, 0}, {{3, 0}, 0}}, false};
    return {
        // Lines with lines.
        {"segments cross", seg(0, 0, 2, 2), seg(0, 2, 2, 0), kNone, {{{1, 1}, X}}},
        {"segment ends on segment", seg(0, 0, 2, 0), seg(1, 0, 1, 2), kNone, {{{1, 0}, X}}},
        {"parallel segments", seg(0, 0, 2, 0), seg(0, 1, 2, 1), kNone, {}},
        {"overlapping segments",
         seg(0, 0, 2, 0),
         seg(1, 0, 3, 0),
         kNone,
         {{{1, 0}, O}, {{2, 0}, O}},
         true},
        {"collinear end to end", seg(0, 0, 1, 0), seg(1, 0, 2, 0), kNone, {{{1, 0}, T}}},
        {"collinear apart", seg(0, 0, 1, 0), seg(2, 0, 3, 0), kNone, {}},
        {"segment short of a segment", seg(0, 0, 1, 0), seg(2, -1, 2, 1), kNone, {}},
        {"first extended", seg(0, 0, 1, 0), seg(2, -1, 2, 1), Extend::First, {{{2, 0}, X}}},
        {"second extended: no", seg(0, 0, 1, 0), seg(2, -1, 2, 1), Extend::Second, {}},
        {"both extended", seg(0, 0, 1, 1), seg(5, 0, 4, 1), Extend::Both, {{{2.5, 2.5}, X}}},
        {"ray crosses segment", seg(0, 0, 2, 0), Ray{{1, -1}, {0, 1}}, kNone, {{{1, 0}, X}}},
        {"ray points away", seg(0, 0, 2, 0), Ray{{1, -1}, {0, -1}}, kNone, {}},
        {"ray extended backwards",
         seg(0, 0, 2, 0),
         Ray{{1, -1}, {0, -1}},
         Extend::Second,
         {{{1, 0}, X}}},
        {"construction line crosses",
         XLine{{5, 5}, {0, 1}},
         seg(0, 0, 10, 0),
         kNone,
         {{{5, 0}, X}}},
        {"opposed rays overlap",
         Ray{{0, 0}, {1, 0}},
         Ray{{5, 0}, {-1, 0}},
         kNone,
         {{{0, 0}, O}, {{5, 0}, O}},
         true},
        {"same construction line", XLine{{0, 0}, {1, 0}}, XLine{{3, 0}, {-1, 0}}, kNone, {}, true},
        {"ray on construction line",
         Ray{{2, 0}, {1, 0}},
         XLine{{0, 0}, {1, 0}},
         kNone,
         {{{2, 0}, O}},
         true},
        {"parallel construction lines", XLine{{0, 0}, {1, 0}}, Ray{{0, 1}, {1, 0}}, kNone, {}},
        // Lines with circles and arcs.
        {"segment through circle",
         seg(-2, 0, 2, 0),
         circle(0, 0, 1),
         kNone,
         {{{-1, 0}, X}, {{1, 0}, X}}},
        {"segment touches circle", seg(-2, 1, 2, 1), circle(0, 0, 1), kNone, {{{0, 1}, T}}},
        {"near touch within tolerance",
         seg(-2, 1 - 1e-11, 2, 1 - 1e-11),
         circle(0, 0, 1),
         kNone,
         {{{0, 1}, T}}},
        {"near touch beyond tolerance",
         seg(-2, 1 - 1e-6, 2, 1 - 1e-6),
         circle(0, 0, 1),
         kNone,
         {{{-std::sqrt(2e-6 - 1e-12), 1 - 1e-6}, X}, {{std::sqrt(2e-6 - 1e-12), 1 - 1e-6}, X}}},
        {"segment misses circle", seg(-2, 1.5, 2, 1.5), circle(0, 0, 1), kNone, {}},
        {"segment ends inside", seg(0, 0, 2, 0), circle(0, 0, 1), kNone, {{{1, 0}, X}}},
        {"line through arc ends",
         seg(-2, 0, 2, 0),
         Arc{{0, 0}, 1, 0, kPi},
         kNone,
         {{{-1, 0}, X}, {{1, 0}, X}}},
        {"line meets quarter arc once",
         seg(-2, 0.5, 2, 0.5),
         Arc{{0, 0}, 1, 0, kPi / 2},
         kNone,
         {{{kR3, 0.5}, X}}},
        {"arc extended to circle",
         seg(-2, 0.5, 2, 0.5),
         Arc{{0, 0}, 1, 0, kPi / 2},
         Extend::Second,
         {{{-kR3, 0.5}, X}, {{kR3, 0.5}, X}}},
        {"ray from the centre", Ray{{0, 0}, {0, 1}}, circle(0, 0, 2), kNone, {{{0, 2}, X}}},
        // Circles and arcs.
        {"circles cross",
         circle(0, 0, 1),
         circle(1, 0, 1),
         kNone,
         {{{0.5, kR3}, X}, {{0.5, -kR3}, X}}},
        {"circles touch outside", circle(0, 0, 1), circle(2, 0, 1), kNone, {{{1, 0}, T}}},
        {"circles touch inside", circle(0, 0, 2), circle(1, 0, 1), kNone, {{{2, 0}, T}}},
        {"inner circle touches", circle(1, 0, 1), circle(0, 0, 2), kNone, {{{2, 0}, T}}},
        {"circles nearly touch", circle(0, 0, 1), circle(2 + 1e-11, 0, 1), kNone, {{{1, 0}, T}}},
        {"concentric circles", circle(0, 0, 1), circle(0, 0, 2), kNone, {}},
        {"same circle", circle(0, 0, 1), circle(0, 0, 1), kNone, {}, true},
        {"overlapping arcs",
         Arc{{0, 0}, 1, 0, kPi},
         Arc{{0, 0}, 1, kPi / 2, 1.5 * kPi},
         kNone,
         {{{0, 1}, O}, {{-1, 0}, O}},
         true},
        {"arcs end to end",
         Arc{{0, 0}, 1, 0, kPi / 2},
         Arc{{0, 0}, 1, kPi / 2, kPi},
         kNone,
         {{{0, 1}, T}}},
        {"arc short of circle", Arc{{0, 0}, 1, 0, 0.1}, circle(1, 0, 1), kNone, {}},
        {"arc extended to circle",
         Arc{{0, 0}, 1, 0, 0.1},
         circle(1, 0, 1),
         Extend::First,
         {{{0.5, kR3}, X}, {{0.5, -kR3}, X}}},
        // Ellipses.
        {"line through ellipse",
         seg(-3, 0, 3, 0),
         ellipse(0, 0, {2, 0}, 0.5),
         kNone,
         {{{-2, 0}, X}, {{2, 0}, X}}},
        {"line touches ellipse",
         seg(-3, 1, 3, 1),
         ellipse(0, 0, {2, 0}, 0.5),
         kNone,
         {{{0, 1}, T}}},
        {"line nearly touches ellipse",
         seg(-3, 1 - 1e-11, 3, 1 - 1e-11),
         ellipse(0, 0, {2, 0}, 0.5),
         kNone,
         {{{0, 1}, T}}},
        {"line touches turned ellipse",
         XLine{{0, 2}, {1, 0}},
         ellipse(0, 0, {0, 2}, 0.5),
         kNone,
         {{{0, 2}, T}}},
        {"ellipse and circle cross",
         ellipse(0, 0, {2, 0}, 0.5),
         circle(0, 0, 1.5),
         kNone,
         {{{std::sqrt(5.0 / 3), std::sqrt(7.0 / 12)}, X},
          {{-std::sqrt(5.0 / 3), std::sqrt(7.0 / 12)}, X},
          {{-std::sqrt(5.0 / 3), -std::sqrt(7.0 / 12)}, X},
          {{std::sqrt(5.0 / 3), -std::sqrt(7.0 / 12)}, X}}},
        {"circle touches ellipse twice",
         ellipse(0, 0, {2, 0}, 0.5),
         circle(0, 0, 1),
         kNone,
         {{{0, 1}, T}, {{0, -1}, T}}},
        {"circle inside ellipse", ellipse(0, 0, {2, 0}, 0.5), circle(0, 0, 0.5), kNone, {}},
        {"crossed ellipses",
         ellipse(0, 0, {2, 0}, 0.5),
         ellipse(0, 0, {0, 2}, 0.5),
         kNone,
         {{{2 / std::sqrt(5.0), 2 / std::sqrt(5.0)}, X},
          {{-2 / std::sqrt(5.0), 2 / std::sqrt(5.0)}, X},
          {{-2 / std::sqrt(5.0), -2 / std::sqrt(5.0)}, X},
          {{2 / std::sqrt(5.0), -2 / std::sqrt(5.0)}, X}}},
        {"ellipses touch",
         ellipse(0, 0, {2, 0}, 0.5),
         ellipse(4, 0, {2, 0}, 0.5),
         kNone,
         {{{2, 0}, T}}},
        {"same ellipse", ellipse(0, 0, {2, 0}, 0.5), ellipse(0, 0, {-2, 0}, 0.5), kNone, {}, true},
        {"round ellipse is the circle", ellipse(1, 1, {0, 3}, 1), circle(1, 1, 3), kNone, {}, true},
        {"elliptical arc short of circle",
         ellipse(0, 0, {2, 0}, 0.5, 0, kPi / 4),
         circle(0, 0, 1.5),
         kNone,
         {}},
        {"elliptical arc extended",
         ellipse(0, 0, {2, 0}, 0.5, 0, kPi / 4),
         circle(0, 0, 1.5),
         Extend::First,
         {{{std::sqrt(5.0 / 3), std::sqrt(7.0 / 12)}, X},
          {{-std::sqrt(5.0 / 3), std::sqrt(7.0 / 12)}, X},
          {{-std::sqrt(5.0 / 3), -std::sqrt(7.0 / 12)}, X},
          {{std::sqrt(5.0 / 3), -std::sqrt(7.0 / 12)}, X}}},
        {"elliptical arcs overlap",
         ellipse(0, 0, {2, 0}, 0.5, 0, 2),
         ellipse(0, 0, {2, 0}, 0.5, 1, 3),
         kNone,
         {{{2 * std::cos(1.0), std::sin(1.0)}, O}, {{2 * std::cos(2.0), std::sin(2.0)}, O}},
         true},
        // Splines.
        {"line across parabola",
         seg(-1, 0.5, 3, 0.5),
         parabola(0, 1),
         kNone,
         {{{1 - kR2, 0.5}, X}, {{1 + kR2, 0.5}, X}}},
        {"line touches parabola", seg(-1, 1, 3, 1), parabola(0, 1), kNone, {{{1, 1}, T}}},
        {"line nearly touches parabola",
         seg(-1, 1 - 1e-11, 3, 1 - 1e-11),
         parabola(0, 1),
         kNone,
         {{{1, 1}, T}}},
        {"line above parabola", seg(-1, 1.5, 3, 1.5), parabola(0, 1), kNone, {}},
        {"construction line across parabola",
         XLine{{1, 5}, {0, -1}},
         parabola(0, 1),
         kNone,
         {{{1, 1}, X}}},
        {"parabola in circle",
         parabola(0, 1),
         circle(1, 0, 1),
         kNone,
         {{{0, 0}, X}, {{1, 1}, T}, {{2, 0}, X}}},
        {"parabola in round ellipse",
         parabola(0, 1),
         ellipse(1, 0, {1, 0}, 1),
         kNone,
         {{{0, 0}, X}, {{1, 1}, T}, {{2, 0}, X}}},
        {"rational quarter on circle",
         quarter,
         circle(0, 0, 1),
         kNone,
         {{{1, 0}, O}, {{0, 1}, O}},
         true},
        {"rational quarter crossing a line",
         quarter,
         XLine{{0, 0}, {kR2, kR2}},
         kNone,
         {{{kR2, kR2}, X}}},
        {"parabolas cross",
         parabola(0, 1),
         parabola(1, -1),
         kNone,
         {{{1 - kR2, 0.5}, X}, {{1 + kR2, 0.5}, X}}},
        {"parabolas touch", parabola(0, 1), parabola(2, -1), kNone, {{{1, 1}, T}}},
        {"spline corner on a line", broken, seg(1, -1, 1, 2), kNone, {{{1, 1}, X}}},
        {"same spline", parabola(0, 1), parabola(0, 1), kNone, {{{0, 0}, O}, {{2, 0}, O}}, true},
        // Polylines.
        {"line across square",
         seg(-1, 1, 3, 1),
         square(0, 0, 2),
         kNone,
         {{{0, 1}, X}, {{2, 1}, X}}},
        {"diagonal through corners",
         seg(-1, -1, 3, 3),
         square(0, 0, 2),
         kNone,
         {{{0, 0}, X}, {{2, 2}, X}}},
        {"squares cross", square(0, 0, 2), square(1, 1, 2), kNone, {{{2, 1}, X}, {{1, 2}, X}}},
        {"segment along a side",
         square(0, 0, 2),
         seg(0, 0, 1, 0),
         kNone,
         {{{0, 0}, O}, {{1, 0}, O}},
         true},
        {"bump along circle", bump, circle(0, 0, 1), kNone, {{{-1, 0}, O}, {{1, 0}, O}}, true},
        {"bump and line", bump, seg(-5, 0.5, 5, 0.5), kNone, {{{-kR3, 0.5}, X}, {{kR3, 0.5}, X}}},
        {"bump and ray extended", bump, Ray{{0, 2}, {0, 1}}, Extend::Second, {{{0, 1}, X}}},
        {"bump touches ellipse", bump, ellipse(0, 0, {0, 1}, 0.5), kNone, {{{0, 1}, T}}},
        {"bump and lower half ellipse",
         bump,
         ellipse(0, 0, {0, 1}, 0.5, kPi / 2, 1.5 * kPi),
         kNone,
         {}},
        {"bump and ellipse arc extended",
         bump,
         ellipse(0, 0, {0, 1}, 0.5, kPi / 2, 1.5 * kPi),
         Extend::Second,
         {{{0, 1}, T}}},
    };
}

std::string describe(const Intersections& r) {
    std::ostringstream out;
    out << (r.overlap ? "overlap; " : "") << r.hits.size() << " hits:";
    for (size_t i = 0; i < r.hits.size() && i < 8; ++i) {
        const Hit& h = r.hits[i];
        out << " (" << h.point.x << ", " << h.point.y << ") kind " << int(h.kind) << " t " << h.t1
            << "/" << h.t2;
    }
    return out.str();
}

TEST(IntersectTable, EveryPairOfKinds) {
    for (const Case& c : cases()) {
        Intersections r = intersect(c.a, c.b, c.extend);
        SCOPED_TRACE(std::string(c.name) + ": " + describe(r));
        EXPECT_EQ(r.overlap, c.overlap);
        EXPECT_EQ(r.hits.size(), c.hits.size());
        if (r.hits.size() != c.hits.size()) continue;
        for (const Expected& e : c.hits) {
            auto hit = std::find_if(r.hits.begin(), r.hits.end(),
                                    [&](const Hit& h) { return dist(h.point, e.point) < 1e-9; });
            EXPECT_NE(hit, r.hits.end()) << "missing (" << e.point.x << ", " << e.point.y << ")";
            if (hit == r.hits.end()) continue;
            EXPECT_EQ(hit->kind, e.kind) << "at (" << e.point.x << ", " << e.point.y << ")";
            EXPECT_LT(dist(pointAt(c.a, hit->t1), e.point), 1e-9);
            EXPECT_LT(dist(pointAt(c.b, hit->t2), e.point), 1e-9);
        }
        for (size_t i = 1; i < r.hits.size(); ++i) {
            EXPECT_LE(r.hits[i - 1].t1, r.hits[i].t1);
        }
    }
}

TEST(IntersectTable, SwappingTheCurvesSwapsTheParameters) {
    for (const Case& c : cases()) {
        Extend back = c.extend == Extend::First    ? Extend::Second
                      : c.extend == Extend::Second ? Extend::First
                                                   : c.extend;
        Intersections r = intersect(c.a, c.b, c.extend), s = intersect(c.b, c.a, back);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(r.overlap, s.overlap);
        EXPECT_EQ(r.hits.size(), s.hits.size());
        for (const Hit& h : r.hits) {
            EXPECT_TRUE(std::any_of(s.hits.begin(), s.hits.end(), [&](const Hit& g) {
                return dist(g.point, h.point) < 1e-9 && g.kind == h.kind;
            }));
        }
    }
}

} // namespace
} // namespace zel::geom
