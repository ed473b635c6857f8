// Geometry value types: matrix invariants on seeded random transformations, the DXF
// arbitrary-axis frame, vectors, points and extents.
#include "arx/ge.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr double kTight = 1e-9; // room for the rounding of a few dozen operations

class Random {
public:
    explicit Random(unsigned seed) : mRng(seed) {}
    double real(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(mRng);
    }
    AcGeVector3d vector(double r = 10) { return {real(-r, r), real(-r, r), real(-r, r)}; }
    AcGePoint3d point(double r = 100) { return AcGePoint3d::kOrigin + vector(r); }
    AcGeVector3d direction() {
        for (;;) {
            AcGeVector3d v = vector(1);
            if (v.length() > 0.1) return v.normal();
        }
    }
    // A product of random rotations, scalings, translations and mirrors.
    AcGeMatrix3d transform() {
        AcGeMatrix3d m;
        for (int i = 0; i < 4; ++i) {
            switch (static_cast<int>(real(0, 4))) {
            case 0:
                m.preMultBy(AcGeMatrix3d::rotation(real(-7, 7), direction(), point()));
                break;
            case 1:
                m.preMultBy(AcGeMatrix3d::scaling(real(0.1, 10), point()));
                break;
            case 2:
                m.preMultBy(AcGeMatrix3d::translation(vector(1000)));
                break;
            default:
                m.preMultBy(AcGeMatrix3d::mirroring(point(), point()));
                break;
            }
        }
        return m;
    }

private:
    std::mt19937_64 mRng;
};

void expectNear(const AcGePoint3d& a, const AcGePoint3d& b, double tol = kTight) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

void expectNear(const AcGeVector3d& a, const AcGeVector3d& b, double tol = kTight) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

void expectIdentity(const AcGeMatrix3d& m, double tol) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(m.entry[i][j], i == j ? 1.0 : 0.0, tol) << i << j;
    }
}

AcGeVector3d column(const AcGeMatrix3d& m, int c) {
    return {m.entry[0][c], m.entry[1][c], m.entry[2][c]};
}

} // namespace

TEST(Matrix, InverseOfRandomTransformsGivesIdentity) {
    Random rnd(101);
    for (int i = 0; i < 300; ++i) {
        AcGeMatrix3d m = rnd.transform();
        ASSERT_FALSE(m.isSingular());
        AcGeMatrix3d inv = m.inverse();
        double tol = 1e-9 * (1 + std::fabs(m.entry[0][3]) + std::fabs(m.entry[1][3]) +
                             std::fabs(m.entry[2][3]));
        expectIdentity(inv * m, tol);
        expectIdentity(m * inv, tol);
        AcGePoint3d p = rnd.point();
        expectNear(inv * (m * p), p, 1e-6);
    }
}

TEST(Matrix, ProductOrderAndDeterminant) {
    AcGeMatrix3d t = AcGeMatrix3d::translation({10, 0, 0});
    AcGeMatrix3d r = AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis);
    expectNear((t * r) * AcGePoint3d(1, 0, 0), {10, 1, 0}); // rotate first, then move
    expectNear((r * t) * AcGePoint3d(1, 0, 0), {0, 11, 0});
    AcGeMatrix3d m = t;
    m.postMultBy(r);
    EXPECT_TRUE(m.isEqualTo(t * r));
    m = t;
    m.preMultBy(r);
    EXPECT_TRUE(m.isEqualTo(r * t));

    Random rnd(5);
    for (int i = 0; i < 100; ++i) {
        AcGeMatrix3d a = rnd.transform(), b = rnd.transform();
        double scale = std::fabs(a.det() * b.det()) + 1;
        EXPECT_NEAR((a * b).det(), a.det() * b.det(), 1e-9 * scale);
        EXPECT_NEAR(a.transpose().det(), a.det(), 1e-9 * (std::fabs(a.det()) + 1));
    }
    EXPECT_DOUBLE_EQ(AcGeMatrix3d::scaling(3).det(), 27);
    EXPECT_DOUBLE_EQ(AcGeMatrix3d::scaling(3).scale(), 3);
}

TEST(Matrix, ProjectiveDeterminantAndPoints) {
    AcGeMatrix3d m;
    m.entry[3][2] = 1; // w = z + 1
    EXPECT_DOUBLE_EQ(m.det(), 1);
    expectNear(m * AcGePoint3d(2, 4, 1), {1, 2, 0.5});
    AcGeMatrix3d inv = m.inverse();
    expectIdentity(inv * m, 1e-12);
}

