// Section properties of figures bounded by loops: a table of figures whose area, perimeter,
// centroid and moments about the centroid follow from the textbook formulas (rectangle b h^3/12,
// circle pi r^4/4, semicircle about its diameter pi r^4/8, parallel axes), and seeded random
// figures moved and turned, whose properties must move with them.
#include "geom/section.h"

#include <gtest/gtest.h>

#include <random>

namespace zel::geom {
namespace {

constexpr double kRel = 1e-11; // the rule integrates these figures to the last digits

Loop rectangle(Vec2 lo, Vec2 hi) {
    Vec2 a = lo, b{hi.x, lo.y}, c = hi, d{lo.x, hi.y};
    return {{Segment{a, b}}, {Segment{b, c}}, {Segment{c, d}}, {Segment{d, a}}};
}

// A full circle; clockwise (a hole) when reversed.
Loop circle(Vec2 c, double r, bool reversed) {
    return {{arcFromAngles(c, r, 0.3, 0.3), reversed}};
}

// Two half circles of radius r about c0 and c1 (on a horizontal line) joined by lines.
Loop slot(Vec2 c0, Vec2 c1, double r) {
    Vec2 up{0, r};
    return {{Segment{c0 - up, c1 - up}},
            {arcFromAngles(c1, r, -kPi / 2, kPi / 2)},
            {Segment{c1 + up, c0 + up}},
            {arcFromAngles(c0, r, kPi / 2, 3 * kPi / 2)}};
}

struct Expected {
    double area, perimeter;
    Vec2 centroid;
    double ixx, iyy, ixy;
};

struct Case {
    const char* name;
    std::vector<Loop> loops;
    Expected want;
};

void expectNear(double got, double want, const char* what, const char* name) {
    EXPECT_NEAR(got, want, kRel * std::max(1.0, std::fabs(want))) << name << ": " << what;
}

std::vector<Case> cases() {
    std::vector<Case> out;
    {
        // 100 x 60 with a hole of radius 10 at (30, 30).
        double b = 100, h = 60, r = 10, hx = 30;
        double hole = kPi * r * r, area = b * h - hole;
        double cx = (b * h * b / 2 - hole * hx) / area;
        double holeI = kPi * r * r * r * r / 4;
        double iyy = h * b * b * b / 12 + b * h * (b / 2 - cx) * (b / 2 - cx) -
                     (holeI + hole * (hx - cx) * (hx - cx));
        out.push_back(
            {"rectangle with a hole",
             {rectangle({0, 0}, {b, h}), circle({hx, 30}, r, true)},
             {area, 2 * (b + h) + 2 * kPi * r, {cx, 30}, b * h * h * h / 12 - holeI, iyy, 0}});
    }
    {
        double r = 25;
        double i = kPi * r * r * r * r / 4;
        out.push_back({"circle",
                       {circle({10, -5}, r, false)},
                       {kPi * r * r, 2 * kPi * r, {10, -5}, i, i, 0}});
    }
    {
        // Slot of length 40 between the centres, radius 10, far from the origin.
        double r = 10, l = 40;
        Vec2 o{1000, 2000};
        double half = kPi * r * r / 2;
        double firstMoment = 2 * r * r * r / 3; // of a half circle about its diameter
        double halfAbout = kPi * r * r * r * r / 8 + 2 * (l / 2) * firstMoment + l * l / 4 * half;
        out.push_back({"slot",
                       {slot(o, o + Vec2{l, 0}, r)},
                       {l * 2 * r + kPi * r * r, 2 * l + 2 * kPi * r, o + Vec2{l / 2, 0},
                        l * 8 * r * r * r / 12 + kPi * r * r * r * r / 4,
                        2 * r * l * l * l / 12 + 2 * halfAbout, 0}});
    }
    {
        // A 40 x 10 rectangle turned by 30 degrees about its centre (0, 0).
        double b = 40, h = 10, t = kPi / 6;
        Vec2 u = polar(t), v = perp(u);
        Vec2 p[4] = {u * (-b / 2) + v * (-h / 2), u * (b / 2) + v * (-h / 2),
                     u * (b / 2) + v * (h / 2), u * (-b / 2) + v * (h / 2)};
        Loop turned;
        for (int i = 0; i < 4; ++i)
            turned.push_back({Segment{p[i], p[(i + 1) % 4]}});
        double i1 = b * h * h * h / 12, i2 = h * b * b * b / 12; // about its own x and y axes
        double c = std::cos(t), s = std::sin(t);
        out.push_back({"turned rectangle",
                       {turned},
                       {b * h,
                        2 * (b + h),
                        {0, 0},
                        i2 * s * s + i1 * c * c,
                        i2 * c * c + i1 * s * s,
                        (i2 - i1) * s * c}});
    }
    return out;
}

TEST(Section, FiguresAgreeWithTheirFormulas) {
    for (const Case& c : cases()) {
        SectionProperties p = sectionProperties(c.loops);
        expectNear(p.area, c.want.area, "area", c.name);
        expectNear(p.perimeter, c.want.perimeter, "perimeter", c.name);
        expectNear(p.centroid.x, c.want.centroid.x, "centroid x", c.name);
        expectNear(p.centroid.y, c.want.centroid.y, "centroid y", c.name);
        expectNear(p.ixx, c.want.ixx, "ixx", c.name);
        expectNear(p.iyy, c.want.iyy, "iyy", c.name);
        EXPECT_NEAR(p.ixy, c.want.ixy, kRel * std::max(c.want.ixx, c.want.iyy)) << c.name;
    }
}

TEST(Section, LoopsRunTheOtherWayGiveTheNegativeArea) {
    Loop r = rectangle({0, 0}, {4, 3});
    for (LoopEdge& e : r)
        e.reversed = !e.reversed;
    SectionProperties p = sectionProperties(std::vector<Loop>{r});
    EXPECT_NEAR(p.area, -12, 1e-12);
    EXPECT_NEAR(p.centroid.x, 2, 1e-12);
    EXPECT_NEAR(p.centroid.y, 1.5, 1e-12);
}

TEST(Section, PrincipalMomentsOfATurnedRectangleAreItsOwn) {
    double b = 40, h = 10, t = kPi / 6;
    double i1 = b * h * h * h / 12, i2 = h * b * b * b / 12;
    double c = std::cos(t), s = std::sin(t);
    PrincipalMoments pm =
        principalMoments(i2 * s * s + i1 * c * c, i2 * c * c + i1 * s * s, (i2 - i1) * s * c);
    EXPECT_NEAR(pm.greatest, i2, 1e-9 * i2);
    EXPECT_NEAR(pm.least, i1, 1e-9 * i2);
    // The greatest moment is about the rectangle's short axis (its own y axis, turned).
    Vec2 axis = perp(polar(t));
    EXPECT_NEAR(std::fabs(dot(pm.greatestAxis, axis)), 1, 1e-12);
    EXPECT_NEAR(dot(pm.greatestAxis, pm.leastAxis), 0, 1e-12);
}

// Random placements: the area, perimeter and the moments' trace stay; the centroid moves with
// the figure; the product of inertia turns with it.
TEST(Section, RandomPlacementsMoveThePropertiesWithTheFigure) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> turn(0, kTwoPi), shift(-500, 500);
    std::vector<Loop> base{slot({0, 0}, {30, 0}, 8), circle({15, 0}, 3, true),
                           circle({-2, 0}, 2, true)};
    SectionProperties ref = sectionProperties(base);
    for (int trial = 0; trial < 50; ++trial) {
        double a = turn(rng);
        Vec2 d{shift(rng), shift(rng)};
        auto place = [&](Vec2 p) {
            return Vec2{p.x * std::cos(a) - p.y * std::sin(a),
                        p.x * std::sin(a) + p.y * std::cos(a)} +
                   d;
        };
        std::vector<Loop> moved;
        for (const Loop& l : base) {
            Loop m;
            for (const LoopEdge& e : l) {
                if (auto* s = std::get_if<Segment>(&e.curve)) {
                    m.push_back({Segment{place(s->start), place(s->end)}, e.reversed});
                } else {
                    const Arc& arc = std::get<Arc>(e.curve);
                    double span = arc.end - arc.start;
                    Arc turned = arcFromAngles(place(arc.center), arc.radius, arc.start + a,
                                               arc.start + a + span);
                    if (span > kTwoPi - 1e-9)
                        turned = arcFromAngles(place(arc.center), arc.radius, a, a);
                    m.push_back({turned, e.reversed});
                }
            }
            moved.push_back(m);
        }
        SectionProperties p = sectionProperties(moved);
        EXPECT_NEAR(p.area, ref.area, 1e-9 * ref.area);
        EXPECT_NEAR(p.perimeter, ref.perimeter, 1e-9 * ref.perimeter);
        Vec2 c = place(ref.centroid);
        EXPECT_NEAR(dist(p.centroid, c), 0, 1e-9);
        EXPECT_NEAR(p.ixx + p.iyy, ref.ixx + ref.iyy, 1e-8 * (ref.ixx + ref.iyy));
        double s2 = std::sin(2 * a), c2 = std::cos(2 * a);
        double ixy = (ref.iyy - ref.ixx) / 2 * s2 + ref.ixy * c2;
        EXPECT_NEAR(p.ixy, ixy, 1e-8 * (ref.ixx + ref.iyy));
    }
}

} // namespace
} // namespace zel::geom
