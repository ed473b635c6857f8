// What modules register with the host, exercised from the host's side: editor reactors, the
// command stack with its flags, LISP functions defined per document with the acedRet family,
// input-context reactors and input-point monitors, and the CAL calculator.
#include "app_fixture.h"

#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/ed.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct EdLog : AcEditorReactor {
    std::vector<std::string> log;
    void add(const char* what, const ACHAR* name) {
        log.push_back(std::string(what) + " " + zel::core::wideToUtf8(name));
    }
    void commandWillStart(const ACHAR* c) override { add("start", c); }
    void commandEnded(const ACHAR* c) override { add("ended", c); }
    void commandCancelled(const ACHAR* c) override { add("cancelled", c); }
    void commandFailed(const ACHAR* c) override { add("failed", c); }
    void lispWillStart(const ACHAR* t) override { add("lisp", t); }
    void lispEnded() override { log.push_back("lisp ended"); }
    void lispCancelled() override { log.push_back("lisp cancelled"); }
    void sysVarChanged(const ACHAR* v, Adesk::Boolean) override { add("var", v); }
    bool saw(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }
    // The entries that are not about system variables.
    std::vector<std::string> events() const {
        std::vector<std::string> out;
        for (const std::string& e : log) {
            if (e.rfind("var ", 0) != 0) out.push_back(e);
        }
        return out;
    }
};

using Frame = AppTest;

TEST_F(Frame, EditorReactorsHearCommandsLispAndVariables) {
    EdLog r;
    acedEditor->addReactor(&r);
    run("LINE 0,0 1,1 \"\"\n");
    EXPECT_EQ(r.events(), (std::vector<std::string>{"start LINE", "ended LINE"}));
    EXPECT_TRUE(r.saw("var LASTPOINT")) << "variables the command changed are told too";
    r.log.clear();
    run("LINE 0,0\n!esc\n");
    EXPECT_TRUE(r.saw("cancelled LINE"));
    run("SETVAR ORTHOMODE 1\n");
    EXPECT_TRUE(r.saw("var ORTHOMODE"));
    r.log.clear();
    run("(+ 1 2)\n(car 5)\n");
    EXPECT_EQ(r.events(), (std::vector<std::string>{"lisp (+ 1 2)", "lisp ended", "lisp (car 5)",
                                                    "lisp cancelled"}));
    acedEditor->removeReactor(&r);
}

TEST_F(Frame, AReactorAddedTwiceIsToldTwiceUntilRemovedTwice) {
    EdLog r;
    AcEditor* editor = AcEditor::cast(acrxSysRegistry()->at(ACAD_EDITOR_OBJ));
    ASSERT_EQ(editor, acedEditor);
    editor->addReactor(&r);
    editor->addReactor(&r);
    run("REDRAW\n");
    EXPECT_EQ(std::count(r.log.begin(), r.log.end(), "ended REDRAW"), 2);
    editor->removeReactor(&r);
    r.log.clear();
    run("REDRAW\n");
    EXPECT_EQ(std::count(r.log.begin(), r.log.end(), "ended REDRAW"), 1);
    editor->removeReactor(&r);
    editor->removeReactor(&r); // not there: nothing happens
    r.log.clear();
    run("REDRAW\n");
    EXPECT_TRUE(r.log.empty());
}

// ---- command stack ----------------------------------------------------------------------------

int gRuns = 0;
int gPickfirst = -1;

void countRun() {
    ++gRuns;
}

void readPickfirst() {
    resbuf* pset = nullptr;
    acedSSGetFirst(nullptr, &pset);
    int32_t n = 0;
    if (pset) {
        acedSSLength(pset->resval.rlname, &n);
        acedSSFree(pset->resval.rlname);
    }
    acutRelRb(pset);
    gPickfirst = n;
}

// Makes every entity of the drawing the PICKFIRST set.
void selectAllFirst() {
    ads_name all;
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, all), RTNORM);
    ASSERT_EQ(acedSSSetFirst(all, nullptr), RTNORM);
    acedSSFree(all);
}

int pickfirstNow() {
    readPickfirst();
    return gPickfirst;
}

