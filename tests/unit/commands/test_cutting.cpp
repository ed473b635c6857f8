// The cutting commands on a drawing: what pieces keep of their source (properties, extended
// data, handle), undo, 2-D polylines and their VERTEX entities, explode placement and order,
// and seeded random checks: the indexed search for cutting edges against trying every edge,
// and STRETCH moving exactly the points inside its window.
#include "session_fixture.h"

#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "commands/trim_edges.h"
#include "db/database_impl.h"
#include "geom/closest.h"
#include "geom/cutting.h"

#include <cstdlib>
#include <random>
#include <sstream>

namespace {

using zel::geom::Vec2;

class Cutting : public SessionTest {
protected:
    // A line on its own layer, colour, linetype, weight and scale, with extended data.
    AcDbObjectId addDressedLine(Vec2 a, Vec2 b) {
        run("-LAYER M WALLS \"\"\n");
        acdbRegApp(L"CUTTEST");
        auto l = std::make_unique<AcDbLine>(AcGePoint3d(a.x, a.y, 0), AcGePoint3d(b.x, b.y, 0));
        l->setLayer(L"WALLS");
        l->setColorIndex(3);
        l->setLineWeight(AcDb::LineWeight(50));
        l->setLinetypeScale(2.5);
        ZelGroupValue v;
        v.code = 1000;
        v.text = L"keep me";
        l->setXDataGroups({{L"CUTTEST", {v}}});
        return add(std::move(l));
    }
    void expectDressed(AcDbObjectId id) {
        auto* e = zel::db::peekAs<AcDbEntity>(id);
        ASSERT_TRUE(e);
        EXPECT_STREQ(e->layer(), L"WALLS");
        EXPECT_EQ(e->colorIndex(), 3);
        EXPECT_EQ(int(e->lineWeight()), 50);
        EXPECT_DOUBLE_EQ(e->linetypeScale(), 2.5);
        ASSERT_EQ(e->xDataGroups().size(), 1u);
        EXPECT_EQ(e->xDataGroups()[0].values.at(0).text, L"keep me");
    }
    std::optional<zel::geom::Curve> curve(AcDbObjectId id) { return zel::commands::curveOfId(id); }
};

TEST_F(Cutting, PiecesKeepPropertiesAndXdataAndTheFirstKeepsTheHandle) {
    AcDbObjectId id = addDressedLine({0, 0}, {100, 0});
    AcDbHandle handle = id.handle();
    run("BREAK 20,0 40,0\n");
    std::vector<AcDbObjectId> lines = entities("LINE");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], id);
    EXPECT_EQ(lines[0].handle(), handle);
    for (AcDbObjectId piece : lines)
        expectDressed(piece);
    EXPECT_NEAR(zel::geom::length(*curve(lines[0])), 20, 1e-9);
    EXPECT_NEAR(zel::geom::length(*curve(lines[1])), 60, 1e-9);
}

TEST_F(Cutting, BreakOfACurveGivenByNameTakesBothPointsFromTheTokens) {
    AcDbObjectId id = addLine({0, 0}, {100, 0});
    ads_name name;
    ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
    resbuf* rb = acutBuildList(RTSTR, L"BREAK", RTENAME, name, RTSTR, L"F", RTSTR, L"10,0", RTSTR,
                               L"30,0", 0);
    EXPECT_EQ(engine().cmdS(rb), RTNORM) << transcript();
    acutRelRb(rb);
    std::vector<AcDbObjectId> lines = entities("LINE");
    ASSERT_EQ(lines.size(), 2u) << transcript();
    EXPECT_NEAR(zel::geom::length(*curve(lines[0])), 10, 1e-9);
    EXPECT_NEAR(zel::geom::length(*curve(lines[1])), 70, 1e-9);
}

TEST_F(Cutting, ACircleTrimmedIntoAnArcKeepsItsHandleAndUndoBringsItBack) {
    AcDbObjectId circle =
        add(std::make_unique<AcDbCircle>(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 10));
    AcDbHandle handle = circle.handle();
    addLine({-20, 0}, {20, 0});
    run("TRIM \"\" 0,10 \"\"\n");
    ASSERT_TRUE(zel::db::peekAs<AcDbArc>(circle)) << transcript();
    EXPECT_EQ(circle.handle(), handle);
    auto a = std::get<zel::geom::Arc>(*curve(circle));
    EXPECT_NEAR(a.start, zel::geom::kPi, 1e-12);
    EXPECT_NEAR(a.end, zel::geom::kTwoPi, 1e-12);
    run("U\n");
    auto* back = zel::db::peekAs<AcDbCircle>(circle);
    ASSERT_TRUE(back);
    EXPECT_FALSE(AcDbArc::cast(back));
    EXPECT_EQ(circle.handle(), handle);
}

