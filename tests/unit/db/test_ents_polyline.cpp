// Light polylines with bulges: lengths, areas, closest points and distances checked against a
// dense sampling of the curve; segment kinds; transforms keep points exact.
#include "arx/db.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// Steps per unit of parameter for the sampled reference values.
constexpr int kSamples = 20000;

AcDbPolyline makePolyline(const std::vector<std::array<double, 3>>& v, bool closed) {
    AcDbPolyline p;
    for (unsigned i = 0; i < v.size(); ++i)
        p.addVertexAt(i, {v[i][0], v[i][1]}, v[i][2]);
    p.setClosed(closed);
    return p;
}

std::vector<AcGePoint3d> sample(const AcDbPolyline& p) {
    double end;
    EXPECT_EQ(p.getEndParam(end), Acad::eOk);
    int n = int(std::ceil(end * kSamples));
    std::vector<AcGePoint3d> pts;
    for (int i = 0; i <= n; ++i) {
        AcGePoint3d q;
        EXPECT_EQ(p.getPointAtParam(end * i / n, q), Acad::eOk);
        pts.push_back(q);
    }
    return pts;
}

double sampledLength(const std::vector<AcGePoint3d>& pts) {
    double s = 0;
    for (size_t i = 1; i < pts.size(); ++i)
        s += pts[i].distanceTo(pts[i - 1]);
    return s;
}

double sampledArea(const std::vector<AcGePoint3d>& pts) {
    double twice = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const AcGePoint3d &a = pts[i], &b = pts[(i + 1) % pts.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

struct ShapeCase {
    const char* name;
    std::vector<std::array<double, 3>> vertices; // x, y, bulge
    bool closed;
};

const ShapeCase kShapes[] = {
    {"square with a half circle", {{0, 0, 0}, {10, 0, 1}, {10, 10, 0}, {0, 10, 0}}, true},
    {"clockwise loop", {{0, 0, -0.4}, {0, 8, 0}, {6, 8, -0.2}, {6, 0, 0.3}}, true},
    {"open wave", {{0, 0, 0.7}, {4, 0, -0.7}, {8, 0, 2.0}, {12, 0, 0}}, false},
    {"major arcs", {{0, 0, 3.0}, {5, 0, 0}, {5, 5, -1.5}}, true},
    {"repeated vertex", {{0, 0, 0}, {3, 1, 0}, {3, 1, 0.5}, {6, 0, 0}}, true},
};

void PrintTo(const ShapeCase& c, std::ostream* os) {
    *os << c.name;
}

class PolylineShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(PolylineShapes, LengthAndAreaMatchSampling) {
    AcDbPolyline p = makePolyline(GetParam().vertices, GetParam().closed);
    std::vector<AcGePoint3d> pts = sample(p);
    double length, area;
    ASSERT_EQ(p.getLength(length), Acad::eOk);
    ASSERT_EQ(p.getArea(area), Acad::eOk);
    EXPECT_NEAR(length, sampledLength(pts), 1e-5 * length);
    EXPECT_NEAR(area, sampledArea(pts), 1e-5 * std::fabs(area) + 1e-9);
}

TEST_P(PolylineShapes, DistancesAndParametersAreInverse) {
    AcDbPolyline p = makePolyline(GetParam().vertices, GetParam().closed);
    double length;
    ASSERT_EQ(p.getLength(length), Acad::eOk);
    std::vector<AcGePoint3d> pts = sample(p);
    // The point at a distance lies that far along the sampled curve.
    double walked = 0;
    size_t next = 1;
    for (double d : {0.0, length * 0.13, length * 0.5, length * 0.77, length}) {
        AcGePoint3d q;
        ASSERT_EQ(p.getPointAtDist(d, q), Acad::eOk);
        while (next < pts.size() && walked + pts[next].distanceTo(pts[next - 1]) < d)
            walked += pts[next].distanceTo(pts[next - 1]), ++next;
        EXPECT_LT(q.distanceTo(pts[std::min(next, pts.size() - 1)]), 1e-2) << d;
        double back;
        ASSERT_EQ(p.getDistAtPoint(q, back), Acad::eOk);
        // The end of a closed polyline is its start: distance 0.
        bool wrapped = GetParam().closed && d == length;
        EXPECT_NEAR(back, wrapped ? 0 : d, 1e-9);
    }
    AcGePoint3d beyond;
    EXPECT_EQ(p.getPointAtDist(length * 1.01 + 1, beyond), Acad::eInvalidInput);
}

TEST_P(PolylineShapes, ClosestPointIsNoFartherThanAnySample) {
    AcDbPolyline p = makePolyline(GetParam().vertices, GetParam().closed);
    std::vector<AcGePoint3d> pts = sample(p);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-5, 15);
    for (int i = 0; i < 40; ++i) {
        AcGePoint3d q(u(rng), u(rng), u(rng));
        AcGePoint3d c;
        ASSERT_EQ(p.getClosestPointTo(q, c), Acad::eOk);
        double best = 1e300;
        for (const AcGePoint3d& s : pts)
            best = std::min(best, s.distanceTo(q));
        EXPECT_LE(c.distanceTo(q), best + 1e-9);
        EXPECT_GE(c.distanceTo(q), best - 1e-2); // the samples are that close to the curve
        double param;
        EXPECT_EQ(p.getParamAtPoint(c, param), Acad::eOk);
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, PolylineShapes, ::testing::ValuesIn(kShapes),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& ch : n)
                                 if (ch == ' ' || ch == '-') ch = '_';
                             return n;
                         });

