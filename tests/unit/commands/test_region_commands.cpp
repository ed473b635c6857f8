// Regions in commands: -BOUNDARY with the object type Region makes one region per point (its
// islands holes) whose area is that of the polylines it would make; EXPLODE gives a region's
// curves; AREA measures a region less its holes.
#include "arx/dbregion.h"
#include "db/database_impl.h"
#include "session_fixture.h"

#include <cmath>

namespace {

class Regions : public SessionTest {
protected:
    // A 100 x 60 rectangle of lines with a circle of radius 10 at (30, 30).
    void drawPlate() {
        addLine({0, 0}, {100, 0});
        addLine({100, 0}, {100, 60});
        addLine({100, 60}, {0, 60});
        addLine({0, 60}, {0, 0});
        add(std::make_unique<AcDbCircle>(AcGePoint3d(30, 30, 0), AcGeVector3d::kZAxis, 10));
    }

    // The same plate as a region (the hole given clockwise), colour 4.
    AcDbObjectId addPlateRegion() {
        auto r = std::make_unique<AcDbRegion>();
        AcGePoint2d a(0, 0), b(100, 0), c(100, 60), d(0, 60);
        std::vector<ZelRegionLoop> loops = {
            {{ZelRegionEdge::line(a, b), ZelRegionEdge::line(b, c), ZelRegionEdge::line(c, d),
              ZelRegionEdge::line(d, a)}},
            {{ZelRegionEdge::arc(AcGePoint2d(30, 30), 10, 0, -2 * M_PI)}}};
        EXPECT_EQ(r->setLoops(AcGeVector3d::kZAxis, 0, loops), Acad::eOk);
        r->setColorIndex(4);
        return add(std::move(r));
    }

    // The area a closed curve encloses (islands run clockwise: their area comes signed).
    double curveArea(AcDbObjectId id) {
        double a = 0;
        EXPECT_EQ(zel::db::peekAs<AcDbCurve>(id)->getArea(a), Acad::eOk);
        return std::fabs(a);
    }
};

TEST_F(Regions, BoundaryRegionHasTheAreaOfItsPolylines) {
    drawPlate();
    run("-BOUNDARY A O R \"\" 10,10 \"\"\n");
    std::vector<AcDbObjectId> regions = entities("REGION");
    ASSERT_EQ(regions.size(), 1u) << transcript();
    EXPECT_TRUE(has("BOUNDARY は 1 個のリージョンを作成しました")) << transcript();
    EXPECT_FALSE(has("未実装"));
    EXPECT_EQ(var(L"HPBOUND"), L"0");
    auto* region = zel::db::peekAs<AcDbRegion>(regions[0]);
    ASSERT_EQ(region->numLoops(), 2);
    EXPECT_TRUE(region->isOuterLoop(0));
    EXPECT_FALSE(region->isOuterLoop(1));
    EXPECT_STREQ(region->layer(), L"0");

    run("-BOUNDARY A O P \"\" 10,10 \"\"\n");
    std::vector<AcDbObjectId> polylines = entities("LWPOLYLINE");
    ASSERT_EQ(polylines.size(), 2u) << transcript();
    EXPECT_TRUE(has("BOUNDARY は 2 個のポリラインを作成しました"));
    double area = 0;
    ASSERT_EQ(region->getArea(area), Acad::eOk);
    EXPECT_NEAR(area, curveArea(polylines[0]) - curveArea(polylines[1]), 1e-9);
    EXPECT_NEAR(area, 6000 - M_PI * 100, 1e-9);
}

TEST_F(Regions, WithoutIslandDetectionTheRegionHasNoHoles) {
    drawPlate();
    ed().vars().set(L"HPBOUND", zel::editor::VarValue(int64_t(0)));
    run("-BOUNDARY A I N \"\" \"\" 10,10 \"\"\n");
    std::vector<AcDbObjectId> regions = entities("REGION");
    ASSERT_EQ(regions.size(), 1u) << transcript();
    EXPECT_TRUE(has("BOUNDARY は 1 個のリージョンを作成しました"));
    auto* region = zel::db::peekAs<AcDbRegion>(regions[0]);
    EXPECT_EQ(region->numLoops(), 1);
    double area = 0;
    ASSERT_EQ(region->getArea(area), Acad::eOk);
    EXPECT_NEAR(area, 6000, 1e-9);
}

TEST_F(Regions, NoBoundaryMakesNoRegionAndSaysSo) {
    addLine({0, 0}, {10, 0});
    run("-BOUNDARY A O R \"\" 5,5 \"\"\n");
    EXPECT_TRUE(entities("REGION").empty());
    EXPECT_TRUE(has("BOUNDARY は 0 個のリージョンを作成しました")) << transcript();
}

TEST_F(Regions, ExplodeGivesTheCurvesOfEveryLoop) {
    AcDbObjectId id = addPlateRegion();
    run("EXPLODE L \"\"\n");
    EXPECT_TRUE(entities("REGION").empty()) << transcript();
    EXPECT_TRUE(id.isErased() || !zel::db::peekAs<AcDbRegion>(id));
    std::vector<AcDbObjectId> lines = entities("LINE"), circles = entities("CIRCLE");
    ASSERT_EQ(lines.size(), 4u);
    ASSERT_EQ(circles.size(), 1u);
    double total = 0;
    for (AcDbObjectId l : lines) {
        auto* line = zel::db::peekAs<AcDbLine>(l);
        total += line->startPoint().distanceTo(line->endPoint());
        EXPECT_EQ(line->colorIndex(), 4);
    }
    EXPECT_NEAR(total, 320, 1e-9);
    auto* circle = zel::db::peekAs<AcDbCircle>(circles[0]);
    EXPECT_TRUE(circle->center().isEqualTo(AcGePoint3d(30, 30, 0)));
    EXPECT_NEAR(circle->radius(), 10, 1e-12);
}

TEST_F(Regions, AreaOfARegionLessItsHoles) {
    addPlateRegion();
    run("AREA O 50,0\n");
    EXPECT_NEAR(std::stod(zel::core::wideToUtf8(var(L"AREA"))), 6000 - M_PI * 100, 1e-4)
        << transcript();
    EXPECT_NEAR(std::stod(zel::core::wideToUtf8(var(L"PERIMETER"))), 320 + 20 * M_PI, 1e-4);
    EXPECT_TRUE(has("周長")) << transcript();
}

TEST_F(Regions, UndoTakesTheRegionAway) {
    drawPlate();
    run("-BOUNDARY A O R \"\" 10,10 \"\"\nU\n");
    EXPECT_TRUE(entities("REGION").empty()) << transcript();
}

} // namespace
