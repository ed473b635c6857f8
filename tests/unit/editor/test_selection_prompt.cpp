// The "オブジェクトを選択:" prompt driven by scripted events: picks (topmost first), implied
// windows, the options, add and remove modes, undo, locked layers, the previous set, tokens a
// command hands over, single selection, Esc; and the single-entity pick.
#include "core/resbuf.h"
#include "editor/selection_messages.h"
#include "selection_fixture.h"

using namespace zel::editor;
using zel::core::wideToUtf8;

namespace {

std::string msg(SelMsg m) {
    return wideToUtf8(std::wstring(text(m)));
}

class SelectPrompt : public SelectionTest {
protected:
    // Lines that the tests pick and window: a from (0,0) to (10,0), b from (5,5) to (30,5),
    // c a circle of radius 2 at (50,0).
    void SetUp() override {
        a = line(0, 0, 10, 0);
        b = line(5, 5, 30, 5);
        c = circle(50, 0, 2);
    }
    SelectResult run(const char* script, SelectRequest req = {}) {
        feed(script);
        return selectObjects(ed, req);
    }
    AcDbObjectId a, b, c;
};

TEST_F(SelectPrompt, PickTakesTheTopmostEntityInThePickBox) {
    AcDbObjectId over = line(0, 0, 10, 0); // drawn after a, on top of it
    SelectResult r = run("!pick 5,0.5\n\"\"\n");
    EXPECT_EQ(r.status, RTNORM);
    EXPECT_EQ(r.ids, EntityIds{over});
    EXPECT_EQ(count("1 個を検出"), 1);
    EXPECT_EQ(count("オブジェクトを選択:"), 2) << transcript();
}

TEST_F(SelectPrompt, PickBoxFollowsTheView) {
    // 3 pixels of 1080 over a view 297 high: 0.825 units; at twice the view height 1.65.
    EXPECT_EQ(run("!pick 5,1.2\n!esc\n").status, RTCAN) << "1.2 off the line: a window starts";
    ed.setView(AcGePoint3d(0, 0, 0), 594);
    EXPECT_EQ(run("!pick 5,1.2\n\"\"\n").ids, EntityIds{a});
}

TEST_F(SelectPrompt, ImpliedWindowLeftToRightAndCrossingRightToLeft) {
    SelectResult w = run("!pick -1,-1\n!pick 20,10\n\"\"\n");
    EXPECT_EQ(w.ids, EntityIds{a}) << "b reaches out of the window";
    EXPECT_EQ(count(msg(SelMsg::OtherCorner).c_str()), 1);
    SelectResult cr = run("!pick 20,10\n!pick -1,-1\n\"\"\n");
    EXPECT_EQ(cr.ids, (EntityIds{b, a})) << "crossing takes both, topmost first";
    EXPECT_EQ(ed.vars().integer(L"ERRNO"), 7) << "the click found nothing";
}

TEST_F(SelectPrompt, TypedOptions) {
    struct Case {
        const char* script;
        EntityIds expected;
    };
    const Case cases[] = {
        {"W -1,-3 60,10 \"\"", {c, b, a}},
        {"w -1,-1 20,10 \"\"", {a}},
        {"C 6,-1 7,6 \"\"", {b, a}},
        {"_C 6,-1 7,6 \"\"", {b, a}},
        {"F 8,-2 8,20 \"\" \"\"", {b, a}},
        {"F 8,-2 8,20 40,0 60,0 U \"\" \"\"", {b, a}},
        {"F 8,-2 8,20 40,0 60,0 \"\" \"\"", {c, b, a}},
        {"WP -1,-1 11,-1 11,1 -1,1 \"\" \"\"", {a}},
        {"CP 6,-1 7,-1 7,6 \"\" \"\"", {b, a}},
        {"L \"\"", {c}},
        {"ALL \"\"", {a, b, c}},
        {"ALL R !pick 5,0 \"\"", {b, c}},
        {"ALL R !pick 5,0 A !pick 5,0 \"\"", {b, c, a}},
        {"ALL U !pick 5,0 \"\"", {a}},
        {"Window -1,-1 20,10 \"\"", {a}},
        {"5,0 \"\"", {a}}, // a typed point picks like a click
    };
    for (const Case& k : cases) {
        SelectResult r = run(k.script);
        EXPECT_EQ(r.status, RTNORM) << k.script;
        EXPECT_EQ(r.ids, k.expected) << k.script << "\n" << transcript();
    }
}

TEST_F(SelectPrompt, PreviousSetIsTheLastFinishedSelection) {
    EXPECT_EQ(run("P \"\"").status, RTNONE);
    EXPECT_EQ(count(msg(SelMsg::NoPrevious).c_str()), 1);
    run("!pick 5,0 !pick 50,2 \"\"");
    EXPECT_EQ(previousSelection(ed), (EntityIds{a, c}));
    EXPECT_EQ(run("!esc").status, RTCAN);
    EXPECT_EQ(previousSelection(ed), (EntityIds{a, c})) << "a cancelled selection leaves it";
    erase(a);
    EXPECT_EQ(run("P \"\"").ids, EntityIds{c}) << "erased entities drop out";
}

TEST_F(SelectPrompt, CountsDuplicatesAndTotals) {
    run("!pick 5,0 !pick 5,0 !pick 50,2 \"\"");
    EXPECT_EQ(count("1 個を検出 (1 個重複)、合計 1 個"), 1) << transcript();
    EXPECT_EQ(count("1 個を検出、合計 2 個"), 1) << transcript();
}

TEST_F(SelectPrompt, LockedLayersAreSkippedWithAMessage) {
    layer(L"LOCKED", true);
    modify<AcDbEntity>(b, [](AcDbEntity& e) { e.setLayer(L"LOCKED"); });
    EXPECT_EQ(run("ALL \"\"").ids, (EntityIds{a, c}));
    EXPECT_EQ(count(wideToUtf8(lockedText(1)).c_str()), 1) << transcript();
    SelectRequest keep;
    keep.skipLocked = false;
    EXPECT_EQ(run("ALL \"\"", keep).ids, (EntityIds{a, b, c}));
}

TEST_F(SelectPrompt, HiddenLayersAreNotPicked) {
    layer(L"OFF", false, true);
    modify<AcDbEntity>(a, [](AcDbEntity& e) { e.setLayer(L"OFF"); });
    EXPECT_EQ(run("!pick 5,0 !esc").status, RTCAN) << "nothing there: a window starts";
    EXPECT_EQ(run("W -1,-3 60,10 \"\"").ids, (EntityIds{c, b}));
}

TEST_F(SelectPrompt, EnterWithNothingAndEsc) {
    EXPECT_EQ(run("\"\"").status, RTNONE);
    EXPECT_EQ(run("W -1,-1 !esc").status, RTCAN);
    EXPECT_EQ(count("*キャンセル*"), 1);
}

TEST_F(SelectPrompt, InvalidOptionRepeatsThePrompt) {
    SelectResult r = run("XYZ !pick 5,0 \"\"");
    EXPECT_EQ(r.ids, EntityIds{a});
    EXPECT_EQ(count(msg(SelMsg::Invalid).c_str()), 1);
    EXPECT_EQ(count(msg(SelMsg::InvalidHelp).c_str()), 1);
}

TEST_F(SelectPrompt, SingleSelectionEndsAtTheFirstFind) {
    SelectRequest req;
    req.single = true;
    feed("!pick 5,0 !pick 50,2");
    EXPECT_EQ(selectObjects(ed, req).ids, EntityIds{a});
    EXPECT_EQ(ed.queue().size(), 1u) << "the second pick is left for whoever reads next";
    ed.queue().clear();
}

TEST_F(SelectPrompt, PickAllTakesEverythingInThePickBox) {
    AcDbObjectId over = line(0, 0, 10, 0);
    SelectRequest req;
    req.pickAll = true;
    EXPECT_EQ(run("!pick 5,0 \"\"", req).ids, (EntityIds{over, a}));
}

TEST_F(SelectPrompt, TokensOfACommandComeFirst) {
    std::vector<SelectionToken> tokens = {{SelectionToken::Entity, {c}, {}},
                                          {SelectionToken::Set, {a, b, c}, {}}};
    SelectRequest req;
    req.tokens = [&]() -> std::optional<SelectionToken> {
        if (tokens.empty()) return std::nullopt;
        SelectionToken t = tokens.front();
        tokens.erase(tokens.begin());
        return t;
    };
    std::vector<InputKind> gates;
    ed.setInputGate([&](InputKind k) { gates.push_back(k); });
    EXPECT_EQ(run("\"\"", req).ids, (EntityIds{c, a, b}));
    EXPECT_EQ(gates.size(), 1u) << "the gate is asked before reading the queue only";
    EXPECT_EQ(count("1 個を検出"), 1);
    EXPECT_EQ(count("3 個を検出 (1 個重複)、合計 3 個"), 1) << transcript();
}

TEST_F(SelectPrompt, FilterLeavesOutWhatFails) {
    zel::core::RbPtr filter(acutBuildList(RTDXF0, L"CIRCLE", 0));
    SelectRequest req;
    req.filter = filter.get();
    EXPECT_EQ(run("ALL \"\"", req).ids, EntityIds{c});
    EXPECT_EQ(count(wideToUtf8(filteredText(2)).c_str()), 1) << transcript();
    zel::core::RbPtr bad(acutBuildList(-4, L"<OR", RTDXF0, L"LINE", 0));
    req.filter = bad.get();
    EXPECT_EQ(run("", req).status, RTERROR);
}

TEST_F(SelectPrompt, IndexFollowsChangesBetweenSelections) {
    EXPECT_EQ(run("!pick 5,0 \"\"").ids, EntityIds{a});
    modify<AcDbLine>(a, [](AcDbLine& l) {
        l.setStartPoint(AcGePoint3d(100, 100, 0));
        l.setEndPoint(AcGePoint3d(110, 100, 0));
    });
    EXPECT_EQ(run("!pick 105,100 \"\"").ids, EntityIds{a});
    AcDbObjectId d = line(0, 0, 10, 0);
    EXPECT_EQ(run("!pick 5,0 \"\"").ids, EntityIds{d});
}

class EntityPickTest : public SelectPrompt {};

TEST_F(EntityPickTest, HitMissEnterAndKeyword) {
    feed("!pick 5,0.3");
    EntityPick p = pickEntity(ed, L"\n線を選択:");
    EXPECT_EQ(p.status, RTNORM);
    EXPECT_EQ(p.id, a);
    EXPECT_EQ(p.point, AcGePoint3d(5, 0.3, 0));
    feed("!pick 5,3");
    EXPECT_EQ(pickEntity(ed, L"").status, RTERROR);
    EXPECT_EQ(ed.vars().integer(L"ERRNO"), 7);
    EXPECT_EQ(count(msg(SelMsg::NothingFound).c_str()), 1);
    feed("\"\"");
    EXPECT_EQ(pickEntity(ed, L"").status, RTNONE);
    ASSERT_EQ(acedInitGet(0, L"Undo"), RTNORM);
    feed("U");
    EXPECT_EQ(pickEntity(ed, L"").status, RTKWORD);
    EXPECT_EQ(ed.lastKeyword(), L"Undo");
    feed("!esc");
    EXPECT_EQ(pickEntity(ed, L"").status, RTCAN);
}

TEST_F(EntityPickTest, ObjectSnapsDoNotMoveThePick) {
    ed.setOsnapHook([](const AcGePoint3d&, int) { return AcGePoint3d(1000, 1000, 0); });
    ASSERT_EQ(setShort(L"OSMODE", 1), RTNORM);
    feed("!pick 5,0");
    EXPECT_EQ(pickEntity(ed, L"").id, a);
    feed("!pick 5,0 \"\"");
    EXPECT_EQ(selectObjects(ed).ids, EntityIds{a});
    EXPECT_TRUE(bool(ed.osnapHook())) << "the hook is given back";
}

} // namespace