TEST_F(Cutting, TwoDPolylinePiecesAreTwoDPolylinesWithVertexEntities) {
    std::vector<AcGePoint3d> pts{{0, 0, 0}, {50, 0, 0}, {100, 0, 0}};
    AcDbObjectId id = add(std::make_unique<AcDb2dPolyline>(AcDb::k2dSimplePoly, pts));
    run("BREAK 20,0 70,0\n");
    std::vector<AcDbObjectId> polys = entities("POLYLINE");
    ASSERT_EQ(polys.size(), 2u) << transcript();
    EXPECT_EQ(polys[0], id);
    for (AcDbObjectId p : polys) {
        auto* pl = zel::db::peekAs<AcDb2dPolyline>(p);
        ASSERT_TRUE(pl);
        EXPECT_EQ(pl->vertexData().size(), 2u);
    }
    auto first = std::get<zel::geom::Polyline>(*curve(polys[0]));
    EXPECT_NEAR(first.vertices.back().point.x, 20, 1e-9);
    auto second = std::get<zel::geom::Polyline>(*curve(polys[1]));
    EXPECT_NEAR(second.vertices.front().point.x, 70, 1e-9);
    EXPECT_EQ(second.vertices.size(), 2u);
}

TEST_F(Cutting, PeditJoinWithPlinetypeZeroMakesATwoDPolylineAndCountsTheSegments) {
    addLine({0, 0}, {10, 0});
    addLine({10, 0}, {10, 10});
    addLine({10, 10}, {0, 0});
    run("SETVAR PLINETYPE 0\nPEDIT 5,0 Y J ALL \"\" X\n");
    EXPECT_TRUE(has("2 個のセグメントがポリラインに追加されました。")) << transcript();
    EXPECT_TRUE(entities("LINE").empty());
    std::vector<AcDbObjectId> polys = entities("POLYLINE");
    ASSERT_EQ(polys.size(), 1u);
    auto* pl = zel::db::peekAs<AcDb2dPolyline>(polys[0]);
    ASSERT_TRUE(pl);
    EXPECT_TRUE(pl->isClosed());
    EXPECT_EQ(pl->vertexData().size(), 3u);
    size_t live = 0;
    for (AcDbObjectId v : pl->vertexIds())
        live += v.isErased() ? 0 : 1;
    EXPECT_EQ(live, 3u);
}

TEST_F(Cutting, ExplodedBlockReferenceIsPlacedByItsTransformAndAppendedInOrder) {
    // Block B1: a line and a circle; a reference to it scaled by 2 and turned a quarter.
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(s.database().getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    auto record = std::make_unique<AcDbBlockTableRecord>();
    record->setName(L"B1");
    AcDbObjectId recordId;
    ASSERT_EQ(table->add(recordId, record.get()), Acad::eOk);
    AcDbBlockTableRecord* r = record.release(); // the table owns it
    std::unique_ptr<AcDbEntity> parts[] = {
        std::make_unique<AcDbLine>(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)),
        std::make_unique<AcDbCircle>(AcGePoint3d(10, 0, 0), AcGeVector3d::kZAxis, 2)};
    for (auto& part : parts) {
        AcDbEntity* raw = part.get();
        ASSERT_EQ(r->appendAcDbEntity(raw), Acad::eOk);
        part.release()->close();
    }
    r->close();
    table->close();
    auto ref = std::make_unique<AcDbBlockReference>(AcGePoint3d(100, 100, 0), recordId);
    ref->setScaleFactors(AcGeScale3d(2, 2, 2));
    ref->setRotation(zel::geom::kPi / 2);
    add(std::move(ref));
    AcDbObjectId before = addLine({500, 500}, {510, 500});
    ASSERT_EQ(entities("INSERT").size(), 1u) << transcript();
    run("EXPLODE 100,100 \"\"\n");
    std::vector<AcDbObjectId> all = entities();
    ASSERT_EQ(all.size(), 3u) << transcript();
    EXPECT_EQ(all[1], before); // the first piece took the reference's place
    auto line = std::get<zel::geom::Segment>(*curve(all[0]));
    EXPECT_NEAR(line.start.x, 100, 1e-9);
    EXPECT_NEAR(line.end.y, 120, 1e-9);
    auto circle = std::get<zel::geom::Circle>(*curve(all[2]));
    EXPECT_NEAR(circle.center.y, 120, 1e-9);
    EXPECT_NEAR(circle.radius, 4, 1e-9);
}

// ---- seeded random checks -----------------------------------------------------------------