TEST_F(Frame, CommandStackRegistersByGroupWithGlobalAndLocalNames) {
    AcEdCommandStack* stack = acedRegCmds;
    ASSERT_NE(stack, nullptr);
    gRuns = 0;
    EXPECT_EQ(stack->addCommand(L"G1", L"HELLO", L"HI", ACRX_CMD_MODAL, countRun), Acad::eOk);
    EXPECT_EQ(stack->addCommand(L"G1", L"HELLO", L"HO", ACRX_CMD_MODAL, countRun),
              Acad::eDuplicateKey);
    EXPECT_EQ(stack->addCommand(L"G1", L"NOFN", L"NF", ACRX_CMD_MODAL, nullptr),
              Acad::eInvalidInput);
    run("HI\n_HELLO\nhello\n");
    EXPECT_EQ(gRuns, 3);
    ASSERT_NE(stack->lookupGlobalCmd(L"hello"), nullptr);
    EXPECT_EQ(zel::core::wideToUtf8(stack->lookupGlobalCmd(L"hello")->groupName()), "G1");
    EXPECT_EQ(stack->lookupLocalCmd(L"HI"), stack->lookupGlobalCmd(L"HELLO"));
    EXPECT_EQ(stack->removeGroup(L"G1"), Acad::eOk);
    EXPECT_EQ(stack->removeGroup(L"G1"), Acad::eKeyNotFound) << "removing twice is harmless";
    run("HI\n");
    EXPECT_EQ(gRuns, 3);
    EXPECT_TRUE(has("不明なコマンド \"HI\""));
    EXPECT_EQ(stack->lookupGlobalCmd(L"HELLO"), nullptr);
}

TEST_F(Frame, RemovingAGroupSharedWithTheHostKeepsTheHostCommands) {
    AcEdCommandStack* stack = acedRegCmds;
    ASSERT_EQ(stack->addCommand(L"ACAD", L"EXTRA", L"EXTRA", ACRX_CMD_MODAL, countRun), Acad::eOk);
    EXPECT_EQ(stack->removeGroup(L"ACAD"), Acad::eOk);
    EXPECT_EQ(stack->removeCmd(L"ACAD", L"EXTRA"), Acad::eKeyNotFound);
    run("LINE 0,0 1,1 \"\"\n");
    EXPECT_FALSE(has("不明なコマンド")) << transcript();
}

TEST_F(Frame, PickfirstFlagsDecideWhatTheCommandSees) {
    AcEdCommandStack* stack = acedRegCmds;
    stack->addCommand(L"G2", L"KEEPS", L"KEEPS", ACRX_CMD_USEPICKSET, readPickfirst);
    stack->addCommand(L"G2", L"CLEARS", L"CLEARS", ACRX_CMD_USEPICKSET | ACRX_CMD_REDRAW,
                      readPickfirst);
    stack->addCommand(L"G2", L"IGNORES", L"IGNORES", ACRX_CMD_MODAL, readPickfirst);
    run("LINE 0,0 1,1 \"\"\nCIRCLE 0,0 5\n");
    selectAllFirst();
    run("KEEPS\n");
    EXPECT_EQ(gPickfirst, 2);
    EXPECT_EQ(pickfirstNow(), 2) << "kept after a plain pick-first command";
    run("CLEARS\n");
    EXPECT_EQ(gPickfirst, 2);
    EXPECT_EQ(pickfirstNow(), 0) << "the redraw flag clears it afterwards";
    selectAllFirst();
    run("IGNORES\n");
    EXPECT_EQ(gPickfirst, 0) << "a command without the pick-first flag starts without it";
}

TEST_F(Frame, TransparentFlagLetsACommandRunAtAPrompt) {
    gRuns = 0;
    acedRegCmds->addCommand(L"G3", L"PEEK", L"PEEK", ACRX_CMD_TRANSPARENT, countRun);
    run("LINE 0,0 'PEEK 1,1 \"\"\n");
    EXPECT_EQ(gRuns, 1) << transcript();
}

// ---- LISP functions -----------------------------------------------------------------------

int gCode = 0;

int sumArgs() {
    gCode = acedGetFunCode();
    resbuf* args = acedGetArgs();
    int sum = 0;
    for (resbuf* rb = args; rb; rb = rb->rbnext) {
        if (rb->restype == RTSHORT) sum += rb->resval.rint;
        if (rb->restype == RTLONG) sum += rb->resval.rlong;
    }
    acutRelRb(args);
    acedRetInt(sum);
    return RSRSLT;
}

int giveList() {
    resbuf* list = acutBuildList(RTSTR, L"a", RTREAL, 1.5, RTT, 0);
    acedRetList(list);
    acutRelRb(list);
    return RSRSLT;
}

int givePoint() {
    ads_point p = {1, 2, 3};
    return acedRetPoint(p) == RTNORM ? RSRSLT : RSERR;
}

int giveString() {
    acedRetStr(L"文字");
    return RSRSLT;
}

int giveNothing() {
    return RSRSLT;
}

int fail() {
    return RSERR;
}

void define(const wchar_t* name, short code, int (*fn)()) {
    ASSERT_EQ(acedDefun(name, code), RTNORM);
    ASSERT_EQ(acedRegFunc(fn, code), RTNORM);
}

