// Splines: evaluation against hand-computed curves (a clamped cubic with four control points is
// a Bezier curve; a rational quadratic with weight cos 45 degrees is a quarter circle), and
// lengths, derivatives, closest points, extents and fit points checked against sampling.
#include "arx/db.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

AcDbSpline bezier(const std::vector<AcGePoint3d>& ctrl) {
    return AcDbSpline(3, false, false, false, ctrl, {0, 0, 0, 0, 1, 1, 1, 1}, {});
}

AcGePoint3d bernstein(const std::vector<AcGePoint3d>& p, double t) {
    double s = 1 - t;
    double b[4] = {s * s * s, 3 * s * s * t, 3 * s * t * t, t * t * t};
    AcGeVector3d v;
    for (int i = 0; i < 4; ++i)
        v += p[i].asVector() * b[i];
    return AcGePoint3d::kOrigin + v;
}

const std::vector<AcGePoint3d> kCtrl = {{0, 0, 0}, {1, 3, 1}, {4, 3, -1}, {5, 0, 2}};

TEST(Spline, ClampedCubicIsItsBezierCurve) {
    AcDbSpline s = bezier(kCtrl);
    for (double t = 0; t <= 1.0; t += 0.05) {
        AcGePoint3d p;
        ASSERT_EQ(s.getPointAtParam(t, p), Acad::eOk);
        EXPECT_LT(p.distanceTo(bernstein(kCtrl, t)), 1e-12) << t;
        // The derivative of the Bezier curve: 3 times the differences' curve.
        double u = 1 - t;
        AcGeVector3d d = (kCtrl[1] - kCtrl[0]) * (3 * u * u) + (kCtrl[2] - kCtrl[1]) * (6 * u * t) +
                         (kCtrl[3] - kCtrl[2]) * (3 * t * t);
        AcGeVector3d got;
        ASSERT_EQ(s.getFirstDeriv(t, got), Acad::eOk);
        EXPECT_LT((got - d).length(), 1e-12) << t;
    }
    AcGePoint3d outside;
    EXPECT_EQ(s.getPointAtParam(1.5, outside), Acad::eInvalidInput);
}

TEST(Spline, RationalQuadraticDrawsAQuarterCircle) {
    double w = std::sqrt(0.5);
    AcDbSpline s(2, true, false, false, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {0, 0, 0, 1, 1, 1},
                 {1, w, 1});
    for (double t = 0; t <= 1.0; t += 0.1) {
        AcGePoint3d p;
        s.getPointAtParam(t, p);
        EXPECT_NEAR(p.asVector().length(), 1, 1e-12) << t;
    }
    double length;
    ASSERT_EQ(s.getLength(length), Acad::eOk);
    EXPECT_NEAR(length, M_PI / 2, 1e-10);
    AcDbExtents e;
    ASSERT_EQ(s.getGeomExtents(e), Acad::eOk);
    EXPECT_NEAR(e.maxPoint().x, 1, 1e-9);
    EXPECT_NEAR(e.minPoint().x, 0, 1e-9);
}

// A spline with several knot spans and a repeated inner knot.
AcDbSpline wavy() {
    std::vector<AcGePoint3d> ctrl = {{0, 0, 0},  {2, 5, 0}, {4, -3, 0}, {6, 6, 0},
                                     {8, -2, 0}, {9, 3, 0}, {12, 0, 0}};
    return AcDbSpline(3, false, false, false, ctrl, {0, 0, 0, 0, 1, 2, 2, 3, 3, 3, 3}, {});
}

TEST(Spline, LengthAndDistancesMatchSampling) {
    AcDbSpline s = wavy();
    double end, length;
    s.getEndParam(end);
    s.getLength(length);
    const int n = 60000;
    double sampled = 0;
    AcGePoint3d prev;
    s.getStartPoint(prev);
    double half = 0, halfParam = -1;
    for (int i = 1; i <= n; ++i) {
        AcGePoint3d p;
        s.getPointAtParam(end * i / n, p);
        sampled += p.distanceTo(prev);
        if (halfParam < 0 && i == n / 3) half = sampled, halfParam = end * i / n;
        prev = p;
    }
    EXPECT_NEAR(length, sampled, 1e-6 * length);
    double d;
    ASSERT_EQ(s.getDistAtParam(halfParam, d), Acad::eOk);
    EXPECT_NEAR(d, half, 1e-6 * length);
    double param;
    ASSERT_EQ(s.getParamAtDist(d, param), Acad::eOk);
    EXPECT_NEAR(param, halfParam, 1e-9);
}

