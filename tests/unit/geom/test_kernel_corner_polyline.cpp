// Corners at every vertex of a polyline (the Polyline option of FILLET and CHAMFER) and
// chamfers given by a length and an angle: tables of drafting cases and seeded random convex
// polygons whose filleted area follows from their angles.
#include "geom/area.h"
#include "geom/bulge.h"
#include "geom/corner_polyline.h"
#include "geom/intersect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace zel::geom {
namespace {

SegmentCorner filletOf(double r) {
    return
        [r](const Curve& a, Vec2 p1, const Curve& b, Vec2 p2) { return fillet(a, p1, b, p2, r); };
}

SegmentCorner chamferOf(double d1, double d2) {
    return [d1, d2](const Curve& a, Vec2 p1, const Curve& b, Vec2 p2) {
        return chamfer(a, p1, b, p2, d1, d2);
    };
}

Polyline box(double w, double h) {
    return {{{{0, 0}, 0}, {{w, 0}, 0}, {{w, h}, 0}, {{0, h}, 0}}, true};
}

struct PolylineCase {
    const char* name;
    Polyline polyline;
    SegmentCorner corner;
    int made, tooShort;
    size_t vertices;
    double area; // absolute area after (closed polylines)
};

TEST(KernelCornerPolyline, Table) {
    const double quarterCut = 100 - 25 * kPi; // a corner rounded with radius 10
    Polyline stepped{{{{0, 0}, 0}, {{100, 0}, 0}, {{100, 8}, 0}, {{160, 8}, 0}}, false};
    Polyline withArc{{{{0, 0}, 0}, {{50, 0}, 0.4}, {{80, 20}, 0}, {{80, 60}, 0}}, false};
    Polyline inLine{{{{0, 0}, 0}, {{50, 0}, 0}, {{100, 0}, 0}, {{100, 40}, 0}}, false};
    const PolylineCase cases[] = {
        {"rectangle rounded", box(100, 60), filletOf(10), 4, 0, 8, 6000 - 4 * quarterCut},
        {"rectangle chamfered", box(100, 60), chamferOf(5, 5), 4, 0, 8, 6000 - 4 * 12.5},
        {"uneven chamfer", box(100, 60), chamferOf(10, 5), 4, 0, 8, 6000 - 4 * 25},
        {"radius 0 leaves the corners", box(100, 60), filletOf(0), 0, 0, 4, 6000},
        {"radius larger than the sides", box(100, 60), filletOf(70), 0, 4, 4, 6000},
        // Each rounded corner takes 40 of a short side: the corners after it have no room.
        {"corners in turn", box(100, 60), filletOf(40), 2, 2, 6, 6000 - 2 * (1600 - 400 * kPi)},
        // The second corner has 3 left of the 8 after the first took 5.
        {"short segment counted", stepped, filletOf(5), 1, 1, 5, 0},
        {"arc segments are left", withArc, filletOf(2), 0, 0, 4, 0},
        {"vertices in line are left", inLine, filletOf(5), 1, 0, 5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PolylineCorners out = cornersOfPolyline(c.polyline, c.corner);
        EXPECT_EQ(out.made, c.made);
        EXPECT_EQ(out.tooShort, c.tooShort);
        EXPECT_EQ(out.polyline.vertices.size(), c.vertices);
        EXPECT_EQ(out.polyline.closed, c.polyline.closed);
        if (c.polyline.closed) {
            EXPECT_NEAR(std::abs(signedArea(out.polyline)), c.area, 1e-9);
        }
    }
}

// A random convex polygon: angles around a centre, radii varying a little.
Polyline randomConvex(std::mt19937& rng, int n) {
    std::uniform_real_distribution<double> jitter(0.7, 1.3);
    std::vector<double> angles;
    for (int i = 0; i < n; ++i)
        angles.push_back((i + 0.5 * jitter(rng)) * 2 * kPi / n);
    Polyline p{{}, true};
    for (double a : angles)
        p.vertices.push_back({polar(a) * 100, 0});
    return p;
}

bool isConvex(const Polyline& p) {
    size_t n = p.vertices.size();
    for (size_t i = 0; i < n; ++i) {
        Vec2 a = p.vertices[i].point, b = p.vertices[(i + 1) % n].point,
             c = p.vertices[(i + 2) % n].point;
        if (cross(b - a, c - b) <= 0) return false;
    }
    return true;
}

// The area a fillet of radius r takes from a corner of interior angle phi.
double roundedOff(double phi, double r) {
    return r * r * (1 / std::tan(phi / 2) - (kPi - phi) / 2);
}

TEST(KernelCornerPolyline, RandomConvexPolygonsLoseWhatTheirAnglesSay) {
    std::mt19937 rng(1208);
    int checked = 0;
    for (int i = 0; i < 500; ++i) {
        SCOPED_TRACE(i);
        Polyline p = randomConvex(rng, 3 + int(rng() % 8));
        if (!isConvex(p)) continue;
        double r = 2 + double(rng() % 100) / 20;
        double expected = signedArea(p);
        size_t n = p.vertices.size();
        for (size_t k = 0; k < n; ++k) {
            Vec2 prev = p.vertices[(k + n - 1) % n].point, at = p.vertices[k].point,
                 next = p.vertices[(k + 1) % n].point;
            double phi = std::acos(std::clamp(dot(unit(prev - at), unit(next - at)), -1.0, 1.0));
            expected -= roundedOff(phi, r);
        }
        PolylineCorners out = cornersOfPolyline(p, filletOf(r));
        if (out.tooShort > 0) continue; // sides too short for this radius
        ++checked;
        ASSERT_EQ(out.made, int(n));
        ASSERT_EQ(out.polyline.vertices.size(), 2 * n);
        EXPECT_NEAR(signedArea(out.polyline), expected, 1e-8);
        // Every arc has the radius.
        for (int s = 0; s < segmentCount(out.polyline); ++s) {
            PolySegment seg = segmentOf(out.polyline, s);
            if (!isArc(seg)) continue;
            EXPECT_NEAR(std::get<Arc>(curveOf(seg)).radius, r, 1e-9);
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(KernelCornerPolyline, ChamferByLengthAndAngle) {
    Segment east{{0, 0}, {100, 0}}, north{{0, 0}, {0, 100}};
    Corner c = chamferByAngle(east, {50, 0}, north, {0, 50}, 10, kPi / 6);
    ASSERT_EQ(c.error, CornerError::None);
    EXPECT_NEAR(c.first.point.x, 10, 1e-12);
    EXPECT_NEAR(c.second.point.y, 10 * std::tan(kPi / 6), 1e-12);
    // 90 degrees along a right corner never meets the second line on the kept side.
    EXPECT_EQ(chamferByAngle(east, {50, 0}, north, {0, 50}, 10, kPi / 2).error,
              CornerError::DistanceTooLarge);
    EXPECT_EQ(chamferByAngle(east, {50, 0}, Segment{{0, 5}, {100, 5}}, {50, 5}, 10, 0.5).error,
              CornerError::Parallel);

    // Random corners: the chamfer leaves the first line at the angle, d from the corner.
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> u(0, 1);
    int made = 0;
    for (int i = 0; i < 2000; ++i) {
        double turn = 0.2 + u(rng) * 2.7, d = 1 + u(rng) * 20, angle = 0.1 + u(rng) * 1.4;
        Vec2 dir2 = polar(turn);
        Segment a{{0, 0}, {200, 0}}, b{{0, 0}, dir2 * 200};
        Corner k = chamferByAngle(a, {150, 0}, b, dir2 * 150, d, angle);
        if (k.error != CornerError::None) {
            double room = kPi - turn - angle;
            bool farOff = room <= 1e-9 || d * std::sin(angle) / std::sin(room) >= 199;
            EXPECT_TRUE(farOff) << i << ": refused though the chamfer fits";
            continue;
        }
        ++made;
        EXPECT_NEAR(norm(k.first.point), d, 1e-9);
        Vec2 back = unit(Vec2{0, 0} - k.first.point), along = unit(k.second.point - k.first.point);
        EXPECT_NEAR(std::acos(std::clamp(dot(back, along), -1.0, 1.0)), angle, 1e-9);
        EXPECT_NEAR(cross(dir2, k.second.point), 0, 1e-9) << "on the second line";
    }
    EXPECT_GT(made, 1000);
}

} // namespace
} // namespace zel::geom
