// The input functions driven by scripted events: answers, refusals with their messages and
// prompts again, keywords, cancel, posted text, dialog-bar events, LASTPOINT and LASTPROMPT.
#include "editor/input.h"
#include "editor/messages.h"
#include "editor_fixture.h"

#include <cmath>
#include <tuple>

using namespace zel::editor;
using zel::core::wideToUtf8;

namespace {

constexpr double kDeg = M_PI / 180;
constexpr double kNear = 1e-9;

std::string msg(Msg m) {
    return wideToUtf8(std::wstring(text(m)));
}

class Input : public EditorTest {
protected:
    std::string lastPrompt() {
        resbuf rb{};
        EXPECT_EQ(acedGetVar(L"LASTPROMPT", &rb), RTNORM);
        std::string s = wideToUtf8(rb.resval.rstring);
        free(rb.resval.rstring);
        return s;
    }
    AcGePoint3d lastPoint() { return ed.vars().point(L"LASTPOINT"); }
};

TEST_F(Input, PointsTypedClickedAndRelative) {
    feed("10,20 !pick 5,5 @1,2 @ ");
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点を指示 :", p), RTNORM);
    EXPECT_EQ(AcGePoint3d(p[X], p[Y], p[Z]), AcGePoint3d(10, 20, 0));
    EXPECT_EQ(lastPoint(), AcGePoint3d(10, 20, 0));
    EXPECT_EQ(lastPrompt(), "点を指示 : 10,20");
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点を指示 :", p), RTNORM);
    EXPECT_EQ(AcGePoint3d(p[X], p[Y], p[Z]), AcGePoint3d(5, 5, 0));
    EXPECT_EQ(lastPrompt(), "点を指示 : 5,5"); // a click is echoed as its point (DIMZIN 8)
    ASSERT_EQ(acedGetPoint(p, L"\n次の点 :", p), RTNORM);
    EXPECT_EQ(AcGePoint3d(p[X], p[Y], p[Z]), AcGePoint3d(6, 7, 0));
    ASSERT_EQ(acedGetPoint(nullptr, L"\n次の点 :", p), RTNORM); // "@" is the last point
    EXPECT_EQ(AcGePoint3d(p[X], p[Y], p[Z]), AcGePoint3d(6, 7, 0));
    EXPECT_EQ(acedGetPoint(nullptr, L"\n次の点 :", p), RTNONE); // the trailing blank: Enter
    EXPECT_EQ(lastPoint(), AcGePoint3d(6, 7, 0));               // Enter leaves it
}

TEST_F(Input, ClicksArriveInTheUcs) {
    ASSERT_EQ(ed.vars().setInternal(L"UCSORG", AcGePoint3d(100, 50, 0)), SetStatus::Ok);
    ASSERT_EQ(ed.vars().setInternal(L"UCSXDIR", AcGePoint3d(0, 1, 0)), SetStatus::Ok);
    ASSERT_EQ(ed.vars().setInternal(L"UCSYDIR", AcGePoint3d(-1, 0, 0)), SetStatus::Ok);
    feed("!pick 100,60");
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, L"", p), RTNORM);
    EXPECT_NEAR(p[X], 10, kNear);
    EXPECT_NEAR(p[Y], 0, kNear);
}

TEST_F(Input, EnterIsRefusedWithBitOne) {
    feed("\"\" 1,1");
    acedInitGet(RSG_NONULL, nullptr);
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点を指示 :", p), RTNORM);
    EXPECT_EQ(count(msg(Msg::PointRequired).c_str()), 1);
    EXPECT_EQ(count("点を指示 :"), 2); // asked again
    // acedInitGet applies to one call only
    feed("\"\"");
    EXPECT_EQ(acedGetPoint(nullptr, L"\n点を指示 :", p), RTNONE);
}

TEST_F(Input, KeywordsAtAPointPrompt) {
    feed("x foo un 3,4");
    ads_point p;
    ACHAR kw[32];
    acedInitGet(0, L"Undo eXit");
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点を指示 [Undo/eXit]:", p), RTKWORD);
    ASSERT_EQ(acedGetInput(kw), RTNORM);
    EXPECT_EQ(std::wstring(kw), L"eXit");
    acedInitGet(0, L"Undo eXit");
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点を指示 [Undo/eXit]:", p), RTKWORD); // foo, then un
    EXPECT_EQ(count(msg(Msg::PointOrKeyword).c_str()), 1);
    ASSERT_EQ(acedGetInput(kw), RTNORM);
    EXPECT_EQ(std::wstring(kw), L"Undo");
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点を指示 :", p), RTNORM); // keywords are gone
}