TEST(Spline, ClosestPointIsNoFartherThanAnySample) {
    AcDbSpline s = wavy();
    double end;
    s.getEndParam(end);
    std::vector<AcGePoint3d> pts;
    for (int i = 0; i <= 30000; ++i) {
        AcGePoint3d p;
        s.getPointAtParam(end * i / 30000, p);
        pts.push_back(p);
    }
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-3, 14);
    for (int k = 0; k < 50; ++k) {
        AcGePoint3d q(u(rng), u(rng) / 2, u(rng) / 4);
        AcGePoint3d c;
        ASSERT_EQ(s.getClosestPointTo(q, c), Acad::eOk);
        double best = 1e300;
        for (const AcGePoint3d& p : pts)
            best = std::min(best, p.distanceTo(q));
        EXPECT_LE(c.distanceTo(q), best + 1e-9) << k;
        double param;
        EXPECT_EQ(s.getParamAtPoint(c, param), Acad::eOk);
    }
}

TEST(Spline, ExtentsAreTight) {
    AcDbSpline s = wavy();
    AcDbExtents e;
    ASSERT_EQ(s.getGeomExtents(e), Acad::eOk);
    double end;
    s.getEndParam(end);
    double minY = 1e300, maxY = -1e300;
    for (int i = 0; i <= 20000; ++i) {
        AcGePoint3d p;
        s.getPointAtParam(end * i / 20000, p);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    EXPECT_NEAR(e.minPoint().y, minY, 1e-6);
    EXPECT_NEAR(e.maxPoint().y, maxY, 1e-6);
    EXPECT_NEAR(e.minPoint().x, 0, 1e-9);
    EXPECT_NEAR(e.maxPoint().x, 12, 1e-9);
}

TEST(Spline, FitPointsLieOnTheCurve) {
    std::vector<AcGePoint3d> fit = {{0, 0, 0}, {3, 4, 0}, {7, 2, 0}, {9, 6, 1}, {12, 5, 0}};
    for (bool tangents : {false, true}) {
        AcDbSpline s = tangents ? AcDbSpline(fit, AcGeVector3d(0, 1, 0), AcGeVector3d(1, 0, 0))
                                : AcDbSpline(fit);
        ASSERT_FALSE(s.isNull()) << s.nurbsError();
        for (const AcGePoint3d& p : fit) {
            AcGePoint3d c;
            s.getClosestPointTo(p, c);
            EXPECT_LT(c.distanceTo(p), 1e-9) << tangents;
        }
        if (!tangents) continue;
        double end;
        s.getEndParam(end);
        AcGeVector3d d0, d1;
        s.getFirstDeriv(0, d0);
        s.getFirstDeriv(end, d1);
        EXPECT_LT(d0.normal().crossProduct(AcGeVector3d(0, 1, 0)).length(), 1e-9);
        EXPECT_GT(d0.y, 0);
        EXPECT_LT(d1.normal().crossProduct(AcGeVector3d(1, 0, 0)).length(), 1e-9);
    }
}

TEST(Spline, BadDataGivesNoCurveAndAReason) {
    AcDbSpline s;
    EXPECT_TRUE(s.isNull());
    EXPECT_FALSE(s.nurbsError().empty());
    AcGePoint3d p;
    EXPECT_EQ(s.getStartPoint(p), Acad::eDegenerateGeometry);
    // Too few knots, decreasing knots, a zero weight: refused, nothing changed.
    AcDbSpline b = bezier(kCtrl);
    EXPECT_EQ(b.setNurbsData(3, false, false, false, kCtrl, {0, 0, 0, 1, 1, 1}, {}),
              Acad::eInvalidInput);
    EXPECT_EQ(b.setNurbsData(3, false, false, false, kCtrl, {0, 0, 0, 0, 1, 0.5, 1, 1}, {}),
              Acad::eInvalidInput);
    EXPECT_EQ(b.setNurbsData(3, true, false, false, kCtrl, {0, 0, 0, 0, 1, 1, 1, 1}, {1, 0, 1, 1}),
              Acad::eInvalidInput);
    EXPECT_EQ(b.numControlPoints(), 4);
    EXPECT_FALSE(b.isNull());
}

TEST(Spline, TransformMovesPointsOfTheCurveExactly) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int trial = 0; trial < 10; ++trial) {
        AcDbSpline s = wavy();
        AcGeMatrix3d m = AcGeMatrix3d::rotation(u(rng) * 3, AcGeVector3d(u(rng), u(rng), 1));
        m.preMultBy(AcGeMatrix3d::translation({u(rng), u(rng), u(rng)}));
        m.entry[0][1] += u(rng); // any affine map: splines take shears too
        std::vector<AcGePoint3d> before;
        for (double t = 0; t <= 3; t += 0.25) {
            AcGePoint3d p;
            s.getPointAtParam(t, p);
            before.push_back(m * p);
        }
        ASSERT_EQ(s.transformBy(m), Acad::eOk);
        size_t i = 0;
        for (double t = 0; t <= 3; t += 0.25, ++i) {
            AcGePoint3d p;
            s.getPointAtParam(t, p);
            EXPECT_LT(p.distanceTo(before[i]), 1e-9);
        }
    }
}

} // namespace
