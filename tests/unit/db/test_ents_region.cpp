// REGION: loops checked and turned, area, perimeter and section properties in a frame,
// transformations (seeded random similarities keep the area, scaling multiplies it by the
// square), explosion into curves, extents, and the modeler data: the character transform of
// its lines, our own save-file text read back, and save-file text of other forms.
#include "arx/dbregion.h"
#include "core/resbuf.h"
#include "db/database_impl.h"
#include "db/ents/region_sat.h"
#include "test_ents_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace zel::test;
namespace sat = zel::db::sat;

namespace {

ZelRegionLoop rectLoop(double x0, double y0, double x1, double y1) {
    AcGePoint2d a(x0, y0), b(x1, y0), c(x1, y1), d(x0, y1);
    return {{ZelRegionEdge::line(a, b), ZelRegionEdge::line(b, c), ZelRegionEdge::line(c, d),
             ZelRegionEdge::line(d, a)}};
}

ZelRegionLoop circleLoop(double cx, double cy, double r) {
    return {{ZelRegionEdge::arc(AcGePoint2d(cx, cy), r, 0, 2 * M_PI)}};
}

// Two half circles of radius r about (x0, y) and (x1, y) joined by lines.
ZelRegionLoop slotLoop(double x0, double x1, double y, double r) {
    return {{ZelRegionEdge::line(AcGePoint2d(x0, y - r), AcGePoint2d(x1, y - r)),
             ZelRegionEdge::arc(AcGePoint2d(x1, y), r, -M_PI / 2, M_PI),
             ZelRegionEdge::line(AcGePoint2d(x1, y + r), AcGePoint2d(x0, y + r)),
             ZelRegionEdge::arc(AcGePoint2d(x0, y), r, M_PI / 2, M_PI)}};
}

ZelRegionLoop reversed(const ZelRegionLoop& l) {
    ZelRegionLoop out;
    for (auto it = l.edges.rbegin(); it != l.edges.rend(); ++it)
        out.edges.push_back(it->reversed());
    return out;
}

// A figure with every kind of piece: a base line, a quarter ellipse up the right side (centre
// (60, 0), major axis 20 along x, ratio 0.5), a top line, and a half circle down the left
// side bulging outwards.
ZelRegionLoop mixedLoop() {
    ZelRegionLoop l;
    l.edges.push_back(ZelRegionEdge::line(AcGePoint2d(0, 0), AcGePoint2d(80, 0)));
    l.edges.push_back(
        ZelRegionEdge::ellipticArc(AcGePoint2d(60, 0), AcGeVector2d(20, 0), 0.5, 0, M_PI / 2));
    l.edges.push_back(ZelRegionEdge::line(AcGePoint2d(60, 10), AcGePoint2d(0, 10)));
    l.edges.push_back(ZelRegionEdge::arc(AcGePoint2d(0, 5), 5, M_PI / 2, M_PI));
    return l;
}
// Its area: rectangle 60 x 10, a quarter of the ellipse (pi 20 10 / 4), a half circle of 5.
const double kMixedArea = 600 + M_PI * 20 * 10 / 4 + M_PI * 25 / 2;

std::unique_ptr<AcDbRegion> region(std::vector<ZelRegionLoop> loops,
                                   AcGeVector3d normal = AcGeVector3d::kZAxis, double z = 0) {
    auto r = std::make_unique<AcDbRegion>();
    EXPECT_EQ(r->setLoops(normal, z, std::move(loops)), Acad::eOk);
    return r;
}

double areaOf(const AcDbRegion& r) {
    double a = -1;
    EXPECT_EQ(r.getArea(a), Acad::eOk);
    return a;
}
double perimeterOf(const AcDbRegion& r) {
    double p = -1;
    EXPECT_EQ(r.getPerimeter(p), Acad::eOk);
    return p;
}

// ---- loops --------------------------------------------------------------------------------------

TEST(Region, LoopsAreTurnedSoThatHolesRunClockwise) {
    // The outer loop given clockwise and the hole counter-clockwise.
    auto r = region({reversed(rectLoop(0, 0, 100, 60)), circleLoop(30, 30, 10)});
    EXPECT_TRUE(r->isOuterLoop(0));
    EXPECT_FALSE(r->isOuterLoop(1));
    EXPECT_NEAR(areaOf(*r), 6000 - M_PI * 100, 1e-9);
    EXPECT_NEAR(perimeterOf(*r), 320 + 20 * M_PI, 1e-9);
    // An island in the hole is material again.
    auto nested = region({rectLoop(0, 0, 100, 60), circleLoop(30, 30, 10), circleLoop(30, 30, 4)});
    EXPECT_TRUE(nested->isOuterLoop(2));
    EXPECT_NEAR(areaOf(*nested), 6000 - M_PI * 100 + M_PI * 16, 1e-9);
}

TEST(Region, UnusableLoopsAreRefusedAndChangeNothing) {
    auto r = region({rectLoop(0, 0, 10, 10)});
    ZelRegionLoop open = rectLoop(0, 0, 5, 5);
    open.edges.pop_back();
    ZelRegionLoop flat{{ZelRegionEdge::line(AcGePoint2d(0, 0), AcGePoint2d(5, 0)),
                        ZelRegionEdge::line(AcGePoint2d(5, 0), AcGePoint2d(0, 0))}};
    ZelRegionLoop noSweep{{ZelRegionEdge::arc(AcGePoint2d(0, 0), 5, 0, 0)}};
    const std::vector<std::vector<ZelRegionLoop>> bad = {
        {}, {open}, {flat}, {noSweep}, {ZelRegionLoop{}}};
    for (const auto& loops : bad)
        EXPECT_EQ(r->setLoops(AcGeVector3d::kZAxis, 0, loops), Acad::eInvalidInput);
    EXPECT_EQ(r->setLoops(AcGeVector3d(0, 0, 0), 0, {rectLoop(0, 0, 1, 1)}), Acad::eInvalidInput);
    EXPECT_NEAR(areaOf(*r), 100, 1e-12);
}

TEST(Region, MixedPiecesGiveTheirExactArea) {
    auto r = region({mixedLoop()});
    EXPECT_NEAR(areaOf(*r), kMixedArea, 1e-9);
}

// ---- section properties
// --------------------------------------------------------------------------

// A 100 x 60 rectangle with a hole of radius 10 at (30, 30), measured in frames placed
// differently: the values follow from the formulas in each frame.
TEST(Region, AreaPropertiesInFramesOfThePlane) {
    auto r = region({rectLoop(0, 0, 100, 60), circleLoop(30, 30, 10)});
    double hole = M_PI * 100, area = 6000 - hole;
    double cx = (6000 * 50 - hole * 30) / area, cy = 30;
    double holeI = M_PI * 1e4 / 4;
    double icx = 100 * 60.0 * 60 * 60 / 12 - holeI; // about the axis parallel to x
    double icy =
        60 * 1e6 / 12 + 6000 * (50 - cx) * (50 - cx) - (holeI + hole * (30 - cx) * (30 - cx));
    struct Frame {
        AcGePoint3d origin;
        AcGeVector3d x, y;
        double cx, cy, icx, icy; // centroid and centroid moments in the frame
    };
    const Frame frames[] = {
        {AcGePoint3d(0, 0, 0), AcGeVector3d::kXAxis, AcGeVector3d::kYAxis, cx, cy, icx, icy},
        {AcGePoint3d(10, -5, 0), AcGeVector3d::kXAxis, AcGeVector3d::kYAxis, cx - 10, cy + 5, icx,
         icy},
        // Turned a quarter: x along world y, y along world -x.
        {AcGePoint3d(0, 0, 0), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis, cy, -cx, icy, icx},
        // Mirrored: y along world -y (a left-handed frame of the plane).
        {AcGePoint3d(0, 0, 0), AcGeVector3d::kXAxis, -AcGeVector3d::kYAxis, cx, -cy, icx, icy},
    };
    for (const Frame& f : frames) {
        ZelRegionAreaProps p;
        ASSERT_EQ(r->getAreaProp(f.origin, f.x, f.y, p), Acad::eOk);
        EXPECT_NEAR(p.area, area, 1e-8);
        EXPECT_NEAR(p.perimeter, 320 + 20 * M_PI, 1e-9);
        EXPECT_NEAR(p.centroid.x, f.cx, 1e-9);
        EXPECT_NEAR(p.centroid.y, f.cy, 1e-9);
        EXPECT_NEAR(p.centroidMoments[0], f.icx, 1e-6);
        EXPECT_NEAR(p.centroidMoments[1], f.icy, 1e-6);
        EXPECT_NEAR(p.centroidProduct, 0, 1e-6);
        EXPECT_NEAR(p.momInertia[0], f.icx + area * f.cy * f.cy, 1e-5);
        EXPECT_NEAR(p.momInertia[1], f.icy + area * f.cx * f.cx, 1e-5);
        EXPECT_NEAR(p.prodInertia, area * f.cx * f.cy, 1e-5);
        EXPECT_NEAR(p.prinMoments[0], std::max(f.icx, f.icy), 1e-6);
        EXPECT_NEAR(p.prinMoments[1], std::min(f.icx, f.icy), 1e-6);
        EXPECT_NEAR(p.radiiGyration[0], std::sqrt(p.momInertia[0] / area), 1e-9);
    }
    ZelRegionAreaProps p;
    EXPECT_EQ(r->getAreaProp(AcGePoint3d(), AcGeVector3d::kXAxis, AcGeVector3d::kZAxis, p),
              Acad::eInvalidInput);
    EXPECT_EQ(r->getAreaProp(AcGePoint3d(), AcGeVector3d::kXAxis, AcGeVector3d(1, 1, 0), p),
              Acad::eInvalidInput);
}

// ---- transformations -------------------------------------------------------------------------

AcGeMatrix3d randomMotion(std::mt19937& rng, bool mirror) {
    std::uniform_real_distribution<double> u(-1, 1);
    AcGeMatrix3d m = AcGeMatrix3d::rotation(u(rng) * M_PI, AcGeVector3d::kZAxis);
    m.preMultBy(AcGeMatrix3d::translation({100 * u(rng), 100 * u(rng), 0}));
    if (mirror) m.preMultBy(AcGeMatrix3d::mirroring({u(rng), u(rng), 0}, {u(rng), 2, 0}));
    return m;
}

AcGePoint3d worldCentroid(const AcDbRegion& r) {
    ZelRegionAreaProps p;
    EXPECT_EQ(r.getAreaProp(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis, AcGeVector3d::kYAxis, p),
              Acad::eOk);
    return AcGePoint3d(p.centroid.x, p.centroid.y, 0);
}

TEST(Region, RandomMotionsKeepAreaAndMoveTheCentroid) {
    std::mt19937 rng(7321);
    std::uniform_real_distribution<double> scale(0.2, 5);
    for (int trial = 0; trial < 60; ++trial) {
        auto r = region({mixedLoop(), circleLoop(40, 5, 3)});
        double area = areaOf(*r), perimeter = perimeterOf(*r);
        AcGePoint3d c = worldCentroid(*r);
        AcGeMatrix3d m = randomMotion(rng, trial % 2 == 1);
        double s = trial % 3 == 0 ? scale(rng) : 1;
        m.preMultBy(AcGeMatrix3d::scaling(s, AcGePoint3d(3, 4, 0)));
        ASSERT_EQ(r->transformBy(m), Acad::eOk);
        EXPECT_NEAR(areaOf(*r), area * s * s, 1e-9 * area * s * s) << trial;
        EXPECT_NEAR(perimeterOf(*r), perimeter * s, 1e-9 * perimeter * s) << trial;
        EXPECT_TRUE(r->isOuterLoop(0)) << trial;
        EXPECT_FALSE(r->isOuterLoop(1)) << trial;
        EXPECT_LE(worldCentroid(*r).distanceTo(m * c), 1e-8 * std::max(1.0, s)) << trial;
    }
}

TEST(Region, TurnedOutOfThePlaneTheAreaStaysAndExtentsFollow) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int trial = 0; trial < 20; ++trial) {
        auto r = region({rectLoop(0, 0, 10, 20), circleLoop(5, 5, 2)});
        AcGeVector3d axis(u(rng), u(rng), 1 + u(rng) * u(rng));
        AcGeMatrix3d m = AcGeMatrix3d::rotation(u(rng) * M_PI, axis, AcGePoint3d(1, 2, 3));
        ASSERT_EQ(r->transformBy(m), Acad::eOk);
        EXPECT_NEAR(areaOf(*r), 200 - 4 * M_PI, 1e-9);
        AcDbExtents ext;
        ASSERT_EQ(r->getGeomExtents(ext), Acad::eOk);
        for (AcGePoint3d corner : {AcGePoint3d(0, 0, 0), AcGePoint3d(10, 20, 0)}) {
            AcGePoint3d p = m * corner;
            for (int k = 0; k < 3; ++k) {
                EXPECT_GE(p[k], ext.minPoint()[k] - 1e-9);
                EXPECT_LE(p[k], ext.maxPoint()[k] + 1e-9);
            }
        }
    }
}