TEST_F(Frame, DefinedFunctionsTakeArgumentsAndGiveValues) {
    define(L"T-SUM", 3, sumArgs);
    define(L"T-LIST", 4, giveList);
    define(L"T-POINT", 5, givePoint);
    define(L"T-STR", 6, giveString);
    define(L"T-NONE", 7, giveNothing);
    define(L"T-FAIL", 8, fail);
    EXPECT_EQ(eval("(t-sum 1 2 3)"), "6");
    EXPECT_EQ(gCode, 3);
    EXPECT_EQ(eval("(t-list)"), "(\"a\" 1.5 T)");
    EXPECT_EQ(eval("(t-point)"), "(1.0 2.0 3.0)");
    EXPECT_EQ(eval("(t-str)"), "\"文字\"");
    EXPECT_EQ(eval("(t-none)"), "nil");
    EXPECT_EQ(eval("(t-fail)"), "") << "RSERR makes the call fail";
    EXPECT_EQ(acedGetFunCode(), RTERROR) << "outside a call";
    EXPECT_EQ(acedRetInt(1), RTERROR);
    EXPECT_EQ(acedGetArgs(), nullptr);
}

TEST_F(Frame, UndefRemovesOnlyTheNameWithItsCode) {
    define(L"T-SUM", 3, sumArgs);
    EXPECT_EQ(acedUndef(L"T-SUM", 4), RTERROR);
    EXPECT_EQ(eval("(t-sum 2)"), "2");
    EXPECT_EQ(acedUndef(L"t-sum", 3), RTNORM);
    EXPECT_EQ(eval("(t-sum 2)"), "");
    EXPECT_EQ(acedUndef(L"T-SUM", 3), RTERROR) << "undefining twice";
    EXPECT_EQ(acedDefun(L"", 1), RTERROR);
    EXPECT_EQ(acedDefun(nullptr, 1), RTERROR);
}

TEST_F(Frame, FunctionsBelongToTheDocumentTheyWereDefinedIn) {
    run("SDI 0\n");
    define(L"T-SUM", 3, sumArgs);
    run("NEW\n");
    EXPECT_EQ(eval("(t-sum 1)"), "") << "not defined in the new drawing";
    define(L"T-SUM", 3, sumArgs);
    EXPECT_EQ(eval("(t-sum 1)"), "1");
    run("CLOSE\n");
    EXPECT_EQ(eval("(t-sum 4)"), "4") << "the first drawing kept its own";
}

TEST_F(Frame, InvokeAndSymbolsReachTheCurrentDocument) {
    define(L"T-SUM", 3, sumArgs);
    resbuf* args = acutBuildList(RTSTR, L"T-SUM", RTSHORT, 2, RTSHORT, 5, 0);
    resbuf* result = nullptr;
    ASSERT_EQ(acedInvoke(args, &result), RTNORM);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->restype == RTSHORT ? result->resval.rint : result->resval.rlong, 7);
    acutRelRb(result);
    acutRelRb(args);
    args = acutBuildList(RTSTR, L"NO-SUCH-FUNCTION", 0);
    EXPECT_EQ(acedInvoke(args, &result), RTERROR);
    EXPECT_EQ(result, nullptr);
    acutRelRb(args);
    resbuf* v = acutBuildList(RTSTR, L"x", 0);
    EXPECT_EQ(acedPutSym(L"ZelGlobalSw2002", v), RTNORM);
    acutRelRb(v);
    EXPECT_EQ(eval("ZelGlobalSw2002"), "\"x\"");
    EXPECT_EQ(acedGetSym(nullptr, &v), RTERROR);
}

// ---- input-context reactors and input-point monitors ------------------------------------------

struct PointLog : AcEdInputContextReactor {
    std::vector<int> statuses;
    std::vector<AcGePoint3d> points;
    void endGetPoint(Acad::PromptStatus st, const AcGePoint3d& p, const ACHAR*&) override {
        statuses.push_back(st);
        points.push_back(p);
    }
};

struct Monitor : AcEdInputPointMonitor {
    std::vector<int> histories;
    std::vector<size_t> picked, keyPoints;
    Acad::ErrorStatus monitorInputPoint(const AcEdInputPoint& in,
                                        AcEdInputPointMonitorResult&) override {
        histories.push_back(in.history());
        picked.push_back(in.pickedEntities().size());
        keyPoints.push_back(in.keyPointEntities().size());
        return Acad::eOk;
    }
};