TEST_F(Input, GlobalKeywordsAndArbitraryInput) {
    feed("q _Undo \"hello there\"");
    ACHAR kw[32];
    acedInitGet(0, L"Annuler Quitter _ Undo Exit");
    ASSERT_EQ(acedGetKword(L"\nオプション :", kw), RTNORM);
    EXPECT_EQ(std::wstring(kw), L"Exit");
    acedInitGet(0, L"Annuler Quitter _ Undo Exit");
    ASSERT_EQ(acedGetKword(L"\nオプション :", kw), RTNORM);
    EXPECT_EQ(std::wstring(kw), L"Undo");
    ads_point p;
    acedInitGet(RSG_OTHER, L"Undo");
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点 :", p), RTKWORD);
    ASSERT_EQ(acedGetInput(kw), RTNORM);
    EXPECT_EQ(std::wstring(kw), L"hello there");
}

TEST_F(Input, GetKwordRefusesOtherWords) {
    feed("maybe !pick 1,1 n \"\" \"\" y");
    ACHAR kw[16];
    acedInitGet(0, L"Yes No");
    ASSERT_EQ(acedGetKword(L"\n続けますか? [Yes/No] :", kw), RTNORM);
    EXPECT_EQ(std::wstring(kw), L"No");
    EXPECT_EQ(count(msg(Msg::InvalidKeyword).c_str()), 2); // the word and the click
    acedInitGet(0, L"Yes No");
    EXPECT_EQ(acedGetKword(L"\n続けますか? :", kw), RTNONE);
    acedInitGet(RSG_NONULL, L"Yes No");
    ASSERT_EQ(acedGetKword(L"\n続けますか? :", kw), RTNORM);
    EXPECT_EQ(std::wstring(kw), L"Yes");
}

TEST_F(Input, AmbiguousKeywordIsAskedAgain) {
    feed("LI LINET");
    ACHAR kw[16];
    acedInitGet(0, L"LIne LInetype");
    ASSERT_EQ(acedGetKword(L"\n:", kw), RTNORM);
    EXPECT_EQ(std::wstring(kw), L"LInetype");
    EXPECT_EQ(count(msg(Msg::Ambiguous).c_str()), 1);
}

TEST_F(Input, EscAndCtrlCCancel) {
    feed("!esc 5");
    ads_real r;
    EXPECT_EQ(acedGetReal(L"\n数値 :", &r), RTCAN);
    EXPECT_EQ(lastPrompt(), "数値 : *キャンセル*");
    ed.queue().post(L"\x03");
    EXPECT_EQ(acedGetReal(L"\n数値 :", &r), RTCAN); // the posted Ctrl-C comes first
    ASSERT_EQ(acedGetReal(L"\n数値 :", &r), RTNORM);
    EXPECT_EQ(r, 5);
}

TEST_F(Input, TheEndOfTheScriptCancels) {
    ads_point p;
    EXPECT_EQ(acedGetPoint(nullptr, L"\n点 :", p), RTCAN);
    EXPECT_TRUE(ed.queue().exhausted());
}

TEST_F(Input, TheTranscriptShowsPromptAnswerMessageAndPromptAgain) {
    feed("abc 2");
    ads_real r;
    ASSERT_EQ(acedGetReal(L"\n数値 :", &r), RTNORM);
    EXPECT_EQ(transcript(), "\n数値 : abc\n" + msg(Msg::RealRequired) + "\n数値 : 2");
    acutPrintf(L"終わり");
    EXPECT_EQ(transcript(), "\n数値 : abc\n" + msg(Msg::RealRequired) + "\n数値 : 2\n終わり");
    EXPECT_EQ(lastPrompt(), "終わり");
}

struct NumberCase {
    int bits;
    const char* typed; // refused answers, then an accepted one
    double expected;
    Msg message; // said for each refusal
    int refusals;
};