TEST(Region, UnevenScalingIsRefusedAndChangesNothing) {
    auto r = region({rectLoop(0, 0, 10, 10)});
    AcGeMatrix3d uneven;
    uneven.entry[0][0] = 2;
    EXPECT_EQ(r->transformBy(uneven), Acad::eCannotScaleNonUniformly);
    EXPECT_NEAR(areaOf(*r), 100, 1e-12);
}

// ---- explosion, extents, nearest point -------------------------------------------------------

TEST(Region, ExplodesIntoItsPiecesJoinedEndToEnd) {
    auto r = region({mixedLoop(), circleLoop(40, 5, 3)});
    r->setColorIndex(3);
    std::vector<std::unique_ptr<AcDbEntity>> pieces;
    ASSERT_EQ(r->explode(pieces), Acad::eOk);
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_TRUE(AcDbLine::cast(pieces[0].get()));
    EXPECT_TRUE(AcDbEllipse::cast(pieces[1].get()));
    EXPECT_TRUE(AcDbLine::cast(pieces[2].get()));
    auto* arc = AcDbArc::cast(pieces[3].get());
    ASSERT_TRUE(arc);
    auto* circle = AcDbCircle::cast(pieces[4].get());
    ASSERT_TRUE(circle && !AcDbArc::cast(circle));
    EXPECT_TRUE(circle->center().isEqualTo(AcGePoint3d(40, 5, 0)));
    EXPECT_NEAR(circle->radius(), 3, 1e-12);
    AcGePoint3d a0, a1;
    arc->getStartPoint(a0);
    arc->getEndPoint(a1);
    EXPECT_TRUE(a0.isEqualTo(AcGePoint3d(0, 10, 0)));
    EXPECT_TRUE(a1.isEqualTo(AcGePoint3d(0, 0, 0)));
    AcGePoint3d e0, e1;
    AcDbCurve::cast(pieces[1].get())->getStartPoint(e0);
    AcDbCurve::cast(pieces[1].get())->getEndPoint(e1);
    EXPECT_LE(e0.distanceTo(AcGePoint3d(80, 0, 0)), 1e-9);
    EXPECT_LE(e1.distanceTo(AcGePoint3d(60, 10, 0)), 1e-9);
    for (const auto& p : pieces)
        EXPECT_EQ(p->colorIndex(), 3);
}