TEST(Polyline, SegmentKindsAndSegments) {
    AcDbPolyline p = makePolyline({{0, 0, 0}, {4, 0, 1}, {4, 4, 0}, {4, 4, 0}}, false);
    EXPECT_EQ(p.segType(0), AcDbPolyline::kLine);
    EXPECT_EQ(p.segType(1), AcDbPolyline::kArc);
    EXPECT_EQ(p.segType(2), AcDbPolyline::kCoincident);
    EXPECT_EQ(p.segType(3), AcDbPolyline::kEmpty); // open: no segment after the last vertex
    AcGeCircArc2d arc;
    ASSERT_EQ(p.getArcSegAt(1, arc), Acad::eOk);
    EXPECT_NEAR(arc.center().x, 4, 1e-12);
    EXPECT_NEAR(arc.center().y, 2, 1e-12);
    EXPECT_NEAR(arc.radius(), 2, 1e-12);
    EXPECT_TRUE(arc.startPoint().isEqualTo({4, 0}));
    EXPECT_TRUE(arc.endPoint().isEqualTo({4, 4}));
    AcGeCircArc3d arc3;
    ASSERT_EQ(p.getArcSegAt(1, arc3), Acad::eOk);
    EXPECT_TRUE(arc3.startPoint().isEqualTo({4, 0, 0}));
    EXPECT_TRUE(arc3.endPoint().isEqualTo({4, 4, 0}));
    AcGeLineSeg2d line;
    EXPECT_EQ(p.getLineSegAt(1, line), Acad::eNotApplicable);
    ASSERT_EQ(p.getLineSegAt(0, line), Acad::eOk);
    EXPECT_NEAR(line.length(), 4, 1e-12);
    AcDbPolyline single = makePolyline({{1, 1, 0}}, false);
    EXPECT_EQ(single.segType(0), AcDbPolyline::kPoint);
}

TEST(Polyline, ClockwiseArcSegmentRunsFromStartToEnd) {
    AcDbPolyline p = makePolyline({{0, 0, -0.5}, {6, 0, 0}}, false);
    AcGeCircArc2d arc;
    ASSERT_EQ(p.getArcSegAt(0, arc), Acad::eOk);
    EXPECT_TRUE(arc.isClockWise());
    EXPECT_TRUE(arc.startPoint().isEqualTo({0, 0}));
    EXPECT_TRUE(arc.endPoint().isEqualTo({6, 0}));
    AcGePoint3d mid;
    p.getPointAtParam(0.5, mid);
    EXPECT_GT(mid.y, 0); // a clockwise arc from left to right bulges upward
}

TEST(Polyline, VertexEditingAndBadIndexes) {
    AcDbPolyline p;
    EXPECT_EQ(p.addVertexAt(1, {0, 0}), Acad::eInvalidIndex);
    EXPECT_EQ(p.addVertexAt(0, {0, 0}), Acad::eOk);
    EXPECT_EQ(p.addVertexAt(1, {5, 0}, 0.5), Acad::eOk);
    EXPECT_EQ(p.addVertexAt(1, {2, 3}), Acad::eOk); // inserted in the middle
    AcGePoint2d pt;
    p.getPointAt(1, pt);
    EXPECT_TRUE(pt.isEqualTo({2, 3}));
    double b;
    EXPECT_EQ(p.getBulgeAt(2, b), Acad::eOk);
    EXPECT_EQ(b, 0.5);
    EXPECT_EQ(p.getBulgeAt(3, b), Acad::eInvalidIndex);
    EXPECT_EQ(p.setBulgeAt(0, std::nan("")), Acad::eInvalidInput);
    EXPECT_EQ(p.removeVertexAt(1), Acad::eOk);
    EXPECT_EQ(p.numVerts(), 2u);
    EXPECT_EQ(p.removeVertexAt(2), Acad::eInvalidIndex);
    EXPECT_EQ(p.setWidthsAt(0, -1, 0), Acad::eInvalidInput);
    p.setWidthsAt(0, 1, 2);
    double w;
    EXPECT_EQ(p.getConstantWidth(w), Acad::eInvalidInput); // widths differ
    AcGePoint3d q;
    EXPECT_EQ(p.getPointAtParam(1.5, q), Acad::eInvalidInput); // open: ends at 1
}