TEST_F(Input, InitGetRefusesZeroNegativeAndNull) {
    const NumberCase cases[] = {
        {RSG_NOZERO, "0 -2", -2, Msg::NonZero, 1},
        {RSG_NONEG, "-1 0", 0, Msg::Positive, 1},
        {RSG_NOZERO | RSG_NONEG, "0 -5 3", 3, Msg::PositiveNonZero, 2},
        {RSG_NONULL, "\"\" 4", 4, Msg::RealRequired, 1},
        {0, "x y 1.5e1", 15, Msg::RealRequired, 2},
    };
    for (const NumberCase& c : cases) {
        ed.transcript().clear();
        feed(c.typed);
        acedInitGet(c.bits, nullptr);
        ads_real r = 0;
        ASSERT_EQ(acedGetReal(L"\n数値 :", &r), RTNORM) << c.typed;
        EXPECT_EQ(r, c.expected) << c.typed;
        EXPECT_EQ(count(msg(c.message).c_str()), c.refusals) << c.typed;
        EXPECT_EQ(count("数値 :"), c.refusals + 1) << c.typed;
        EXPECT_TRUE(ed.queue().empty());
    }
}

TEST_F(Input, Integers) {
    feed("2.5 40000 -0 7 !pick 1,1 12");
    int n = -1;
    acedInitGet(RSG_NOZERO, nullptr);
    ASSERT_EQ(acedGetInt(L"\n整数 :", &n), RTNORM);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(count(msg(Msg::IntegerRequired).c_str()), 1);
    EXPECT_EQ(count(msg(Msg::IntegerRange).c_str()), 1);
    EXPECT_EQ(count(msg(Msg::NonZero).c_str()), 1);
    ASSERT_EQ(acedGetInt(L"\n整数 :", &n), RTNORM);
    EXPECT_EQ(n, 12);
    EXPECT_EQ(count(msg(Msg::IntegerRequired).c_str()), 2); // a click is no integer
}

TEST_F(Input, Distances) {
    feed("25 @3,4 0,0 3,4 0,0 !esc");
    ads_real d = 0;
    ads_point base = {1, 1, 0};
    ASSERT_EQ(acedGetDist(nullptr, L"\n距離 :", &d), RTNORM);
    EXPECT_EQ(d, 25);
    ed.setLastPoint(AcGePoint3d(0, 0, 0));
    ASSERT_EQ(acedGetDist(base, L"\n距離 :", &d), RTNORM); // @3,4 from LASTPOINT (0,0)
    EXPECT_NEAR(d, std::hypot(2, 3), kNear);
    ASSERT_EQ(acedGetDist(nullptr, L"\n距離 :", &d), RTNORM); // two points
    EXPECT_NEAR(d, 5, kNear);
    EXPECT_EQ(count(msg(Msg::SecondPoint).c_str()), 1);
    EXPECT_EQ(lastPoint(), AcGePoint3d(3, 4, 0));
    EXPECT_EQ(acedGetDist(nullptr, L"\n距離 :", &d), RTCAN); // cancelled at the second point
}

TEST_F(Input, DistancesInTheXyPlaneWithBit64) {
    feed("3,4,12 3,4,12");
    ads_point base = {0, 0, 0};
    ads_real d = 0;
    ASSERT_EQ(acedGetDist(base, L"", &d), RTNORM);
    EXPECT_NEAR(d, 13, kNear);
    acedInitGet(RSG_2D, nullptr);
    ASSERT_EQ(acedGetDist(base, L"", &d), RTNORM);
    EXPECT_NEAR(d, 5, kNear);
}

TEST_F(Input, DistanceRefusalsNameTheBasePoint) {
    feed("abc 1 abc 2");
    ads_real d;
    ads_point base = {0, 0, 0};
    ASSERT_EQ(acedGetDist(base, L"\n距離 :", &d), RTNORM);
    EXPECT_EQ(count(msg(Msg::DistanceOrPoint).c_str()), 1);
    ASSERT_EQ(acedGetDist(nullptr, L"\n距離 :", &d), RTNORM);
    EXPECT_EQ(count(msg(Msg::DistanceOrTwoPoints).c_str()), 1);
}

struct AngleCase {
    const char* typed;
    double angleDeg, orientDeg;
};

