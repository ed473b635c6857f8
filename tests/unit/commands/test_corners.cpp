// FILLET, CHAMFER, OFFSET, BOUNDARY and AREA on a drawing: what trimmed curves keep (handle,
// properties, extended data), where the new entities go and with which properties, failures
// leaving the drawing as it was (and LASTPROMPT saying why, as the modules check), token lists
// of (entity point) picks as modules give them, undo, 2-D polylines with VERTEX entities, and
// a boundary in a large drawing found through the spatial index.
#include "session_fixture.h"

#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "db/database_impl.h"
#include "geom/area.h"
#include "geom/bulge.h"
#include "geom/closest.h"

#include <chrono>

namespace {

using zel::geom::Vec2;

class Corners : public SessionTest {
protected:
    AcDbObjectId addDressedLine(Vec2 a, Vec2 b) {
        run("-LAYER M WALLS \"\"\n-LAYER S 0 \"\"\n");
        acdbRegApp(L"CORNERTEST");
        auto l = std::make_unique<AcDbLine>(AcGePoint3d(a.x, a.y, 0), AcGePoint3d(b.x, b.y, 0));
        l->setLayer(L"WALLS");
        l->setColorIndex(3);
        l->setLinetypeScale(2.5);
        ZelGroupValue v;
        v.code = 1000;
        v.text = L"keep me";
        l->setXDataGroups({{L"CORNERTEST", {v}}});
        return add(std::move(l));
    }
    void expectDressed(AcDbObjectId id) {
        auto* e = zel::db::peekAs<AcDbEntity>(id);
        ASSERT_TRUE(e);
        EXPECT_STREQ(e->layer(), L"WALLS");
        EXPECT_EQ(e->colorIndex(), 3);
        EXPECT_DOUBLE_EQ(e->linetypeScale(), 2.5);
        ASSERT_EQ(e->xDataGroups().size(), 1u);
        EXPECT_EQ(e->xDataGroups()[0].values.at(0).text, L"keep me");
    }
    std::optional<zel::geom::Curve> curve(AcDbObjectId id) { return zel::commands::curveOfId(id); }
    void eraseAll() {
        for (AcDbObjectId id : entities())
            zel::commands::eraseEntity(id);
    }
    // Runs a host command from a token list with (entity point) picks, as modules do.
    int cmd(const wchar_t* name, std::initializer_list<const wchar_t*> options,
            std::vector<std::pair<AcDbObjectId, Vec2>> picks) {
        resbuf* head = acutBuildList(RTSTR, name, 0);
        resbuf* tail = head;
        auto append = [&](resbuf* rb) {
            tail->rbnext = rb;
            while (tail->rbnext)
                tail = tail->rbnext;
        };
        for (const wchar_t* o : options)
            append(acutBuildList(RTSTR, o, 0));
        for (auto& [id, p] : picks) {
            ads_name name;
            acdbGetAdsName(name, id);
            ads_point pt{p.x, p.y, 0};
            append(acutBuildList(RTLB, RTENAME, name, RTPOINT, pt, RTLE, 0));
        }
        int status = engine().cmdS(head);
        acutRelRb(head);
        return status;
    }
};

TEST_F(Corners, FilletKeepsTheSourcesAndPutsTheArcLastOnTheCurrentLayer) {
    AcDbObjectId a = addDressedLine({0, 0}, {100, 0});
    AcDbObjectId b = addLine({0, 0}, {0, 100});
    AcDbHandle handle = a.handle();
    run("-LAYER M ROUND C 4 ROUND \"\"\nCOLOR 6\n");
    ASSERT_EQ(cmd(L"FILLET", {L"R", L"10"}, {{a, {50, 0}}, {b, {0, 50}}}), RTNORM) << transcript();
    EXPECT_EQ(a.handle(), handle);
    expectDressed(a);
    EXPECT_NEAR(zel::geom::length(*curve(a)), 90, 1e-9);
    EXPECT_NEAR(zel::geom::length(*curve(b)), 90, 1e-9);
    std::vector<AcDbObjectId> all = entities();
    ASSERT_EQ(all.size(), 3u);
    auto* arc = zel::db::peekAs<AcDbArc>(all.back());
    ASSERT_TRUE(arc) << "the arc is the last entity";
    EXPECT_STREQ(arc->layer(), L"ROUND");
    EXPECT_EQ(arc->colorIndex(), 6);
    EXPECT_NEAR(arc->radius(), 10, 1e-12);
    EXPECT_NEAR(arc->center().x, 10, 1e-9);
    EXPECT_NEAR(arc->center().y, 10, 1e-9);
    // One undo step takes it all back.
    run("U\n");
    EXPECT_EQ(entities().size(), 2u);
    EXPECT_NEAR(zel::geom::length(*curve(a)), 100, 1e-9);
}

TEST_F(Corners, FailuresChangeNothingAndLeaveTheirMessageInLastPrompt) {
    struct Case {
        const wchar_t* command;
        std::initializer_list<const wchar_t*> options;
        const char* message;
    };
    const Case cases[] = {
        {L"FILLET", {L"R", L"50"}, "半径 が大きすぎます"},
        {L"CHAMFER", {L"D", L"40", L"5"}, "距離 が大きすぎます"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        AcDbObjectId a = addLine({0, 0}, {30, 0});
        AcDbObjectId b = addLine({0, 0}, {0, 30});
        std::string before = dump();
        EXPECT_EQ(cmd(c.command, c.options, {{a, {20, 0}}, {b, {0, 20}}}), RTNORM);
        EXPECT_EQ(dump(), before);
        EXPECT_NE(zel::core::wideToUtf8(var(L"LASTPROMPT")).find(c.message), std::string::npos)
            << transcript();
        eraseAll();
    }
}

TEST_F(Corners, ChamferDistancesGoTowardsThePicksAndTheLineIsLast) {
    AcDbObjectId a = addLine({-50, 0}, {100, 0});
    AcDbObjectId b = addLine({0, -50}, {0, 100});
    ASSERT_EQ(cmd(L"CHAMFER", {L"D", L"10", L"20"}, {{a, {-30, 0}}, {b, {0, 60}}}), RTNORM);
    auto ca = std::get<zel::geom::Segment>(*curve(a));
    auto cb = std::get<zel::geom::Segment>(*curve(b));
    EXPECT_NEAR(dist(ca.end, {-10, 0}), 0, 1e-9) << "the left part kept up to 10 from the corner";
    EXPECT_NEAR(dist(cb.start, {0, 20}), 0, 1e-9) << "the upper part kept from 20";
    auto* line = zel::db::peekAs<AcDbLine>(entities().back());
    ASSERT_TRUE(line);
    EXPECT_NEAR(line->startPoint().distanceTo(AcGePoint3d(-10, 0, 0)), 0, 1e-9);
    EXPECT_NEAR(line->endPoint().distanceTo(AcGePoint3d(0, 20, 0)), 0, 1e-9);
}

TEST_F(Corners, FilletOfTwoSegmentsOfATwoDPolylineKeepsItsVertices) {
    run("PLINETYPE 0\nLINE 0,0 10,0 \"\"\nLINE 10,0 10,10 \"\"\nPEDIT 5,0 Y J 10,5 \"\" X\n");
    std::vector<AcDbObjectId> pl = entities("POLYLINE");
    ASSERT_EQ(pl.size(), 1u) << transcript();
    AcDbHandle handle = pl[0].handle();
    ASSERT_EQ(cmd(L"FILLET", {L"R", L"2"}, {{pl[0], {5, 0}}, {pl[0], {10, 5}}}), RTNORM);
    std::vector<AcDbObjectId> after = entities("POLYLINE");
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].handle(), handle);
    auto p = std::get<zel::geom::Polyline>(*curve(after[0]));
    ASSERT_EQ(p.vertices.size(), 4u) << transcript();
    EXPECT_NEAR(zel::geom::signedArea(p), 50 - (4 - zel::geom::kPi), 1e-9);
    EXPECT_TRUE(entities("ARC").empty()) << "the arc is a segment, not an entity";
}

