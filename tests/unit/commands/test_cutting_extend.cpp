// EXTEND through the spatial index against trying every boundary (seeded random drawings),
// splines extended and lengthened by the commands, the widths polyline pieces keep, and
// hatches exploded into their boundary curves (a drawing written by another program among
// them, with clockwise arc edges).
#include "session_fixture.h"

#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "commands/polyline_widths.h"
#include "commands/trim_edges.h"
#include "db/database_impl.h"
#include "geom/closest.h"
#include "geom/cutting.h"
#include "geom/edit.h"

#include <random>
#include <sstream>

namespace {

using zel::geom::Vec2;

class CuttingMore : public SessionTest {
protected:
    std::optional<zel::geom::Curve> curve(AcDbObjectId id) { return zel::commands::curveOfId(id); }
    // A light polyline through the points, with the widths given per vertex.
    AcDbObjectId addWidePolyline(const std::vector<Vec2>& points,
                                 const std::vector<zel::commands::SegmentWidths>& widths) {
        auto pl = std::make_unique<AcDbPolyline>();
        for (unsigned i = 0; i < points.size(); ++i)
            pl->addVertexAt(i, AcGePoint2d(points[i].x, points[i].y), 0, widths[i].start,
                            widths[i].end);
        return add(std::move(pl));
    }
    std::vector<zel::commands::SegmentWidths> widthsOf(AcDbObjectId id) {
        auto* e = zel::db::peekAs<AcDbEntity>(id);
        return e ? zel::commands::polylineWidths(*e) : std::vector<zel::commands::SegmentWidths>{};
    }
};

// A cubic spline from (0,0) to (40,0) leaving its end along +x, leaving its start along -x.
std::unique_ptr<AcDbSpline> flatEndedSpline() {
    std::vector<AcGePoint3d> points{{0, 0, 0}, {10, 0, 0}, {20, 15, 0}, {30, 0, 0}, {40, 0, 0}};
    std::vector<double> knots{0, 0, 0, 0, 1, 2, 2, 2, 2};
    return std::make_unique<AcDbSpline>(3, false, false, false, points, knots,
                                        std::vector<double>{});
}

TEST_F(CuttingMore, ExtendAndLengthenRunASplineOnStraightAlongItsEndTangent) {
    AcDbObjectId id = add(flatEndedSpline());
    AcDbHandle handle = id.handle();
    addLine({70, -10}, {70, 10});
    addLine({-25, -10}, {-25, 10});
    run("EXTEND \"\" 39,0 \"\"\n");
    auto c = curve(id);
    ASSERT_TRUE(c && std::holds_alternative<zel::geom::Nurbs>(*c));
    EXPECT_LE(zel::geom::dist(zel::geom::endPoint(*c), {70, 0}), 1e-9);
    EXPECT_LE(zel::geom::dist(zel::geom::startPoint(*c), {0, 0}), 1e-12);
    EXPECT_EQ(id.handle(), handle);
    // The start the other way; then LENGTHEN shortens the start back by what EXTEND added.
    run("EXTEND \"\" 1,0 \"\"\n");
    EXPECT_LE(zel::geom::dist(zel::geom::startPoint(*curve(id)), {-25, 0}), 1e-9);
    run("LENGTHEN DE -25 -24,0 \"\"\n");
    EXPECT_LE(zel::geom::dist(zel::geom::startPoint(*curve(id)), {0, 0}), 1e-9);
    run("LENGTHEN DE 5 69,0 \"\"\n");
    EXPECT_LE(zel::geom::dist(zel::geom::endPoint(*curve(id)), {75, 0}), 1e-9);
    EXPECT_FALSE(has("スプライン"));
    // A closed spline has no end: EXTEND says it cannot, and nothing changes.
    std::vector<AcGePoint3d> loop{{0, 100, 0}, {20, 120, 0}, {40, 100, 0}, {0, 100, 0}};
    AcDbObjectId closed = add(std::make_unique<AcDbSpline>(loop));
    std::string before = dump();
    run("EXTEND \"\" 0,100 \"\"\n");
    EXPECT_TRUE(has("このオブジェクトは延長できません")) << transcript();
    EXPECT_EQ(dump(), before);
    EXPECT_FALSE(closed.isErased());
}

TEST_F(CuttingMore, IndexedBoundarySearchFindsTheSameCrossingAsTryingEveryBoundary) {
    std::mt19937 rng(611);
    std::uniform_real_distribution<double> coord(0, 1000), len(5, 150), angle(0, 6.28318);
    std::vector<AcDbObjectId> ids;
    for (int i = 0; i < 3000; ++i) {
        Vec2 a{coord(rng), coord(rng)};
        if (i % 10 == 0) {
            double a0 = angle(rng);
            ids.push_back(add(std::make_unique<AcDbArc>(AcGePoint3d(a.x, a.y, 0), len(rng) / 3, a0,
                                                        a0 + angle(rng) / 2)));
            continue;
        }
        ids.push_back(addLine(a, a + zel::geom::polar(angle(rng)) * len(rng)));
    }
    zel::commands::EdgeSet all;
    int found = 0;
    for (int k = 0; k < 400; ++k) {
        AcDbObjectId id = ids[rng() % ids.size()];
        zel::geom::Curve c = *curve(id);
        bool atStart = rng() % 2 == 0;
        std::optional<zel::geom::CurveEnd> end = zel::geom::curveEnd(c, atStart);
        ASSERT_TRUE(end);
        auto fast = zel::commands::boundaryCrossing(engine(), all, id, *end, false);
        auto bounds = zel::commands::boundaryCurves(engine(), all, id);
        auto slow = zel::geom::nearestCrossingAhead(*end, bounds, false);
        ASSERT_EQ(fast.has_value(), slow.has_value()) << "end " << k;
        if (!fast) continue;
        ++found;
        EXPECT_EQ(fast->ahead, slow->ahead) << "end " << k;
        EXPECT_LE(zel::geom::dist(fast->point, slow->point), 1e-12) << "end " << k;
    }
    EXPECT_GT(found, 200);
}

struct WidthCase {
    const char* name;
    const char* script;
    // The widths of the pieces in draw order, one pair per vertex (the last vertex of an open
    // piece has none of its own: 0, 0).
    std::vector<std::vector<zel::commands::SegmentWidths>> want;
};

TEST_F(CuttingMore, PiecesOfAPolylineWithWidthsKeepTheWidthsWhereTheyLie) {
    // (0,0) to (100,0) tapering 2 to 4, then up to (100,50) at a constant 1.
    const WidthCase cases[] = {
        {"break in the tapered segment",
         "BREAK 25,0 75,0\n",
         {{{2, 2.5}, {0, 0}}, {{3.5, 4}, {1, 1}, {0, 0}}}},
        {"trim of the start at a cutting line",
         "LINE 50,-5 50,5 \"\"\nTRIM \"\" 25,0 \"\"\n",
         {{{3, 4}, {1, 1}, {0, 0}}}},
        {"trim of the middle of the second segment",
         "LINE 95,10 105,10 \"\"\nLINE 95,30 105,30 \"\"\nTRIM \"\" 100,20 \"\"\n",
         // The second piece has one width throughout: it becomes its constant width.
         {{{2, 4}, {1, 1}, {0, 0}}, {{1, 1}, {1, 1}}}},
        {"lengthen of the end segment", "LENGTHEN DE 10 100,49 \"\"\n", {{{2, 4}, {1, 1}, {0, 0}}}},
    };
    for (const WidthCase& c : cases) {
        run("ERASE ALL \"\"\n");
        addWidePolyline({{0, 0}, {100, 0}, {100, 50}}, {{2, 4}, {1, 1}, {0, 0}});
        run(c.script);
        std::vector<AcDbObjectId> pieces = entities("LWPOLYLINE");
        ASSERT_EQ(pieces.size(), c.want.size()) << c.name << "\n" << transcript();
        for (size_t i = 0; i < pieces.size(); ++i) {
            std::vector<zel::commands::SegmentWidths> got = widthsOf(pieces[i]);
            ASSERT_EQ(got.size(), c.want[i].size()) << c.name << " piece " << i;
            for (size_t v = 0; v < got.size(); ++v) {
                EXPECT_NEAR(got[v].start, c.want[i][v].start, 1e-9) << c.name << " " << i << v;
                EXPECT_NEAR(got[v].end, c.want[i][v].end, 1e-9) << c.name << " " << i << v;
            }
        }
    }
}

TEST_F(CuttingMore, ConstantWidthsAndTwoDPolylineWidthsSurviveABreak) {
    auto light = std::make_unique<AcDbPolyline>();
    light->addVertexAt(0, AcGePoint2d(0, 0));
    light->addVertexAt(1, AcGePoint2d(100, 0));
    light->setConstantWidth(3);
    add(std::move(light));
    run("BREAK 40,0 60,0\n");
    for (AcDbObjectId id : entities("LWPOLYLINE")) {
        double w = -1;
        ASSERT_EQ(zel::db::peekAs<AcDbPolyline>(id)->getConstantWidth(w), Acad::eOk);
        EXPECT_EQ(w, 3);
    }
    std::vector<AcGePoint3d> points{{0, 100, 0}, {100, 100, 0}};
    auto pl2 = std::make_unique<AcDb2dPolyline>(AcDb::k2dSimplePoly, points);
    pl2->setDefaultStartWidth(0.5);
    pl2->setDefaultEndWidth(0.75);
    AcDbObjectId id2 = add(std::move(pl2));
    AcDbObjectId first = zel::db::peekAs<AcDb2dPolyline>(id2)->vertexIds().front();
    AcDb2dVertex* v = nullptr;
    ASSERT_EQ(acdbOpenObject(v, first, AcDb::kForWrite), Acad::eOk);
    v->setStartWidth(0);
    v->setEndWidth(10);
    v->close();
    run("BREAK 50,100 60,100\n");
    std::vector<AcDbObjectId> twoD = entities("POLYLINE");
    ASSERT_EQ(twoD.size(), 2u);
    ASSERT_FALSE(widthsOf(twoD[0]).empty());
    ASSERT_FALSE(widthsOf(twoD[1]).empty());
    EXPECT_NEAR(widthsOf(twoD[0])[0].start, 0, 1e-9);
    EXPECT_NEAR(widthsOf(twoD[0])[0].end, 5, 1e-9);
    EXPECT_NEAR(widthsOf(twoD[1])[0].start, 6, 1e-9);
    EXPECT_NEAR(widthsOf(twoD[1])[0].end, 10, 1e-9);
    for (AcDbObjectId piece : twoD) {
        EXPECT_EQ(zel::db::peekAs<AcDb2dPolyline>(piece)->defaultStartWidth(), 0.5);
        EXPECT_EQ(zel::db::peekAs<AcDb2dPolyline>(piece)->defaultEndWidth(), 0.75);
    }
}

// The end points of the curve entities, in draw order.
std::vector<std::pair<Vec2, Vec2>> endsOf(const std::vector<AcDbObjectId>& ids) {
    std::vector<std::pair<Vec2, Vec2>> out;
    for (AcDbObjectId id : ids) {
        auto c = zel::commands::curveOfId(id);
        if (c) out.push_back({zel::geom::startPoint(*c), zel::geom::endPoint(*c)});
    }
    return out;
}

TEST_F(CuttingMore, ExplodedHatchGivesTheCurvesOfItsLoops) {
    run("-LAYER M FILL \"\"\n");
    auto h = std::make_unique<AcDbHatch>();
    h->setPattern(AcDbHatch::kPreDefined, L"SOLID");
    h->setLayer(L"FILL");
    // A polyline loop: a square whose left side bulges out to the left.
    h->appendLoop(AcDbHatch::kPolyline | AcDbHatch::kExternal,
                  {{20, 20}, {30, 20}, {30, 30}, {20, 30}}, {0, 0, 0, 1});
    // An edge loop: a line, an arc counter-clockwise, a line, an arc clockwise (its angles
    // measured clockwise, as files hold them) through (5,5).
    ZelHatchLoop edges;
    edges.type = AcDbHatch::kDefault;
    ZelHatchEdge line1, arc1, line2, arc2;
    line1.start = {0, 0}, line1.end = {10, 0};
    arc1.type = ZelHatchEdge::kCirArc, arc1.center = {10, 5}, arc1.radius = 5;
    arc1.startAngle = -90, arc1.endAngle = 90;
    line2.start = {10, 10}, line2.end = {0, 10};
    arc2.type = ZelHatchEdge::kCirArc, arc2.center = {0, 5}, arc2.radius = 5;
    arc2.startAngle = -90, arc2.endAngle = 90, arc2.counterClockwise = false;
    edges.edges = {line1, arc1, line2, arc2};
    h->appendLoop(edges);
    AcDbObjectId id = add(std::move(h));
    AcDbHandle handle = id.handle();
    run("EXPLODE L \"\"\n");
    EXPECT_TRUE(entities("HATCH").empty());
    std::vector<AcDbObjectId> all = entities();
    ASSERT_EQ(all.size(), 8u) << transcript();
    EXPECT_EQ(all[0].handle(), handle);
    EXPECT_EQ(entities("LINE").size(), 5u);
    EXPECT_EQ(entities("ARC").size(), 3u);
    for (AcDbObjectId piece : all)
        EXPECT_STREQ(zel::db::peekAs<AcDbEntity>(piece)->layer(), L"FILL");
    auto* bulged = zel::db::peekAs<AcDbArc>(all[3]);
    ASSERT_TRUE(bulged);
    EXPECT_NEAR(bulged->center().x, 20, 1e-9); // a half circle on the side from (20,30) to (20,20)
    auto clockwise = curve(all[7]);
    ASSERT_TRUE(clockwise && std::holds_alternative<zel::geom::Arc>(*clockwise));
    const auto& arc = std::get<zel::geom::Arc>(*clockwise);
    Vec2 mid = zel::geom::pointAt(arc, (arc.start + arc.end) / 2);
    EXPECT_LE(zel::geom::dist(mid, {5, 5}), 1e-9);
}

TEST_F(CuttingMore, ExplodedHatchOfAnotherProgramChainsEndToEnd) {
    ASSERT_EQ(
        s.open(zel::core::utf8ToWide(std::string(ZEL_DRAWINGS_DIR) + "/clockwise_arcs_hatch.dxf")),
        L"");
    ASSERT_EQ(entities("HATCH").size(), 1u);
    size_t before = entities().size();
    run("EXPLODE ALL \"\"\n");
    EXPECT_TRUE(entities("HATCH").empty()) << transcript();
    std::vector<AcDbObjectId> all = entities();
    ASSERT_GE(all.size(), before + 30); // two loops of 31 and 6 edges
    // Every end of every piece meets an end of another piece: the loops stay closed, which
    // they would not with a clockwise arc edge read the wrong way round.
    std::vector<std::pair<Vec2, Vec2>> ends = endsOf(all);
    for (size_t i = 0; i < ends.size(); ++i) {
        for (Vec2 p : {ends[i].first, ends[i].second}) {
            double nearest = zel::geom::kInf;
            for (size_t j = 0; j < ends.size(); ++j)
                if (j != i)
                    nearest = std::min({nearest, zel::geom::dist(p, ends[j].first),
                                        zel::geom::dist(p, ends[j].second)});
            EXPECT_LE(nearest, 1e-6) << "piece " << i << " at " << p.x << "," << p.y;
        }
    }
}

TEST_F(CuttingMore, ExplodedBlockPartsReadFromAFileKeepTheirOwnProperties) {
    ASSERT_EQ(s.open(zel::core::utf8ToWide(std::string(ZEL_DRAWINGS_DIR) +
                                           "/insert_bricscad_level_1.dxf")),
              L"");
    // Current properties unlike any the file's blocks use.
    run("-LAYER M OTHER \"\"\nCOLOR 5\n");
    run("EXPLODE ALL \"\"\n"); // the references of arrows_lv1 into references of arrows
    run("EXPLODE ALL \"\"\n"); // those into the block's red and green lines
    // The block's lines are red and green; the file's polylines (yellow) explode into lines of
    // their own colour; none takes the current layer or colour.
    int fromBlock = 0;
    for (AcDbObjectId id : entities("LINE")) {
        auto* l = zel::db::peekAs<AcDbEntity>(id);
        EXPECT_STREQ(l->layer(), L"0");
        EXPECT_NE(l->colorIndex(), 5);
        fromBlock += l->colorIndex() == 1 || l->colorIndex() == 3 ? 1 : 0;
    }
    EXPECT_GE(fromBlock, 6) << transcript();
}

} // namespace