TEST(Region, ExtentsHoldTheArcsAndNearestPointsLieOnTheLoops) {
    auto r = region({mixedLoop()});
    AcDbExtents ext;
    ASSERT_EQ(r->getGeomExtents(ext), Acad::eOk);
    EXPECT_LE(ext.minPoint().distanceTo(AcGePoint3d(-5, 0, 0)), 1e-9);
    EXPECT_LE(ext.maxPoint().distanceTo(AcGePoint3d(80, 10, 0)), 1e-9);
    const std::pair<AcGePoint3d, AcGePoint3d> cases[] = {
        {AcGePoint3d(30, -4, 7), AcGePoint3d(30, 0, 0)},
        {AcGePoint3d(-20, 5, 0), AcGePoint3d(-5, 5, 0)},
        {AcGePoint3d(30, 12, 0), AcGePoint3d(30, 10, 0)},
    };
    for (const auto& [given, want] : cases) {
        AcGePoint3d got;
        ASSERT_EQ(r->getClosestPointTo(given, got), Acad::eOk);
        EXPECT_LE(got.distanceTo(want), 1e-9);
    }
}

// ---- modeler data ----------------------------------------------------------------------------

TEST(RegionData, LinesAreTransformedCharacterByCharacter) {
    // 159 - c: b (98) -> = (61), o (111) -> 0 (48), d (100) -> ; (59), y (121) -> & (38).
    EXPECT_EQ(sat::encodeLine("body"), L"=0;&");
    // A (65) becomes a caret, written caret-space; spaces stay.
    EXPECT_EQ(sat::encodeLine("A A"), L"^  ^ ");
    for (std::string line :
         {std::string("700 0 1 0"), std::string("@6 zelcad ACIS #"), std::string("AAA ^ ~ {}")})
        EXPECT_EQ(sat::decodeLine(sat::encodeLine(line)), line);
}

