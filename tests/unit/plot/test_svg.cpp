// Pictures of drawings: what each entity kind becomes in the SVG, with its colour, weight,
// dashes and text; every drawing of other programs gives a complete document.
#include "dxf/dxf.h"
#include "plot/svg.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class Svg : public ::testing::Test {
protected:
    AcDbObjectId add(AcDbEntity* ent, AcDbObjectId space = AcDbObjectId()) {
        AcDbBlockTableRecord* r = nullptr;
        EXPECT_EQ(acdbOpenObject(r, space.isNull() ? db.modelSpaceId() : space, AcDb::kForWrite),
                  Acad::eOk);
        AcDbObjectId id;
        EXPECT_EQ(r->appendAcDbEntity(id, ent), Acad::eOk);
        ent->close();
        r->close();
        return id;
    }
    bool has(const std::string& text) const { return svg.find(text) != std::string::npos; }
    AcDbDatabase db;
    std::string svg;
};

TEST_F(Svg, LinesCarryColourWeightAndDashes) {
    auto* red = new AcDbLine({0, 0, 0}, {100, 0, 0});
    red->setColorIndex(1);
    red->setLineWeight(AcDb::LineWeight(50));
    add(red);
    AcDbLinetypeTable* t = nullptr;
    ASSERT_EQ(db.getLinetypeTable(t, AcDb::kForWrite), Acad::eOk);
    auto* dashed = new AcDbLinetypeTableRecord();
    dashed->setName(L"DASH");
    ZelDashElement dash, gap;
    dash.length = 6, gap.length = -2;
    dashed->setDashes({dash, gap});
    ASSERT_EQ(t->add(dashed), Acad::eOk);
    dashed->close();
    t->close();
    auto* hidden = new AcDbLine({0, 10, 0}, {100, 10, 0});
    hidden->setLinetype(L"DASH");
    add(hidden);
    svg = zel::plot::modelSpaceSvg(db);
    EXPECT_TRUE(has("points=\"0,0 100,0\" fill=\"none\" stroke=\"#ff0000\" stroke-width=\"0.5\""))
        << svg;
    EXPECT_TRUE(has("stroke-dasharray=\"6,2\"")) << svg;
    EXPECT_TRUE(has("points=\"0,-10 100,-10\"")) << "y grows upwards in the drawing";
}

TEST_F(Svg, CirclesTextsAndBlocksArePlaced) {
    add(new AcDbCircle({50, 50, 0}, {0, 0, 1}, 10));
    auto* text = new AcDbText({0, 0, 0}, L"Φ25 <H7>", AcDbObjectId(), 5, M_PI / 2);
    add(text);
    AcDbBlockTable* bt = nullptr;
    ASSERT_EQ(db.getBlockTable(bt, AcDb::kForWrite), Acad::eOk);
    auto* block = new AcDbBlockTableRecord();
    block->setName(L"MARK");
    AcDbObjectId blockId;
    ASSERT_EQ(bt->add(blockId, block), Acad::eOk);
    block->close();
    bt->close();
    add(new AcDbLine({0, 0, 0}, {1, 0, 0}), blockId);
    auto* ref = new AcDbBlockReference({200, 0, 0}, blockId);
    ref->setScaleFactors(AcGeScale3d(3));
    add(ref);
    svg = zel::plot::modelSpaceSvg(db);
    EXPECT_TRUE(has("points=\"60,-50 ")) << "the circle starts at angle 0";
    EXPECT_TRUE(has(">Φ25 &lt;H7&gt;</text>")) << svg;
    EXPECT_TRUE(has("font-size=\"5\"")) << svg;
    EXPECT_TRUE(has("rotate(-90 0 0)")) << svg;
    EXPECT_TRUE(has("points=\"200,0 203,0\"")) << "the block's line, scaled 3 at 200,0";
}

TEST_F(Svg, LayersThatAreOffAreNotDrawn) {
    AcDbLayerTable* t = nullptr;
    ASSERT_EQ(db.getLayerTable(t, AcDb::kForWrite), Acad::eOk);
    auto* off = new AcDbLayerTableRecord();
    off->setName(L"HIDDENLAYER");
    off->setIsOff(true);
    ASSERT_EQ(t->add(off), Acad::eOk);
    off->close();
    t->close();
    auto* line = new AcDbLine({0, 0, 0}, {7, 7, 0});
    line->setLayer(L"HIDDENLAYER");
    add(line);
    svg = zel::plot::modelSpaceSvg(db);
    EXPECT_FALSE(has("7,-7")) << svg;
}

TEST(SvgOfOtherProgramsDrawings, EachIsACompleteDocument) {
    int drawn = 0;
    for (const auto& entry : fs::directory_iterator(ZEL_DRAWINGS_DIR)) {
        std::string ext = entry.path().extension().string();
        if (ext != ".dxf" && ext != ".DXF") continue;
        zel::dxf::ReadResult r = zel::dxf::readDxf(entry.path().string());
        if (!r.ok()) continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::string svg = zel::plot::modelSpaceSvg(*r.database);
        EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
        EXPECT_NE(svg.find("</svg>\n"), std::string::npos);
        EXPECT_EQ(svg.find("nan"), std::string::npos) << "no coordinate is undefined";
        ++drawn;
    }
    EXPECT_GE(drawn, 25);
}

} // namespace