// ANGBASE 90 (north) and ANGDIR 1 (clockwise): a typed angle is counted from north clockwise;
// getangle answers counter-clockwise from ANGBASE, getorient from east.
TEST_F(Input, AnglesHonourAngbaseAndAngdir) {
    ASSERT_EQ(setReal(L"ANGBASE", 90 * kDeg), RTNORM);
    ASSERT_EQ(setShort(L"ANGDIR", 1), RTNORM);
    const AngleCase cases[] = {
        {"0", 0, 90}, {"-90", 90, 180}, {"180", 180, 270}, {"90", 270, 0}, {"100g", 270, 0},
    };
    for (const AngleCase& c : cases) {
        feed(c.typed);
        feed(c.typed);
        ads_real a = -1, o = -1;
        ASSERT_EQ(acedGetAngle(nullptr, L"", &a), RTNORM) << c.typed;
        ASSERT_EQ(acedGetOrient(nullptr, L"", &o), RTNORM) << c.typed;
        EXPECT_NEAR(a, c.angleDeg * kDeg, kNear) << c.typed;
        EXPECT_NEAR(o, c.orientDeg * kDeg, kNear) << c.typed;
    }
}

TEST_F(Input, AnglesByPoints) {
    ASSERT_EQ(setReal(L"ANGBASE", 90 * kDeg), RTNORM);
    feed("-1,0 -1,0 0,0 0,-1 0");
    ads_point base = {0, 0, 0};
    ads_real a = 0;
    ASSERT_EQ(acedGetOrient(base, L"", &a), RTNORM);
    EXPECT_NEAR(a, 180 * kDeg, kNear);
    ASSERT_EQ(acedGetAngle(base, L"", &a), RTNORM);
    EXPECT_NEAR(a, 90 * kDeg, kNear);
    ASSERT_EQ(acedGetAngle(nullptr, L"", &a), RTNORM); // two points
    EXPECT_NEAR(a, 180 * kDeg, kNear);
    acedInitGet(RSG_NOZERO | RSG_NONULL, nullptr);
    feed("90");
    ASSERT_EQ(acedGetAngle(nullptr, L"", &a), RTNORM); // 0 refused
    EXPECT_NEAR(a, 90 * kDeg, kNear);
    EXPECT_EQ(count(msg(Msg::NonZero).c_str()), 1);
}

TEST_F(Input, StringsWithAndWithoutBlanks) {
    ed.queue().post(L"abc def\n");
    ACHAR s[64];
    ASSERT_EQ(acedGetString(0, L"\n文字 :", s), RTNORM);
    EXPECT_EQ(std::wstring(s), L"abc");
    ASSERT_EQ(acedGetString(0, L"\n文字 :", s), RTNORM);
    EXPECT_EQ(std::wstring(s), L"def");
    ed.queue().post(L"abc def\n");
    ASSERT_EQ(acedGetString(1, L"\n文字 :", s), RTNORM);
    EXPECT_EQ(std::wstring(s), L"abc def");
    feed("\"x y\" \"\"");
    ASSERT_EQ(acedGetString(1, L"\n文字 :", s), RTNORM);
    EXPECT_EQ(std::wstring(s), L"x y");
    ASSERT_EQ(acedGetString(1, L"\n文字 :", s), RTNORM); // Enter: an empty text
    EXPECT_EQ(std::wstring(s), L"");
    feed("abcdef");
    ACHAR small[4];
    EXPECT_EQ(acedGetString(1, L"", small), RTINPUTTRUNCATED);
    EXPECT_EQ(std::wstring(small), L"abc");
}

TEST_F(Input, PostedTextIsReadFirst) {
    feed("7");
    ed.queue().post(L"5\n");
    ed.queue().post(L"6\n");
    ads_real r;
    ASSERT_EQ(acedGetReal(L"", &r), RTNORM);
    EXPECT_EQ(r, 5);
    ASSERT_EQ(acedGetReal(L"", &r), RTNORM);
    EXPECT_EQ(r, 6);
    ASSERT_EQ(acedGetReal(L"", &r), RTNORM);
    EXPECT_EQ(r, 7);
}

TEST_F(Input, PostedTypingAndKeysMakeLines) {
    ed.queue().post(L"1"); // typed, not yet entered
    feed("2 !key 3 !key 4 !key BACKSPACE !key ENTER");
    ads_real r;
    ASSERT_EQ(acedGetReal(L"", &r), RTNORM);
    EXPECT_EQ(r, 12);
    ASSERT_EQ(acedGetReal(L"", &r), RTNORM);
    EXPECT_EQ(r, 3);
    ed.queue().post(L"E\n7 8\n");
    ACHAR kw[8];
    acedInitGet(0, L"Exit");
    ASSERT_EQ(acedGetKword(L"", kw), RTNORM);
    EXPECT_EQ(std::wstring(kw), L"Exit");
    ASSERT_EQ(acedGetReal(L"", &r), RTNORM); // a blank ends the line too
    EXPECT_EQ(r, 7);
    ASSERT_EQ(acedGetReal(L"", &r), RTNORM);
    EXPECT_EQ(r, 8);
    EXPECT_TRUE(ed.queue().empty());
}