TEST(RegionData, LongLinesContinueInThreeGroups) {
    std::string line;
    for (int i = 0; i < 300; ++i)
        line += i % 7 == 0 ? 'A' : char('a' + i % 26);
    std::vector<ZelGroupValue> groups = sat::fileGroups({"first", line, "last"});
    ASSERT_GE(groups.size(), 4u);
    EXPECT_EQ(groups[0].code, 1);
    EXPECT_EQ(groups[1].code, 1);
    EXPECT_EQ(groups[2].code, 3);
    for (const ZelGroupValue& g : groups) {
        EXPECT_LE(g.text.size(), 255u);
        EXPECT_FALSE(!g.text.empty() && g.text.back() == L'^' && &g != &groups.back());
    }
    EXPECT_EQ(sat::textOfGroups(groups), "first\n" + line + "\nlast\n");
}

// Our own text of a region read back gives the same loops (pieces may start elsewhere on a
// full circle; the ends of every piece agree).
TEST(RegionData, OwnTextReadsBackToTheSameLoops) {
    struct Case {
        std::vector<ZelRegionLoop> loops;
        AcGeVector3d normal;
        double z;
    };
    const Case cases[] = {
        {{rectLoop(0, 0, 100, 60), circleLoop(30, 30, 10)}, AcGeVector3d::kZAxis, 0},
        {{mixedLoop(), circleLoop(40, 5, 3)}, AcGeVector3d(0, 0, -1), 2.5},
        {{mixedLoop()}, AcGeVector3d(1, 2, 3), -4},
        {{rectLoop(0, 0, 1, 1), rectLoop(5, 0, 6, 1)}, AcGeVector3d::kZAxis, 0},
        // A slot as a hole: its half circles run clockwise.
        {{rectLoop(0, 0, 100, 60), slotLoop(20, 60, 30, 10)}, AcGeVector3d(0, 1, 0), 12},
    };
    for (const Case& c : cases) {
        auto r = region(c.loops, c.normal, c.z);
        Groups groups = groupsOf(*r);
        std::unique_ptr<AcDbObject> o = readObject("REGION", groups);
        auto* back = AcDbRegion::cast(o.get());
        ASSERT_TRUE(back && back->hasGeometry());
        EXPECT_TRUE(back->normal().isEqualTo(r->normal()));
        EXPECT_NEAR(back->elevation(), r->elevation(), 1e-12);
        ASSERT_EQ(back->numLoops(), r->numLoops());
        for (int i = 0; i < r->numLoops(); ++i) {
            const ZelRegionLoop &a = r->loopAt(i), &b = back->loopAt(i);
            ASSERT_EQ(a.edges.size(), b.edges.size());
            for (size_t k = 0; k < a.edges.size(); ++k) {
                EXPECT_EQ(a.edges[k].type, b.edges[k].type);
                EXPECT_LE(a.edges[k].startPoint().distanceTo(b.edges[k].startPoint()), 1e-9);
                EXPECT_LE(a.edges[k].endPoint().distanceTo(b.edges[k].endPoint()), 1e-9);
                EXPECT_NEAR(a.edges[k].sweep, b.edges[k].sweep, 1e-9);
            }
        }
        EXPECT_NEAR(areaOf(*back), areaOf(*r), 1e-9 * areaOf(*r));
    }
}