TEST_F(Frame, InputReactorsAndMonitorsHearThePointsOfTheirDocument) {
    PointLog log;
    Monitor mon;
    AcEdInputPointManager* m = curDoc()->inputPointManager();
    ASSERT_EQ(m->addInputContextReactor(&log), Acad::eOk);
    EXPECT_EQ(m->addInputContextReactor(&log), Acad::eDuplicateKey);
    ASSERT_EQ(m->addPointMonitor(&mon), Acad::eOk);
    run("LINE\n0,0\n!pick 5,5\n\n");
    EXPECT_EQ(log.statuses, (std::vector<int>{RTNORM, RTNORM, RTNONE}));
    ASSERT_EQ(log.points.size(), 3u);
    EXPECT_DOUBLE_EQ(log.points[1].x, 5);
    ASSERT_EQ(mon.histories.size(), 2u) << "only points given are monitored";
    EXPECT_TRUE(mon.histories[0] & Acad::eFromKeyboard);
    EXPECT_TRUE(mon.histories[1] & Acad::eUsedPickBox);
    EXPECT_EQ(m->removeInputContextReactor(&log), Acad::eOk);
    EXPECT_EQ(m->removeInputContextReactor(&log), Acad::eKeyNotFound);
    EXPECT_EQ(m->removePointMonitor(&mon), Acad::eOk);
    run("LINE 0,0 1,1 \"\"\n");
    EXPECT_EQ(log.statuses.size(), 3u);
}

// Points that end a drag in the host commands (the second point of MOVE, COPY, MIRROR,
// STRETCH and the angle of ROTATE) come to the reactors as endDragSequence, others as
// endGetPoint.
struct DragLog : AcEdInputContextReactor {
    int gets = 0;
    std::vector<AcGePoint3d> drags;
    void endGetPoint(Acad::PromptStatus, const AcGePoint3d&, const ACHAR*&) override { ++gets; }
    void endDragSequence(Acad::PromptStatus, AcGePoint3d& p, AcGeVector3d&) override {
        drags.push_back(p);
    }
};

TEST_F(Frame, SecondPointsOfMovesEndADragSequence) {
    run("LINE 0,0 10,0 \"\"\n");
    DragLog log;
    AcEdInputPointManager* m = curDoc()->inputPointManager();
    ASSERT_EQ(m->addInputContextReactor(&log), Acad::eOk);
    run("MOVE L \"\" 0,0 5,5\nCOPY L \"\" 0,0 1,1 \"\"\nMIRROR L \"\" 0,0 0,9 N\n");
    ASSERT_EQ(log.drags.size(), 4u) << transcript(); // MOVE, COPY twice (Enter ends), MIRROR
    EXPECT_DOUBLE_EQ(log.drags[0].x, 5);
    EXPECT_EQ(log.gets, 3) << "the base points and the first mirror point are plain points";
    m->removeInputContextReactor(&log);
}

TEST_F(Frame, MonitorsSeeTheEntitiesUnderAClick) {
    run("LINE 0,0 10,0 \"\"\n");
    Monitor mon;
    curDoc()->inputPointManager()->addPointMonitor(&mon);
    run("SETVAR OSMODE 0\n(getpoint)\n!pick 10,0\n(getpoint)\n!pick 50,50\nSETVAR OSMODE 1\n"
        "(getpoint)\n!pick 10,0\n(getpoint)\n10,0\n");
    EXPECT_EQ(mon.picked, (std::vector<size_t>{1, 0, 1, 0})) << transcript();
    EXPECT_EQ(mon.keyPoints, (std::vector<size_t>{0, 0, 1, 0}))
        << "key-point entities only with object snap on, and only for clicks";
    ASSERT_EQ(mon.histories.size(), 4u);
    EXPECT_TRUE(mon.histories[2] & Acad::eOsnapped);
    EXPECT_FALSE(mon.histories[0] & Acad::eOsnapped);
    curDoc()->inputPointManager()->removePointMonitor(&mon);
}

// ---- CAL ------------------------------------------------------------------------------------

TEST_F(Frame, CalTypedAtThePromptPrintsTheValue) {
    mark();
    run("(cal \"12/5\")\n");
    EXPECT_NE(since().find("2.4"), std::string::npos) << since();
    mark();
    run("(cal \"12/4\")\n");
    EXPECT_NE(since().find("3"), std::string::npos) << since();
    EXPECT_EQ(since().find("3.0"), std::string::npos) << "integers stay integers";
    mark();
    run("CAL\n12/5\n");
    EXPECT_NE(since().find(">> 式:"), std::string::npos) << since();
    EXPECT_NE(since().find("2.4"), std::string::npos) << since();
    run("(setq r 3)\nCAL\nr*2\n");
    EXPECT_TRUE(has("\n6")) << transcript();
    mark();
    run("CAL\n12/\n");
    EXPECT_FALSE(since().empty());
    EXPECT_EQ(since().find("不明なコマンド"), std::string::npos) << since();
}

} // namespace