TEST(Matrix, SingularMatricesAreFoundWhateverTheScale) {
    EXPECT_TRUE(AcGeMatrix3d::scaling(0).isSingular());
    AcGeMatrix3d flat;
    flat.entry[2][2] = 0; // projection on XY
    EXPECT_TRUE(flat.isSingular());
    EXPECT_TRUE(flat.inverse().isEqualTo(AcGeMatrix3d::kIdentity));
    AcGeMatrix3d parallel;
    parallel.entry[0][1] = 1; // y column = x column + y: fine
    EXPECT_FALSE(parallel.isSingular());
    parallel.entry[1][1] = 0; // y column = x column
    EXPECT_TRUE(parallel.isSingular());
    EXPECT_FALSE(AcGeMatrix3d::scaling(1e-5).isSingular()); // tiny but regular
    EXPECT_FALSE(AcGeMatrix3d::scaling(1e5).isSingular());
}

TEST(Matrix, RotationKeepsLengthsAnglesAndItsCenter) {
    Random rnd(17);
    for (int i = 0; i < 200; ++i) {
        AcGePoint3d c = rnd.point();
        AcGeVector3d axis = rnd.vector();
        double angle = rnd.real(-10, 10);
        AcGeMatrix3d r = AcGeMatrix3d::rotation(angle, axis, c);
        AcGePoint3d p = rnd.point(), q = rnd.point();
        EXPECT_NEAR((r * p).distanceTo(r * q), p.distanceTo(q), kTight * 100);
        expectNear(r * c, c, 1e-9);
        expectNear(r * (c + axis), c + axis, 1e-9); // points on the axis stay
        EXPECT_NEAR(r.det(), 1, kTight);
        AcGeVector3d u = rnd.vector(), v = rnd.vector();
        EXPECT_NEAR((r * u).dotProduct(r * v), u.dotProduct(v), 1e-9);
        AcGeVector3d w = u;
        w.rotateBy(angle, axis);
        expectNear(w, r * u);
    }
    // Counter-clockwise seen from the tip of the axis.
    expectNear(AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis) * AcGeVector3d::kXAxis,
               AcGeVector3d::kYAxis);
    AcGePoint3d p(2, 1, 0);
    p.rotateBy(M_PI, AcGeVector3d::kZAxis, AcGePoint3d(1, 1, 0));
    expectNear(p, {0, 1, 0});
}

TEST(Matrix, MirrorTwiceIsIdentityAndKeepsTheLine) {
    Random rnd(23);
    for (int i = 0; i < 200; ++i) {
        AcGePoint3d a = rnd.point(), b = rnd.point();
        AcGeMatrix3d m = AcGeMatrix3d::mirroring(a, b);
        expectIdentity(m * m, 1e-9);
        EXPECT_NEAR(m.det(), -1, kTight);
        EXPECT_TRUE(m.isMirror());
        double t = rnd.real(-2, 2);
        AcGePoint3d onLine(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), rnd.real(-5, 5));
        expectNear(m * onLine, onLine, 1e-9);
        AcGePoint3d p = rnd.point();
        AcGePoint3d image = m * p;
        EXPECT_NEAR(image.z, p.z, kTight); // the mirror line lies in XY: z stays
        AcGePoint3d mid(0.5 * (p.x + image.x), 0.5 * (p.y + image.y), p.z);
        AcGeVector2d dir = (b - a).convert2d();
        EXPECT_NEAR(((image - p).convert2d()).dotProduct(dir), 0, 1e-8); // across the line
        EXPECT_NEAR((mid - a).convert2d().crossProduct(dir.normal()), 0, 1e-8);
    }
    expectNear(AcGeMatrix3d::mirroring({0, 0, 0}, {1, 1, 0}) * AcGePoint3d(3, 1, 2), {1, 3, 2});
}

TEST(Matrix, ScalingAndTranslation) {
    AcGeMatrix3d s = AcGeMatrix3d::scaling(2, {1, 1, 1});
    expectNear(s * AcGePoint3d(1, 1, 1), {1, 1, 1});
    expectNear(s * AcGePoint3d(2, 3, 4), {3, 5, 7});
    AcGeMatrix3d t = AcGeMatrix3d::translation({1, 2, 3});
    expectNear(t * AcGePoint3d(1, 1, 1), {2, 3, 4});
    AcGeVector3d v(1, 0, 0);
    v.transformBy(t); // vectors do not move
    expectNear(v, {1, 0, 0});
    AcGePoint3d p(1, 0, 0);
    p.transformBy(t);
    expectNear(p, {2, 2, 3});
    EXPECT_FALSE(t.isEqualTo(AcGeMatrix3d::translation({1, 2, 3 + 1e-6})));
    EXPECT_TRUE(t.isEqualTo(AcGeMatrix3d::translation({1, 2, 3 + 1e-12})));
}

TEST(Matrix, AlignCoordSysMapsOneFrameOntoTheOther) {
    Random rnd(31);
    for (int i = 0; i < 100; ++i) {
        AcGePoint3d o1 = rnd.point(), o2 = rnd.point();
        AcGeVector3d x1 = rnd.vector(), y1 = rnd.vector(), z1 = x1.crossProduct(y1);
        AcGeVector3d x2 = rnd.vector(), y2 = rnd.vector(), z2 = rnd.vector();
        AcGeMatrix3d m;
        m.setToAlignCoordSys(o1, x1, y1, z1, o2, x2, y2, z2);
        double a = rnd.real(-3, 3), b = rnd.real(-3, 3), c = rnd.real(-3, 3);
        expectNear(m * (o1 + x1 * a + y1 * b + z1 * c), o2 + x2 * a + y2 * b + z2 * c, 1e-6);
    }
}