// Save-file text of other writers: version 4.0 records (no id, record numbers in front),
// 7.0 records with the id field only; and text that is not a planar face of lines and arcs.
TEST(RegionData, OtherFormsOfTextAreReadOrRefusedWithAReason) {
    const char* v400 =
        "400 0 1 0\n11 Scheme AIDE 11 ACIS 4.0 NT 24 Mon Apr 12 13:59:03 1998\n1 1e-06 1e-10\n"
        "-0 body $-1 $1 $-1 $-1 #\n-1 lump $-1 $-1 $2 $0 #\n-2 shell $-1 $-1 $-1 $3 $-1 $1 #\n"
        "-3 face $-1 $-1 $4 $2 $-1 $5 reversed double out #\n-4 loop $-1 $-1 $6 $3 #\n"
        "-5 plane-surface $-1 0 0 7 0 0 -1 1 0 0 forward_v I I I I #\n"
        "-6 coedge $-1 $7 $7 $-1 $8 reversed $4 $-1 #\n-7 coedge $-1 $6 $6 $-1 $9 reversed $4 "
        "$-1 #\n-8 edge $-1 $10 $11 $6 $12 forward #\n-9 edge $-1 $11 $10 $7 $13 forward #\n"
        "-10 vertex $-1 $8 $14 #\n-11 vertex $-1 $8 $15 #\n"
        "-12 straight-curve $-1 0 0 7 1 0 0 I I #\n"
        "-13 ellipse-curve $-1 5 0 7 0 0 1 5 0 0 1 I I #\n-14 point $-1 0 0 7 #\n"
        "-15 point $-1 10 0 7 #\nEnd-of-ACIS-data\n";
    std::optional<sat::Planar> p = sat::read(v400);
    ASSERT_TRUE(p);
    // A half disc of radius 5 over the line from (0,0) to (10,0), in the plane z = 7.
    AcDbRegion r;
    ASSERT_EQ(r.setLoops(p->normal, p->elevation, p->loops), Acad::eOk);
    EXPECT_NEAR(areaOf(r), M_PI * 25 / 2, 1e-9);
    AcGePoint3d origin;
    AcGeVector3d n;
    r.getPlane(origin, n);
    EXPECT_NEAR(std::fabs(n.z), 1, 1e-12);
    EXPECT_NEAR(origin.z, 7, 1e-12);

    const char* v700 =
        "700 0 1 0\n@4 test @11 ACIS 7.0 NT @24 Mon Apr 12 13:59:03 1998\n1 1e-06 1e-10\n"
        "body $-1 -1 $1 $-1 $-1 #\nlump $-1 -1 $-1 $2 $0 #\nshell $-1 -1 $-1 $-1 $3 $-1 $1 #\n"
        "face $-1 -1 $-1 $4 $2 $-1 $5 forward double out #\nloop $-1 -1 $-1 $6 $3 #\n"
        "plane-surface $-1 -1 0 0 0 0 0 1 1 0 0 forward_v I I I I #\n"
        "coedge $-1 -1 $6 $6 $-1 $7 forward $4 $-1 #\n"
        "edge $-1 -1 $8 0 $8 6.2831853071795862 $6 $9 forward @7 unknown #\n"
        "vertex $-1 -1 $7 $10 #\nellipse-curve $-1 -1 0 0 0 0 0 1 10 0 0 1 I I #\n"
        "point $-1 -1 10 0 0 #\nEnd-of-ACIS-data\n";
    p = sat::read(v700);
    ASSERT_TRUE(p);
    ASSERT_EQ(r.setLoops(p->normal, p->elevation, p->loops), Acad::eOk);
    EXPECT_NEAR(areaOf(r), M_PI * 100, 1e-9);

    std::string cone = v700;
    cone.replace(cone.find("plane-surface"), 13, "cone-surface");
    std::string transformed = v700;
    transformed.replace(transformed.find("body $-1 -1 $1 $-1 $-1"), 22, "body $-1 -1 $1 $-1 $3");
    const std::pair<std::string, const char*> bad[] = {
        {cone, "cone-surface"},
        {transformed, "transform"},
        {"700 0 1 0\n", "header"},
        {std::string(v700).substr(0, 200), ""},
    };
    for (const auto& [text, reason] : bad) {
        std::string why;
        EXPECT_FALSE(sat::read(text, &why)) << text;
        EXPECT_FALSE(why.empty());
        EXPECT_NE(why.find(reason), std::string::npos) << why;
    }
}

