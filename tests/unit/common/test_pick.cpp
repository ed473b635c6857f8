// Picking one curve with a live highlight: accepted and refused kinds, object snap frozen once
// and given back, auxiliary lines giving way to what lies under them, the draw-order guard and
// the selection the suite's LISP code leaves in global symbols.
#include "module_fixture.h"

#include "arx/dbads.h"
#include "arx/ed.h"
#include "common/services/entkind.h"
#include "common/services/layman.h"
#include "common/services/pick.h"
#include "common/support/zelsupport.h"
#include "db/slot.h"

namespace {

class Pick : public ModuleTest {
protected:
    Pick() { run("(setvar \"HIGHLIGHT\" 1)\n(setvar \"OSMODE\" 7)\n"); }
    bool highlighted(AcDbObjectId id) {
        AcDbEntity* e = nullptr;
        if (acdbOpenAcDbEntity(e, id, AcDb::kForRead) != Acad::eOk) return false;
        bool on = e->slot()->highlighted;
        e->close();
        return on;
    }
    AcDbObjectId last() {
        ads_name ent;
        AcDbObjectId id;
        acdbEntLast(ent);
        acdbGetObjectId(id, ent);
        return id;
    }
};

TEST_F(Pick, AnAcceptedCurveIsHeldHighlightedAndDescribed) {
    run("LINE 0,0 100,0 \"\"\n");
    PickRecord pick;
    pick.accepted = kKindLine | kKindArc;
    EXPECT_EQ(SelectAndHilight(pick, AcGePoint3d(50, 0, 0), L"", -1), 1);
    EXPECT_EQ(pick.held, last());
    EXPECT_TRUE(highlighted(pick.held));
    EXPECT_EQ(pick.curve.kind, unsigned(kKindLine));
    EXPECT_TRUE(pick.curve.b.isEqualTo(AcGePoint3d(100, 0, 0)));
    EXPECT_EQ(var(L"OSMODE"), 0) << "object snap frozen while a pick is held";
    double a = 0, b = 0, c = 0;
    LineCoefficients(pick.curve, false, a, b, c);
    EXPECT_DOUBLE_EQ(a, 0);
    EXPECT_DOUBLE_EQ(b, -100);
    EXPECT_DOUBLE_EQ(c, 0);
}

TEST_F(Pick, ARefusedKindHoldsNothingAndGivesObjectSnapBackAsItWasFirst) {
    run("LINE 0,0 100,0 \"\"\nCIRCLE 50,50 10\n");
    PickRecord pick;
    pick.accepted = kKindLine;
    ASSERT_EQ(SelectAndHilight(pick, AcGePoint3d(50, 0, 0), L"", -1), 1);
    ASSERT_EQ(SelectAndHilight(pick, AcGePoint3d(60, 0, 0), L"", -1), 1);
    EXPECT_EQ(pick.savedOsmode, 7) << "saved once, from before the first pick";
    EXPECT_EQ(SelectAndHilight(pick, AcGePoint3d(60, 50, 0), L"", -1), 1);
    EXPECT_TRUE(pick.held.isNull());
    EXPECT_EQ(var(L"OSMODE"), 7);
    EXPECT_EQ(SelectAndHilight(pick, AcGePoint3d(500, 500, 0), L"", -1), 0) << "nothing there";
}

TEST_F(Pick, AnAuxiliaryLineGivesWayToTheLineUnderIt) {
    run("LINE 0,0 100,0 \"\"\n");
    AcDbObjectId ordinary = last();
    ASSERT_EQ(LoadLinetypeFile(L"DRAFT", L"zelcad"), 1);
    run("(setvar \"CELTYPE\" \"DRAFT\")\n(setvar \"CECOLOR\" \"134\")\nLINE 0,0 100,0 \"\"\n");
    AcDbObjectId auxiliary = last();
    PickRecord pick;
    pick.accepted = kKindLine;
    ASSERT_EQ(SelectAndHilight(pick, AcGePoint3d(50, 0, 0), L"", -1), 1);
    EXPECT_EQ(pick.held, auxiliary) << "without an auxiliary style the top line is picked";
    ASSERT_EQ(SelectAndHilight(pick, AcGePoint3d(50, 0, 0), L"draft", 134), 1);
    EXPECT_EQ(pick.held, ordinary);
    EXPECT_FALSE(highlighted(auxiliary)) << "the earlier pick's highlight went";
}

TEST_F(Pick, WithHighlightOffAPickIsHeldButNotShown) {
    run("(setvar \"HIGHLIGHT\" 0)\nLINE 0,0 100,0 \"\"\n");
    PickRecord pick;
    pick.accepted = kKindLine;
    ASSERT_EQ(SelectAndHilight(pick, AcGePoint3d(50, 0, 0), L"", -1), 1);
    EXPECT_FALSE(pick.held.isNull());
    EXPECT_FALSE(highlighted(pick.held));
}

TEST_F(Pick, TheDrawOrderGuardSetsBothBitsForItsLife) {
    run("(setvar \"SORTENTS\" 96)\n");
    {
        CSortEnts guard;
        EXPECT_EQ(var(L"SORTENTS"), 99);
    }
    EXPECT_EQ(var(L"SORTENTS"), 96);
    run("(setvar \"SORTENTS\" 3)\n");
    {
        CSortEnts guard;
        EXPECT_EQ(var(L"SORTENTS"), 3);
    }
    EXPECT_EQ(var(L"SORTENTS"), 3);
}

TEST_F(Pick, AGlobalSelectionOfErasedEntitiesIsClearedToNil) {
    run("LINE 0,0 10,0 \"\"\n(setq ZelGlobalSs2002 (ssget \"L\"))\n");
    ads_name ss;
    ASSERT_TRUE(GlobalSelection(ss));
    acedSSFree(ss);
    run("ERASE L \"\"\n");
    EXPECT_FALSE(GlobalSelection(ss));
    EXPECT_EQ(eval("ZelGlobalSs2002"), "nil");
    run("(setq ZelGlobalPt2002 '(1.0 2.0 3.0))\n(setq ZelGlobalSw2002 6)\n");
    ads_point p;
    ASSERT_TRUE(GlobalPoint(p));
    EXPECT_DOUBLE_EQ(p[Z], 3);
    EXPECT_TRUE(GlobalSwitch(4));
    EXPECT_FALSE(GlobalSwitch(1));
}

// A block of a line and a circle, inserted at 100,0 twice as large and turned 90 degrees: the
// line inside runs from 100,0 to 100,20 in the drawing.
class NestedPick : public Pick {
protected:
    NestedPick() {
        run("LINE 0,0 10,0 \"\"\nCIRCLE 5,5 1\nBLOCK BOLT 0,0 ALL \"\"\n"
            "INSERT BOLT 100,0 2 \"\" 90\n");
        insert = last();
    }
    AcDbObjectId insert;
};

TEST_F(NestedPick, ALineInsideABlockIsDescribedInTheDrawingsCoordinates) {
    PickRecord pick;
    pick.accepted = kKindLine | kKindNested;
    ASSERT_EQ(SelectAndHilight(pick, AcGePoint3d(100, 10, 0), L"", -1), 1);
    EXPECT_TRUE(pick.nested);
    ASSERT_EQ(pick.containers.size(), 1u);
    EXPECT_EQ(pick.containers[0], insert);
    EXPECT_NE(pick.held, insert) << "the line of the definition is held";
    EXPECT_EQ(pick.curve.kind, unsigned(kKindLine));
    EXPECT_TRUE(pick.curve.a.isEqualTo(AcGePoint3d(100, 0, 0)))
        << pick.curve.a.x << "," << pick.curve.a.y;
    EXPECT_TRUE(pick.curve.b.isEqualTo(AcGePoint3d(100, 20, 0)))
        << pick.curve.b.x << "," << pick.curve.b.y;
    EXPECT_TRUE(highlighted(insert)) << "the block reference shows the pick";
    HighlightPick(pick, false);
    EXPECT_FALSE(highlighted(insert));
}

TEST_F(NestedPick, ACircleInsideIsScaledWithTheReference) {
    PickRecord pick;
    pick.accepted = kKindCircle | kKindNested;
    // The circle's centre 5,5 becomes 100-10,10 and its radius 2.
    ASSERT_EQ(SelectAndHilight(pick, AcGePoint3d(90, 12, 0), L"", -1), 1);
    ASSERT_FALSE(pick.held.isNull());
    EXPECT_EQ(pick.curve.kind, unsigned(kKindCircle));
    EXPECT_TRUE(pick.curve.a.isEqualTo(AcGePoint3d(90, 10, 0)));
    EXPECT_NEAR(pick.curve.radius, 2.0, 1e-9);
}

TEST_F(NestedPick, WithoutTheNestedBitAnEntityInsideABlockIsRefused) {
    PickRecord pick;
    pick.accepted = kKindLine;
    ASSERT_EQ(SelectAndHilight(pick, AcGePoint3d(100, 10, 0), L"", -1), 1);
    EXPECT_TRUE(pick.held.isNull());
    EXPECT_FALSE(highlighted(insert));
}

TEST_F(NestedPick, TwoLevelsListTheContainersInnermostFirst) {
    run("BLOCK OUTER 0,0 L \"\"\nINSERT OUTER 0,50 1 \"\" 0\n");
    AcDbObjectId outer = last();
    PickRecord pick;
    pick.accepted = kKindLine | kKindNested;
    ASSERT_EQ(SelectAndHilight(pick, AcGePoint3d(100, 60, 0), L"", -1), 1);
    ASSERT_EQ(pick.containers.size(), 2u);
    EXPECT_EQ(pick.containers.back(), outer);
    EXPECT_TRUE(pick.curve.a.isEqualTo(AcGePoint3d(100, 50, 0)));
    EXPECT_TRUE(highlighted(outer)) << "the outermost reference shows the pick";
}

// The dialog bar keeps the object snap the user chose: frozen for a pick and thawed again, the
// user's modes come back; a change made while frozen is the command's and is not kept.
class BarAids : public Pick {
protected:
    BarAids() {
        load("zelgui");
        run("(setvar \"OSMODE\" 37)\n(setvar \"DRAGMODE\" 1)\n");
    }
};

TEST_F(BarAids, ThawingGivesTheUsersObjectSnapBack) {
    FreezeOsmode(true);
    EXPECT_EQ(var(L"OSMODE"), 0);
    run("(setvar \"OSMODE\" 512)\n");
    FreezeOsmode(false);
    EXPECT_EQ(var(L"OSMODE"), 37);
    EXPECT_EQ(ZelGetLocInt(L"FreezeOsMode", -1), 0);
}

TEST_F(BarAids, TheDragModeComesBackAfterAFreeze) {
    ZelSetFreezeDragMode(1);
    run("(setvar \"DRAGMODE\" 2)\n");
    ZelSetFreezeDragMode(0);
    EXPECT_EQ(eval("(Zelads_ResetDrgmode)"), "nil");
    EXPECT_EQ(var(L"DRAGMODE"), 1);
}

} // namespace