TEST_F(Input, DialogBarEventsRunTheirCallbacksWhileInputWaits) {
    std::vector<std::wstring> seen;
    ed.queue().setSideHandler([&](const Event& e) {
        seen.push_back(describe(e));
        if (e.kind == EventKind::BarTile) ed.queue().post(L"\x03"); // restart the prompt
        return true;
    });
    feed("!bar text 3 \"5\" 8 !bar tile 4 9");
    ads_real r;
    ASSERT_EQ(acedGetReal(L"", &r), RTNORM);
    EXPECT_EQ(r, 8);
    EXPECT_EQ(acedGetReal(L"", &r), RTCAN);
    ASSERT_EQ(acedGetReal(L"", &r), RTNORM);
    EXPECT_EQ(r, 9);
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"!bar text 3 \"5\"", L"!bar tile 4"}));
}

TEST_F(Input, EventsNobodyWantsAreNoted) {
    feed("!dialog press 1\n!move 3,3 !rclick");
    std::vector<AcGePoint3d> moves;
    ed.setCursorHook([&](const AcGePoint3d& p) { moves.push_back(p); });
    ads_point p;
    EXPECT_EQ(acedGetPoint(nullptr, L"", p), RTNONE); // a right click is Enter
    EXPECT_EQ(count("[無視] !dialog press 1"), 1);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], AcGePoint3d(3, 3, 0));
}

TEST_F(Input, LispExpressionsAnswerWithTheirValue) {
    ed.setLispHook([](std::wstring_view expr) -> zel::core::RbPtr {
        if (expr == L"(+ 1 1.5)") return zel::core::RbBuilder().addReal(RTREAL, 2.5).take();
        if (expr == L"(list 1 2)") return zel::core::RbBuilder().addPoint(RTPOINT, 1, 2).take();
        return nullptr; // a failed expression
    });
    feed("(+ 1 1.5) (bad) (list 1 2)");
    ads_real r;
    ASSERT_EQ(acedGetReal(L"\n数値 :", &r), RTNORM);
    EXPECT_EQ(r, 2.5);
    EXPECT_EQ(lastPrompt(), "数値 : (+ 1 1.5)");
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点 :", p), RTNORM); // (bad) asks again
    EXPECT_EQ(AcGePoint3d(p[X], p[Y], p[Z]), AcGePoint3d(1, 2, 0));
    EXPECT_EQ(count("点 :"), 2);
}

TEST_F(Input, ObjectSnapsApplyToClicks) {
    std::vector<int> modes;
    ed.setOsnapHook([&](const AcGePoint3d& pick, int m) {
        modes.push_back(m);
        return pick + AcGeVector3d(100, 0, 0);
    });
    feed("NON !pick 1,1 !pick 1,1 END !pick 1,1 EXT !pick 1,1 NON 2,2");
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点 :", p), RTNORM);
    EXPECT_EQ(p[X], 1); // NON: no snap
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点 :", p), RTNORM);
    EXPECT_EQ(p[X], 101); // the running modes (OSMODE 4133)
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点 :", p), RTNORM);
    EXPECT_EQ(p[X], 101);
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点 :", p), RTNORM);
    // The extension snap (4096) runs only when typed: clicks acquire no end points to follow.
    EXPECT_EQ(modes, (std::vector<int>{4133 & ~4096, 1, 4096}));
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点 :", p), RTNORM); // a typed point is not snapped
    EXPECT_EQ(p[X], 2);
    EXPECT_EQ(lastPrompt(), "点 : NON 2,2");
    ASSERT_EQ(setShort(L"OSMODE", 4133 | 16384), RTNORM); // running snaps suspended
    feed("!pick 1,1");
    ASSERT_EQ(acedGetPoint(nullptr, L"\n点 :", p), RTNORM);
    EXPECT_EQ(p[X], 1);
}

