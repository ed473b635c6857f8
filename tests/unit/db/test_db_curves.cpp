// Curve queries of the simple kinds checked against dense sampling (seeded random shapes):
// lengths, closest points, parameters at points and distances, derivatives, areas, extents,
// and transformations (mirrors reverse arcs; non-uniform scaling is refused).
#include "arx/db.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>

namespace {

constexpr int kSamples = 4000;

struct Sampled {
    std::vector<AcGePoint3d> points;
    double length = 0;
};

Sampled sample(const AcDbCurve& c) {
    double s = 0, e = 0;
    EXPECT_EQ(c.getStartParam(s), Acad::eOk);
    EXPECT_EQ(c.getEndParam(e), Acad::eOk);
    Sampled out;
    for (int i = 0; i <= kSamples; ++i) {
        AcGePoint3d p;
        EXPECT_EQ(c.getPointAtParam(s + (e - s) * i / kSamples, p), Acad::eOk);
        if (!out.points.empty()) out.length += p.distanceTo(out.points.back());
        out.points.push_back(p);
    }
    return out;
}

std::unique_ptr<AcDbCurve> randomArc(std::mt19937& rng) {
    std::uniform_real_distribution<double> u(-50, 50), r(0.5, 40), a(0, 2 * M_PI);
    return std::make_unique<AcDbArc>(AcGePoint3d(u(rng), u(rng), 0), r(rng), a(rng), a(rng));
}

std::unique_ptr<AcDbCurve> randomEllipse(std::mt19937& rng) {
    std::uniform_real_distribution<double> u(-50, 50), len(1, 40), ratio(0.05, 1), a(0, 2 * M_PI);
    double dir = a(rng), l = len(rng);
    AcGeVector3d major(l * std::cos(dir), l * std::sin(dir), 0);
    bool full = rng() % 4 == 0;
    double s = full ? 0 : a(rng), e = full ? 2 * M_PI : a(rng);
    return std::make_unique<AcDbEllipse>(AcGePoint3d(u(rng), u(rng), 0), AcGeVector3d::kZAxis,
                                         major, ratio(rng), s, e);
}

using Maker = std::function<std::unique_ptr<AcDbCurve>(std::mt19937&)>;

struct CurveCase {
    const char* name;
    Maker make;
};

class CurveQueries : public testing::TestWithParam<CurveCase> {};

TEST_P(CurveQueries, AgreeWithDenseSampling) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> far(-120, 120);
    for (int round = 0; round < 40; ++round) {
        std::unique_ptr<AcDbCurve> c = GetParam().make(rng);
        SCOPED_TRACE(round);
        Sampled s = sample(*c);
        double length = 0;
        ASSERT_EQ(c->getLength(length), Acad::eOk);
        EXPECT_NEAR(length, s.length, 1e-5 * length);
        // Ends.
        AcGePoint3d start, end;
        c->getStartPoint(start);
        c->getEndPoint(end);
        EXPECT_LT(start.distanceTo(s.points.front()), 1e-9);
        EXPECT_LT(end.distanceTo(s.points.back()), 1e-9);
        // Closest points are closer than any sample (and lie on the curve).
        for (int q = 0; q < 10; ++q) {
            AcGePoint3d given(far(rng), far(rng), 0), closest;
            ASSERT_EQ(c->getClosestPointTo(given, closest), Acad::eOk);
            double best = 1e300;
            for (const AcGePoint3d& p : s.points)
                best = std::min(best, p.distanceTo(given));
            EXPECT_LE(closest.distanceTo(given), best + 1e-9);
            double param = 0;
            EXPECT_EQ(c->getParamAtPoint(closest, param), Acad::eOk);
        }
        // Parameter, distance and point agree with each other.
        double ps = 0, pe = 0;
        c->getStartParam(ps);
        c->getEndParam(pe);
        for (int k = 1; k < 8; ++k) {
            double t = ps + (pe - ps) * k / 8, dist = 0, back = 0, atPoint = 0;
            AcGePoint3d p, q;
            ASSERT_EQ(c->getPointAtParam(t, p), Acad::eOk);
            ASSERT_EQ(c->getDistAtParam(t, dist), Acad::eOk);
            ASSERT_EQ(c->getParamAtDist(dist, back), Acad::eOk);
            EXPECT_NEAR(back, t, 1e-7);
            ASSERT_EQ(c->getParamAtPoint(p, atPoint), Acad::eOk);
            EXPECT_NEAR(atPoint, t, 1e-7);
            ASSERT_EQ(c->getPointAtDist(dist, q), Acad::eOk);
            EXPECT_LT(p.distanceTo(q), 1e-7);
            // The first derivative against a central difference.
            AcGeVector3d d;
            double h = 1e-6;
            AcGePoint3d a, b;
            c->getPointAtParam(t - h, a);
            c->getPointAtParam(t + h, b);
            ASSERT_EQ(c->getFirstDeriv(t, d), Acad::eOk);
            EXPECT_LT((d - (b - a) / (2 * h)).length(), 1e-5 * std::max(1.0, d.length()));
        }
        // Extents hold every sample and touch the sampled box.
        AcDbExtents ext;
        ASSERT_EQ(c->getGeomExtents(ext), Acad::eOk);
        AcDbExtents box;
        for (const AcGePoint3d& p : s.points)
            box.addPoint(p);
        for (int i = 0; i < 2; ++i) {
            EXPECT_LE(ext.minPoint()[i], box.minPoint()[i] + 1e-9);
            EXPECT_GE(ext.maxPoint()[i], box.maxPoint()[i] - 1e-9);
            EXPECT_NEAR(ext.minPoint()[i], box.minPoint()[i], 1e-3);
            EXPECT_NEAR(ext.maxPoint()[i], box.maxPoint()[i], 1e-3);
        }
        // The area between the curve and its chord (all of it when closed).
        double area = 0, shoelace = 0;
        ASSERT_EQ(c->getArea(area), Acad::eOk);
        for (size_t i = 0; i < s.points.size(); ++i) {
            const AcGePoint3d& p = s.points[i];
            const AcGePoint3d& n = s.points[(i + 1) % s.points.size()];
            shoelace += p.x * n.y - n.x * p.y;
        }
        EXPECT_NEAR(area, std::fabs(shoelace) / 2, 1e-4 * std::max(1.0, area));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, CurveQueries,
                         testing::Values(CurveCase{"arc", randomArc},
                                         CurveCase{"ellipse", randomEllipse}),
                         [](const auto& i) { return std::string(i.param.name); });

// Every sample of the transformed curve lies on the image of the original, ends included.
void expectImage(const AcDbCurve& before, const AcDbCurve& after, const AcGeMatrix3d& m,
                 bool reversed) {
    Sampled a = sample(before), b = sample(after);
    AcGePoint3d s0 = m.apply(a.points.front()), e0 = m.apply(a.points.back());
    EXPECT_LT((reversed ? e0 : s0).distanceTo(b.points.front()), 1e-8);
    EXPECT_LT((reversed ? s0 : e0).distanceTo(b.points.back()), 1e-8);
    for (size_t i = 0; i < a.points.size(); i += 97) {
        AcGePoint3d image = m.apply(a.points[i]), closest;
        after.getClosestPointTo(image, closest);
        EXPECT_LT(closest.distanceTo(image), 1e-8);
    }
}

TEST(CurveTransform, MirrorsReverseArcsAndEllipsesOthersKeepTheirDirection) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> u(-30, 30), a(0, 6);
    for (int round = 0; round < 30; ++round) {
        AcGeMatrix3d moves[] = {
            AcGeMatrix3d::mirroring({u(rng), u(rng), 0}, {u(rng), u(rng), 0}),
            AcGeMatrix3d::rotation(a(rng), AcGeVector3d::kZAxis, {u(rng), u(rng), 0}),
            AcGeMatrix3d::scaling(0.5 + a(rng), {u(rng), u(rng), 0}),
            AcGeMatrix3d::translation({u(rng), u(rng), 0})};
        for (const AcGeMatrix3d& m : moves) {
            for (auto& make : {Maker(randomArc), Maker(randomEllipse)}) {
                std::unique_ptr<AcDbCurve> c = make(rng);
                std::unique_ptr<AcDbObject> copy = c->cloneState();
                ASSERT_EQ(c->transformBy(m), Acad::eOk);
                expectImage(*static_cast<AcDbCurve*>(copy.get()), *c, m, m.isMirror());
            }
        }
    }
}

