// Block references compose transforms exactly; arrays cover their copies; hatch loops move
// exactly; groups of files without subclass markers reach the right members.
#include "test_ents_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace zel::test;

namespace {

AcGeMatrix3d randomSimilarity(std::mt19937& rng, bool mirror) {
    std::uniform_real_distribution<double> u(-1, 1);
    AcGeMatrix3d m = AcGeMatrix3d::rotation(u(rng) * M_PI, AcGeVector3d::kZAxis);
    m.preMultBy(AcGeMatrix3d::scaling(1.5 + u(rng)));
    m.preMultBy(AcGeMatrix3d::translation({10 * u(rng), 10 * u(rng), u(rng)}));
    if (mirror) m.preMultBy(AcGeMatrix3d::mirroring({u(rng), u(rng), 0}, {u(rng), 2, 0}));
    return m;
}

TEST(BlockReference, TransformComposesWithTheBlockTransform) {
    std::mt19937 rng(31);
    for (int trial = 0; trial < 20; ++trial) {
        AcDbBlockReference r;
        r.setBlockName(L"B");
        r.setPosition({2, 3, 0});
        r.setRotation(0.7);
        r.setScaleFactors(AcGeScale3d(2, 3, 1)); // not uniform in the block's own frame
        AcGeMatrix3d m = randomSimilarity(rng, trial % 2 == 1);
        AcGeMatrix3d expected = m * r.blockTransform();
        ASSERT_EQ(r.transformBy(m), Acad::eOk) << trial;
        EXPECT_TRUE(r.blockTransform().isEqualTo(expected, AcGeTol(1e-9, 1e-9))) << trial;
        EXPECT_NEAR(r.normal().z, 1, 1e-12);
    }
}

TEST(BlockReference, ShearIsRefusedAndNothingChanges) {
    AcDbBlockReference r;
    r.setRotation(0.5);
    r.setScaleFactors(AcGeScale3d(1, 1, 1));
    AcGeMatrix3d stretch;
    stretch.entry[0][0] = 3; // a rotated block stretched along x: a shear in its frame
    AcGeMatrix3d before = r.blockTransform();
    EXPECT_EQ(r.transformBy(stretch), Acad::eCannotScaleNonUniformly);
    EXPECT_TRUE(r.blockTransform().isEqualTo(before));
    EXPECT_EQ(r.setScaleFactors(AcGeScale3d(1, 0, 1)), Acad::eInvalidInput);
}

TEST(BlockReference, ArrayExtentsCoverEveryCopy) {
    AcDbMInsertBlock m(AcGePoint3d(1, 1, 0), AcDbObjectId::kNull, 4, 3, 10, 5);
    m.setRotation(M_PI / 2);
    AcDbExtents e;
    ASSERT_EQ(m.getGeomExtents(e), Acad::eOk);
    // Columns run along the rotated x axis (world y), rows along world -x.
    EXPECT_TRUE(e.minPoint().isEqualTo({-9, 1, 0}));
    EXPECT_TRUE(e.maxPoint().isEqualTo({1, 31, 0}));
    EXPECT_EQ(m.setRows(0), Acad::eInvalidInput);
}

TEST(Hatch, TransformMovesLoopsAndSeedsExactly) {
    std::mt19937 rng(12);
    for (int trial = 0; trial < 10; ++trial) {
        AcDbHatch h;
        h.appendLoop(AcDbHatch::kExternal, {{0, 0}, {8, 0}, {8, 6}, {0, 6}}, {0.3, 0, -0.6, 0});
        ZelHatchLoop arcs;
        ZelHatchEdge a;
        a.type = ZelHatchEdge::kCirArc;
        a.center = {4, 3};
        a.radius = 1;
        a.startAngle = 30;
        a.endAngle = 210;
        a.counterClockwise = trial % 3 != 0;
        ZelHatchEdge back;
        back.type = ZelHatchEdge::kLine;
        arcs.edges = {a, back};
        h.appendLoop(arcs);
        h.appendSeedPoint({1, 1});
        AcGeMatrix3d m = randomSimilarity(rng, trial % 2 == 1);
        std::vector<std::vector<AcGePoint3d>> before;
        for (int i = 0; i < 2; ++i) {
            std::vector<AcGePoint2d> pts;
            std::vector<double> bulges;
            h.getLoopPoints(i, pts, bulges);
            before.emplace_back();
            for (const AcGePoint2d& p : pts) before.back().push_back(m * AcGePoint3d(p.x, p.y, 0));
        }
        AcGePoint3d seed = m * AcGePoint3d(1, 1, 0);
        ASSERT_EQ(h.transformBy(m), Acad::eOk);
        for (int i = 0; i < 2; ++i) {
            std::vector<AcGePoint2d> pts;
            std::vector<double> bulges;
            h.getLoopPoints(i, pts, bulges);
            ASSERT_EQ(pts.size(), before[i].size());
            for (size_t k = 0; k < pts.size(); ++k)
                EXPECT_LT(AcGePoint3d(pts[k].x, pts[k].y, h.elevation()).distanceTo(before[i][k]),
                          1e-9)
                    << trial << " loop " << i << " point " << k;
        }
        AcGePoint2d s = h.getSeedPointAt(0);
        EXPECT_LT(AcGePoint3d(s.x, s.y, h.elevation()).distanceTo(seed), 1e-9);
    }
}

ZelGroupValue group(int16_t code, int64_t i) {
    ZelGroupValue g;
    g.code = code;
    g.integer = i;
    return g;
}
ZelGroupValue text(int16_t code, const wchar_t* t) {
    ZelGroupValue g;
    g.code = code;
    g.text = t;
    return g;
}

// Files of release 12 have no subclass markers: the groups find their members by code.
TEST(FilesWithoutMarkers, GroupsReachTheirMembers) {
    auto def = readObject("ATTDEF", {text(1, L"x"), text(3, L"Prompt"), text(2, L"TAG"),
                                     group(70, 4), group(73, 9), group(74, 3), group(72, 1)});
    auto* d = AcDbAttributeDefinition::cast(def.get());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->fieldLength(), 9);
    EXPECT_EQ(d->verticalMode(), AcDb::kTextTop);
    EXPECT_EQ(d->horizontalMode(), AcDb::kTextCenter);
    EXPECT_TRUE(d->isVerifiable());
    auto txt = readObject("TEXT", {text(1, L"t"), group(72, 2), group(73, 1)});
    ASSERT_TRUE(AcDbText::cast(txt.get()));
    EXPECT_EQ(AcDbText::cast(txt.get())->justification(), AcDb::kTextAlignmentBottomRight);
    auto pl = readObject("POLYLINE", {group(66, 1), group(70, 8)});
    ASSERT_TRUE(AcDb2dPolyline::cast(pl.get()));
    EXPECT_EQ(AcDb2dPolyline::cast(pl.get())->flavour(), AcDb2dPolyline::k3d);
    auto ins = readObject("INSERT", {text(2, L"B"), group(70, 2), group(71, 2)});
    EXPECT_TRUE(AcDbMInsertBlock::cast(ins.get()));
}

} // namespace