TEST_F(Corners, OffsetCopiesKeepTheSourceAndCountOnePerPiece) {
    AcDbObjectId a = addDressedLine({0, 0}, {100, 0});
    run("OFFSET 5 50,0 50,10 \"\"\n");
    std::vector<AcDbObjectId> lines = entities("LINE");
    ASSERT_EQ(lines.size(), 2u) << transcript();
    EXPECT_EQ(lines[0], a);
    expectDressed(lines[1]);
    auto copy = std::get<zel::geom::Segment>(*curve(lines[1]));
    EXPECT_NEAR(copy.start.y, 5, 1e-12);
    // A closed polyline offset inwards across its waist gives two polylines.
    run("PLINE 200,200 300,200 300,240 400,240 400,200 500,200 500,300 400,300 400,260 "
        "300,260 300,300 200,300 C\nOFFSET 15 250,200 250,250 \"\"\n");
    EXPECT_EQ(entities("LWPOLYLINE").size(), 3u) << transcript();
}

TEST_F(Corners, BoundaryMakesTwoDPolylinesWithVerticesOnTheCurrentLayer) {
    run("LINE 0,0 100,0 100,100 0,100 C\nCIRCLE 50,50 20\n-LAYER M EDGE \"\"\n"
        "PLINETYPE 0\n-BOUNDARY 10,10 \"\"\n");
    std::vector<AcDbObjectId> made = entities("POLYLINE");
    ASSERT_EQ(made.size(), 2u) << transcript();
    double areas = 0;
    for (AcDbObjectId id : made) {
        auto* pl = zel::db::peekAs<AcDb2dPolyline>(id);
        ASSERT_TRUE(pl);
        EXPECT_STREQ(pl->layer(), L"EDGE");
        EXPECT_TRUE(pl->isClosed());
        EXPECT_GE(pl->vertexIds().size(), 2u);
        areas += *zel::geom::enclosedArea(*curve(id));
    }
    EXPECT_NEAR(areas, 10000 + zel::geom::kPi * 400, 1e-6);
}