TEST(Polyline, AreaIsSignedByOrientation) {
    AcDbPolyline ccw = makePolyline({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, true);
    AcDbPolyline cw = makePolyline({{0, 0, 0}, {0, 2, 0}, {2, 2, 0}, {2, 0, 0}}, true);
    double a, b;
    ccw.getArea(a);
    cw.getArea(b);
    EXPECT_NEAR(a, 4, 1e-12);
    EXPECT_NEAR(b, -4, 1e-12);
    // A full circle of two half-circle bulges.
    AcDbPolyline circle = makePolyline({{-1, 0, 1}, {1, 0, 1}}, true);
    circle.getArea(a);
    EXPECT_NEAR(a, M_PI, 1e-12);
}

// Random similarity transforms (some mirrored) move every sampled point exactly, scale the
// length and the area, and a mirror reverses the area's sign.
TEST(Polyline, TransformMovesPointsExactly) {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int trial = 0; trial < 30; ++trial) {
        AcDbPolyline p = makePolyline({{0, 0, 0.3}, {5, 1, -0.8}, {6, 6, 0}, {1, 4, 1.2}}, true);
        p.setElevation(u(rng));
        AcGeMatrix3d m = AcGeMatrix3d::rotation(u(rng) * M_PI, AcGeVector3d::kZAxis,
                                                AcGePoint3d(u(rng), u(rng), 0));
        double s = 0.5 + (u(rng) + 1);
        m.preMultBy(AcGeMatrix3d::scaling(s, AcGePoint3d(u(rng), u(rng), 0)));
        bool mirror = trial % 2 == 1;
        if (mirror) m.preMultBy(AcGeMatrix3d::mirroring({0, 0, 0}, {u(rng), 1, 0}));
        double length0, area0;
        p.getLength(length0);
        p.getArea(area0);
        std::vector<AcGePoint3d> before;
        for (double t = 0; t <= 4; t += 0.125) {
            AcGePoint3d q;
            p.getPointAtParam(t, q);
            before.push_back(m * q);
        }
        ASSERT_EQ(p.transformBy(m), Acad::eOk);
        EXPECT_NEAR(p.normal().z, 1, 1e-12); // stays in the XY plane, even when mirrored
        size_t i = 0;
        for (double t = 0; t <= 4; t += 0.125, ++i) {
            AcGePoint3d q;
            p.getPointAtParam(t, q);
            EXPECT_LT(q.distanceTo(before[i]), 1e-9) << trial << " " << t;
        }
        double length1, area1;
        p.getLength(length1);
        p.getArea(area1);
        EXPECT_NEAR(length1, length0 * s, 1e-9);
        EXPECT_NEAR(area1, area0 * s * s * (mirror ? -1 : 1), 1e-8);
    }
}

TEST(Polyline, NonUniformScaleOfArcsIsRefused) {
    AcDbPolyline arcs = makePolyline({{0, 0, 1}, {2, 0, 0}}, false);
    AcGeMatrix3d stretch;
    stretch.entry[0][0] = 2;
    EXPECT_EQ(arcs.transformBy(stretch), Acad::eCannotScaleNonUniformly);
    AcDbPolyline lines = makePolyline({{0, 0, 0}, {2, 1, 0}}, false);
    ASSERT_EQ(lines.transformBy(stretch), Acad::eOk);
    AcGePoint2d pt;
    lines.getPointAt(1, pt);
    EXPECT_TRUE(pt.isEqualTo({4, 1}));
}

TEST(Polyline, ExtentsHoldTheArcs) {
    AcDbPolyline p = makePolyline({{0, 0, 1}, {4, 0, 0}}, false); // half circle below the chord
    AcDbExtents e;
    ASSERT_EQ(p.getGeomExtents(e), Acad::eOk);
    EXPECT_NEAR(e.minPoint().y, -2, 1e-12);
    EXPECT_NEAR(e.maxPoint().y, 0, 1e-12);
    EXPECT_NEAR(e.maxPoint().x, 4, 1e-12);
}

} // namespace