ZelGroupValue groupOfText(int16_t code, const wchar_t* text) {
    ZelGroupValue g;
    g.code = code;
    g.text = text;
    return g;
}

// Entity data lists carry the modeler data as the file does: a region made from a list reads
// its loops, and its list gives the same lines back.
TEST(RegionData, EntityListsMakeAndGiveTheData) {
    AcDbDatabase db;
    zel::db::setWorkingDatabase(&db);
    auto model = region({rectLoop(0, 0, 8, 5), circleLoop(4, 2.5, 1)});
    zel::core::RbBuilder b;
    b.addString(0, L"REGION").addString(100, L"AcDbEntity").addString(8, L"0");
    b.addString(100, L"AcDbModelerGeometry").addShort(70, 1);
    Groups data;
    for (const ZelGroupValue& g : groupsOf(*model))
        if (g.code == 1 || g.code == 3) data.push_back(g);
    ASSERT_FALSE(data.empty());
    for (const ZelGroupValue& g : data)
        b.addString(g.code, g.text);
    zel::core::RbPtr list = b.take();
    ASSERT_EQ(acdbEntMake(list.get()), RTNORM);
    ads_name last;
    ASSERT_EQ(acdbEntLast(last), RTNORM);
    AcDbObjectId id;
    ASSERT_EQ(acdbGetObjectId(id, last), Acad::eOk);
    auto* made = zel::db::peekAs<AcDbRegion>(id);
    ASSERT_TRUE(made && made->hasGeometry());
    EXPECT_NEAR(areaOf(*made), 40 - M_PI, 1e-9);
    zel::core::RbPtr got(acdbEntGet(last));
    Groups back;
    for (const resbuf* rb = got.get(); rb; rb = rb->rbnext)
        if (rb->restype == 1 || rb->restype == 3)
            back.push_back(groupOfText(int16_t(rb->restype), rb->resval.rstring));
    ASSERT_EQ(back.size(), data.size());
    for (size_t i = 0; i < data.size(); ++i)
        EXPECT_EQ(back[i].text, data[i].text) << i;
    zel::db::setWorkingDatabase(nullptr);
}