TEST_F(Corners, BoundaryInALargeDrawingLooksOnlyNearThePoint) {
    // 20,000 squares of four lines: the boundary of one takes about as long as in a small
    // drawing, since only the curves near the point are read.
    for (int k = 0; k < 20000; ++k) {
        double x = (k % 141) * 12, y = (k / 141) * 12;
        addLine({x, y}, {x + 10, y});
        addLine({x + 10, y}, {x + 10, y + 10});
        addLine({x + 10, y + 10}, {x, y + 10});
        addLine({x, y + 10}, {x, y});
    }
    run("ZOOM E\n");
    auto t0 = std::chrono::steady_clock::now();
    run("-BOUNDARY 605,605 \"\"\n");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::vector<AcDbObjectId> made = entities("LWPOLYLINE");
    ASSERT_EQ(made.size(), 1u) << transcript();
    EXPECT_NEAR(*zel::geom::enclosedArea(*curve(made[0])), 100, 1e-9);
    EXPECT_LT(seconds, 2.0) << "a sanitizer build allows for slack; the benchmark measures it";
}

TEST_F(Corners, AreaOfPointsAndObjectsSetsTheVariables) {
    run("AREA 0,0 40,0 40,30 0,30 \"\"\n");
    EXPECT_EQ(var(L"AREA"), std::to_wstring(1200.0));
    EXPECT_EQ(var(L"PERIMETER"), std::to_wstring(140.0));
    run("CIRCLE 100,100 10\nAREA O 110,100\n");
    EXPECT_NEAR(std::stod(var(L"AREA")), zel::geom::kPi * 100, 1e-6);
    EXPECT_NEAR(std::stod(var(L"PERIMETER")), zel::geom::kPi * 20, 1e-6);
}

} // namespace