TEST(ArbitraryAxis, FrameIsOrthonormalRightHandedAndAroundTheNormal) {
    Random rnd(43);
    for (int i = 0; i < 500; ++i) {
        AcGeVector3d n = rnd.direction();
        if (i % 5 == 0)
            n = AcGeVector3d(rnd.real(-0.015, 0.015), rnd.real(-0.015, 0.015),
                             i % 10 == 0 ? 1 : -1)
                    .normal(); // the near-Z branch
        AcGeMatrix3d f = AcGeMatrix3d::planeToWorld(n * rnd.real(0.5, 50));
        AcGeVector3d ax = column(f, 0), ay = column(f, 1), az = column(f, 2);
        EXPECT_NEAR(ax.length(), 1, kTight);
        EXPECT_NEAR(ay.length(), 1, kTight);
        EXPECT_NEAR(ax.dotProduct(ay), 0, kTight);
        EXPECT_NEAR(ax.dotProduct(az), 0, kTight);
        expectNear(az, n);
        EXPECT_NEAR(f.det(), 1, kTight);
        expectIdentity(AcGeMatrix3d::worldToPlane(n) * f, kTight);
        AcGeVector3d perp = n.perpVector();
        EXPECT_NEAR(perp.dotProduct(n), 0, kTight);
        EXPECT_NEAR(perp.length(), 1, kTight);
    }
}

TEST(ArbitraryAxis, KnownFrames) {
    expectIdentity(AcGeMatrix3d::planeToWorld(AcGeVector3d::kZAxis), 0);
    expectIdentity(AcGeMatrix3d::planeToWorld(AcGeVector3d()), 0); // no normal: world Z
    // Extrusion (0,0,-1): the object X axis points to world -X.
    AcGeMatrix3d down = AcGeMatrix3d::planeToWorld({0, 0, -1});
    expectNear(column(down, 0), {-1, 0, 0});
    expectNear(column(down, 1), {0, 1, 0});
    // Normal along world X takes Wz x N for X: (0,1,0); Y = N x X = (0,0,1).
    AcGeMatrix3d side = AcGeMatrix3d::planeToWorld({1, 0, 0});
    expectNear(column(side, 0), {0, 1, 0});
    expectNear(column(side, 1), {0, 0, 1});
    // Just inside and just outside the 1/64 threshold pick different world axes.
    AcGeVector3d inside = AcGeVector3d(0.0155, 0, 1).normal();
    AcGeVector3d outside = AcGeVector3d(0.0160, 0, 1).normal();
    EXPECT_GT(column(AcGeMatrix3d::planeToWorld(inside), 0).x, 0.99);
    EXPECT_GT(column(AcGeMatrix3d::planeToWorld(outside), 0).y, 0.99);
}

TEST(Vectors, ConstantsAndPerpendicular) {
    EXPECT_TRUE(AcGeVector3d::kIdentity.isZeroLength());
    EXPECT_EQ(AcGeVector3d::kXAxis.crossProduct(AcGeVector3d::kYAxis), AcGeVector3d::kZAxis);
    EXPECT_EQ(AcGePoint3d::kOrigin, AcGePoint3d(0, 0, 0));
    EXPECT_EQ(AcGePoint2d::kOrigin.distanceTo(AcGePoint2d(3, 4)), 5);
    EXPECT_EQ(AcGeVector2d::kXAxis.crossProduct(AcGeVector2d::kYAxis), 1);
    EXPECT_TRUE(AcGeVector3d().perpVector().isZeroLength());
    EXPECT_DOUBLE_EQ(AcGeContext::gTol.equalPoint(), 1e-10);
    EXPECT_TRUE(AcGeMatrix3d::kIdentity.isEqualTo(AcGeMatrix3d()));
}

TEST(Extents, GrowFromEmpty) {
    AcDbExtents e;
    EXPECT_TRUE(e.isEmpty());
    e.addExt(AcDbExtents()); // adding nothing keeps it empty
    EXPECT_TRUE(e.isEmpty());
    e.addPoint({1, 2, 3});
    EXPECT_FALSE(e.isEmpty());
    expectNear(e.minPoint(), {1, 2, 3});
    expectNear(e.maxPoint(), {1, 2, 3});
    e.addPoint({-1, 5, 0});
    e.addExt(AcDbExtents({0, 0, -4}, {2, 1, 1}));
    expectNear(e.minPoint(), {-1, 0, -4});
    expectNear(e.maxPoint(), {2, 5, 3});
}