TEST_F(Input, LimitsAreCheckedWithLimcheck) {
    ASSERT_EQ(setShort(L"LIMCHECK", 1), RTNORM);
    feed("500,500 10,10 500,500");
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, L"", p), RTNORM);
    EXPECT_EQ(p[X], 10);
    EXPECT_EQ(count(msg(Msg::OutsideLimits).c_str()), 1);
    acedInitGet(RSG_NOLIM, nullptr);
    ASSERT_EQ(acedGetPoint(nullptr, L"", p), RTNORM);
    EXPECT_EQ(p[X], 500);
}

// The object snap sees the base point of the request a click answers: none for a first point,
// the first point for the second point of a distance, and none again once the request is over.
TEST_F(Input, ClicksSeeTheBaseOfTheirRequest) {
    std::vector<std::string> bases;
    ed.setOsnapHook([&](const AcGePoint3d& pick, int) {
        const std::optional<AcGePoint3d>& b = ed.inputBase();
        bases.push_back(b ? std::to_string(int(b->x)) + "," + std::to_string(int(b->y)) : "-");
        return pick;
    });
    feed("!pick 1,1 !pick 4,5 !pick 7,7");
    ads_real d;
    ASSERT_EQ(acedGetDist(nullptr, L"\n距離 :", &d), RTNORM);
    EXPECT_DOUBLE_EQ(d, 5);
    ads_point base{2, 3, 0}, p;
    ASSERT_EQ(acedGetPoint(base, L"\n点 :", p), RTNORM);
    EXPECT_EQ(bases, (std::vector<std::string>{"-", "1,1", "2,3"}));
    EXPECT_FALSE(ed.inputBase()) << "no request runs";
}

TEST_F(Input, ObserversAndUserBreak) {
    std::vector<std::tuple<bool, InputKind, int>> notices; // begin, kind, status (of an end)
    ed.addInputObserver([&](const InputNotice& n) {
        notices.emplace_back(n.begin, n.kind, n.begin ? 0 : n.status);
    });
    feed("1,1 !esc A !esc");
    ads_point p;
    acedGetPoint(nullptr, L"", p);
    acedGetPoint(nullptr, L"", p);
    EXPECT_EQ(notices,
              (std::vector<std::tuple<bool, InputKind, int>>{{true, InputKind::Point, 0},
                                                             {false, InputKind::Point, RTNORM},
                                                             {true, InputKind::Point, 0},
                                                             {false, InputKind::Point, RTCAN}}));
    EXPECT_EQ(acedUsrBrk(), 0); // "A" waits
    ed.queue().take();
    EXPECT_EQ(acedUsrBrk(), 1);
    EXPECT_EQ(acedUsrBrk(), 0); // taken
    EXPECT_TRUE(ed.queue().empty());
}

TEST_F(Input, TheGateRunsBeforeThePromptShows) {
    std::vector<std::string> seen;
    ed.setInputGate([&](InputKind kind) {
        seen.push_back(lastPrompt()); // the prompt is not shown yet
        if (kind == InputKind::Real) ed.queue().pushFront(Event::typed(L"3"));
    });
    acutPrintf(L"\n距離 が大きすぎます");
    ads_real r;
    ASSERT_EQ(acedGetReal(L"\n数値 :", &r), RTNORM);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(seen, (std::vector<std::string>{"距離 が大きすぎます"}));
    EXPECT_EQ(lastPrompt(), "数値 : 3");
}

TEST_F(Input, BadArgumentsAndNoEditor) {
    ads_point p;
    EXPECT_EQ(acedGetCorner(nullptr, L"", p), RTERROR);
    EXPECT_EQ(acedInitGet(0, L"A _ B C"), RTERROR);
    zel::editor::setCurrentEditor(nullptr);
    EXPECT_EQ(acedGetPoint(nullptr, L"", p), RTERROR);
    EXPECT_EQ(acedInitGet(0, nullptr), RTERROR);
    zel::editor::setCurrentEditor(&ed);
}

TEST_F(Input, CornersNeedTheFirstPoint) {
    feed("20,10");
    ads_point first = {0, 0, 0}, p;
    ASSERT_EQ(acedGetCorner(first, L"\nもう一方のコーナー :", p), RTNORM);
    EXPECT_EQ(AcGePoint3d(p[X], p[Y], p[Z]), AcGePoint3d(20, 10, 0));
    EXPECT_EQ(lastPoint(), AcGePoint3d(20, 10, 0));
}

} // namespace