// Damaged text (seeded random cuts, swaps and replacements of our own text) is read or
// refused with a reason, never more.
TEST(RegionData, DamagedTextIsReadOrRefused) {
    auto r = region({mixedLoop(), circleLoop(40, 5, 3)});
    std::string text = sat::textOfGroups(groupsOf(*r));
    std::mt19937 rng(4242);
    const char* junk[] = {"$999", "$-7",   "#",        "@99999 x", "I",
                          "nan",  "1e400", "reversed", "$3",       ""};
    int refused = 0;
    for (int trial = 0; trial < 400; ++trial) {
        std::string t = text;
        std::uniform_int_distribution<size_t> at(0, t.size() - 1);
        for (int k = 0; k < 1 + trial % 4; ++k) {
            size_t p = at(rng) % t.size(), n = std::min<size_t>(rng() % 12, t.size() - p);
            t.replace(p, n, junk[rng() % std::size(junk)]);
        }
        std::string why;
        std::optional<sat::Planar> p = sat::read(t, &why);
        if (!p) {
            ++refused;
            EXPECT_FALSE(why.empty());
            continue;
        }
        AcDbRegion check;
        Acad::ErrorStatus es = check.setLoops(p->normal, p->elevation, p->loops);
        EXPECT_TRUE(es == Acad::eOk || es == Acad::eInvalidInput);
    }
    EXPECT_GT(refused, 0);
}

} // namespace