TEST_F(Cutting, IndexedCutSearchFindsTheSameNearestCutsAsTryingEveryEdge) {
    std::mt19937 rng(601);
    std::uniform_real_distribution<double> coord(0, 1000), len(5, 150), angle(0, 6.28318);
    std::vector<AcDbObjectId> ids;
    for (int i = 0; i < 3000; ++i) {
        Vec2 a{coord(rng), coord(rng)};
        ids.push_back(addLine(a, a + zel::geom::polar(angle(rng)) * len(rng)));
    }
    zel::commands::EdgeSet all;
    for (int k = 0; k < 300; ++k) {
        AcDbObjectId id = ids[rng() % ids.size()];
        zel::geom::Curve c = *curve(id);
        double t = std::uniform_real_distribution<double>(0, zel::geom::length(c))(rng);
        auto fast = zel::commands::cutParams(engine(), all, id, c, t, false);
        auto slow = zel::commands::cutParamsScan(engine(), id, c, false);
        auto a = zel::geom::trimAt(c, t, fast), b = zel::geom::trimAt(c, t, slow);
        ASSERT_EQ(a.has_value(), b.has_value()) << "pick " << k;
        if (!a) continue;
        ASSERT_EQ(a->size(), b->size()) << "pick " << k;
        for (size_t p = 0; p < a->size(); ++p) {
            EXPECT_LE(zel::geom::dist(startPoint((*a)[p]), startPoint((*b)[p])), 1e-12);
            EXPECT_LE(zel::geom::dist(endPoint((*a)[p]), endPoint((*b)[p])), 1e-12);
        }
    }
}

// The points of a line or light polyline (world XY).
std::vector<Vec2> pointsOf(AcDbObjectId id) {
    std::vector<Vec2> out;
    if (auto* l = zel::db::peekAs<AcDbLine>(id)) {
        out.push_back({l->startPoint().x, l->startPoint().y});
        out.push_back({l->endPoint().x, l->endPoint().y});
    } else if (auto* p = zel::db::peekAs<AcDbPolyline>(id)) {
        for (unsigned i = 0; i < p->numVerts(); ++i) {
            AcGePoint3d v;
            p->getPointAt(i, v);
            out.push_back({v.x, v.y});
        }
    }
    return out;
}

// Entities stretched in all (ZEL_PROPERTY_CASES sets the count), 40 to a round.
int stretchRounds() {
    const char* v = std::getenv("ZEL_PROPERTY_CASES");
    return std::max(1, (v ? std::atoi(v) : 10000) / 40);
}

TEST_F(Cutting, StretchMovesExactlyThePointsInsideTheCrossingWindow) {
    std::mt19937 rng(602);
    std::uniform_real_distribution<double> coord(0, 100);
    for (int round = 0, rounds = stretchRounds(); round < rounds; ++round) {
        run("ERASE ALL \"\"\n");
        std::vector<AcDbObjectId> ids;
        for (int i = 0; i < 40; ++i) {
            if (i % 2) {
                ids.push_back(addLine({coord(rng), coord(rng)}, {coord(rng), coord(rng)}));
                continue;
            }
            auto pl = std::make_unique<AcDbPolyline>();
            for (unsigned v = 0; v < 4; ++v)
                pl->addVertexAt(v, AcGePoint2d(coord(rng), coord(rng)));
            ids.push_back(add(std::move(pl)));
        }
        std::vector<std::vector<Vec2>> before;
        for (AcDbObjectId id : ids)
            before.push_back(pointsOf(id));
        Vec2 a{coord(rng), coord(rng)}, b{coord(rng), coord(rng)};
        Vec2 lo{std::min(a.x, b.x), std::min(a.y, b.y)}, hi{std::max(a.x, b.x), std::max(a.y, b.y)};
        Vec2 d{coord(rng) - 50, coord(rng) - 50};
        std::ostringstream cmd;
        cmd.precision(17);
        cmd << "STRETCH C " << hi.x << "," << lo.y << " " << lo.x << "," << hi.y << " \"\" 0,0 "
            << d.x << "," << d.y << "\n";
        run(cmd.str());
        for (size_t i = 0; i < ids.size(); ++i) {
            std::vector<Vec2> after = pointsOf(ids[i]);
            ASSERT_EQ(after.size(), before[i].size());
            for (size_t k = 0; k < after.size(); ++k) {
                Vec2 p = before[i][k];
                bool inside = p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y;
                Vec2 want = inside ? p + d : p;
                EXPECT_LE(zel::geom::dist(after[k], want), 1e-9)
                    << "round " << round << " entity " << i << " point " << k;
            }
        }
    }
}

} // namespace