TEST(CurveTransform, NonUniformScalingIsRefusedAndChangesNothing) {
    AcGeMatrix3d stretch;
    stretch.entry[0][0] = 2;
    AcDbCircle circle({1, 2, 0}, AcGeVector3d::kZAxis, 3);
    AcDbArc arc({1, 2, 0}, 3, 0, 1);
    AcDbEllipse ellipse({0, 0, 0}, AcGeVector3d::kZAxis, {4, 0, 0}, 0.5);
    for (AcDbCurve* c : std::initializer_list<AcDbCurve*>{&circle, &arc, &ellipse}) {
        AcGePoint3d before, after;
        c->getStartPoint(before);
        EXPECT_EQ(c->transformBy(stretch), Acad::eCannotScaleNonUniformly) << c->isA()->name();
        c->getStartPoint(after);
        EXPECT_EQ(before, after);
    }
    AcDbLine line({0, 0, 0}, {1, 1, 0});
    EXPECT_EQ(line.transformBy(stretch), Acad::eOk);
    EXPECT_EQ(line.endPoint(), AcGePoint3d(2, 1, 0));
}

TEST(CurveQueriesEdges, OffCurvePointsAndParametersOutOfRange) {
    AcDbArc arc({0, 0, 0}, 10, 0, M_PI / 2);
    double param = 0;
    AcGePoint3d p;
    EXPECT_EQ(arc.getParamAtPoint({-10, 0, 0}, param), Acad::eInvalidInput);
    EXPECT_EQ(arc.getParamAtPoint({5, 5, 0}, param), Acad::eInvalidInput);
    EXPECT_EQ(arc.getPointAtParam(M_PI, p), Acad::eInvalidInput);
    EXPECT_EQ(arc.getParamAtPoint({0, 10, 0}, param), Acad::eOk);
    EXPECT_NEAR(param, M_PI / 2, 1e-12);
    // Past the ends the closest point is an end, unless extended.
    AcGePoint3d closest;
    arc.getClosestPointTo({-1, -20, 0}, closest);
    EXPECT_EQ(closest, AcGePoint3d(10, 0, 0));
    arc.getClosestPointTo({-1, -20, 0}, closest, true);
    EXPECT_NEAR(closest.distanceTo({0, 0, 0}), 10, 1e-12);
    EXPECT_LT(closest.y, 0);
    // An arc crossing angle 0 keeps increasing parameters.
    AcDbArc across({0, 0, 0}, 1, 3 * M_PI / 2, M_PI / 2);
    double s = 0, e = 0;
    across.getStartParam(s);
    across.getEndParam(e);
    EXPECT_NEAR(e - s, M_PI, 1e-12);
    EXPECT_EQ(across.getParamAtPoint({1, 0, 0}, param), Acad::eOk);
    EXPECT_NEAR(param, 2 * M_PI, 1e-12);
}

} // namespace
