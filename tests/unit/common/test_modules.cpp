// The drafting modules and the dialog bar loaded into a session: the command tables and their
// groups, the LISP functions per drawing, unloading and reloading, and the calls of the
// modules' dialog-bar bridge with and without the bar.
#include "module_fixture.h"

#include "arx/aced.h"
#include "arx/rxregsvc.h"
#include "common/bar/dlgbar.h"

#include <string>
#include <vector>

namespace {

class Modules : public ModuleTest {
protected:
    AcEdCommand* global(const wchar_t* name) { return acedRegCmds->lookupGlobalCmd(name); }
    AcEdCommand* local(const wchar_t* name) { return acedRegCmds->lookupLocalCmd(name); }
};

TEST_F(Modules, DraftEditRegistersItsTableInItsOwnGroup) {
    load("draftedit");
    static const wchar_t* const kPairs[][2] = {
        {L"ZEL_MOVE", L"ZEL_M"},          {L"ZEL_COPY", L"ZEL_CO"},
        {L"ZEL_ROTATEC", L"ZEL_ROC"},     {L"ZEL_ARRAY", L"ZEL_AR"},
        {L"ZEL_MASPROP", L"ZEL_MPROP"},   {L"ZEL_STRCH", L"ZEL_S"},
        {L"ZEL_SPMLMOD", L"ZEL_SPMLMOD"},
    };
    for (const auto& [g, l] : kPairs) {
        AcEdCommand* cmd = global(g);
        ASSERT_NE(cmd, nullptr) << zel::core::wideToUtf8(g);
        EXPECT_EQ(local(l), cmd) << zel::core::wideToUtf8(l);
        EXPECT_EQ(std::wstring(cmd->groupName()), L"ZEL_DLL_COMMANDS3");
        EXPECT_EQ(cmd->commandFlags(), ACRX_CMD_USEPICKSET);
    }
    ASSERT_NE(global(L"ZEL_JOIN"), nullptr);
    EXPECT_EQ(global(L"ZEL_JOIN")->commandFlags(), ACRX_CMD_USEPICKSET | ACRX_CMD_REDRAW);
    EXPECT_EQ(global(L"ZEL_MOVE")->localName(), std::wstring(L"ZEL_M"));
}

TEST_F(Modules, DraftTextRegistersLocalNamesWithoutThePrefix) {
    load("drafttext");
    ASSERT_NE(global(L"ZEL_DTEXT"), nullptr);
    EXPECT_EQ(local(L"DT"), global(L"ZEL_DTEXT"));
    EXPECT_EQ(std::wstring(global(L"ZEL_DTEXT")->groupName()), L"ZEL_DLL_COMMANDS4");
    EXPECT_EQ(local(L"ZEL_DT"), nullptr);
    EXPECT_EQ(local(L"TSP"), global(L"ZEL_TXTSPC"));
    mark();
    run("INITTXT\n");
    EXPECT_EQ(since().find("使用できません"), std::string::npos) << "INITTEXT only sets a flag";
}

TEST_F(Modules, ACommandNotBuiltYetSaysSoAndChangesNothing) {
    load("drafttext");
    mark();
    run("CT\n");
    EXPECT_NE(since().find("ZEL_CHTEXT はまだ使用できません。"), std::string::npos) << since();
}

TEST_F(Modules, EveryDrawingGetsTheLispFunctionsAndLosesThemWhenItCloses) {
    load("draftedit");
    EXPECT_EQ(eval("(type ZELADS_GETDWGFMT)"), "EXRXSUBR");
    EXPECT_EQ(eval("(type ZELADS_GETBOX)"), "EXRXSUBR") << "all thirteen, the last one too";
    run("(setvar \"SDI\" 0)\nNEW\n");
    EXPECT_EQ(eval("(type ZELADS_BLKTRM)"), "EXRXSUBR") << "a drawing opened later";
    run("CLOSE\n");
    EXPECT_EQ(eval("(type ZELADS_BLKTRM)"), "EXRXSUBR") << "the first drawing keeps its own";
}

TEST_F(Modules, UnloadingRemovesTheGroupOnceAndReloadingBringsItBack) {
    load("draftedit");
    unload("draftedit");
    EXPECT_EQ(global(L"ZEL_MOVE"), nullptr);
    EXPECT_EQ(eval("(type ZELADS_GRAV)"), "nil");
    load("draftedit");
    EXPECT_NE(global(L"ZEL_MOVE"), nullptr);
    EXPECT_EQ(eval("(type ZELADS_GRAV)"), "EXRXSUBR");
}

// ---- the dialog-bar bridge ---------------------------------------------------------------

std::vector<std::wstring> gHeard;
void heardText(int key, const ACHAR* text) {
    gHeard.push_back(std::to_wstring(key) + L"=" + text);
}
void heardTile(int key) {
    gHeard.push_back(L"tile " + std::to_wstring(key));
}

TEST_F(Modules, WithoutTheBarEveryCallTellsItsOwnErrorAndAnswersZero) {
    struct Case {
        int (*call)();
        const char* message;
    };
    static const Case kCases[] = {
        {[] { return Zelads_LoadDlg(L"CMDBREAK"); }, "\nError:ZelDlgLoad()"},
        {[] { return Zelads_UnloadDlg(); }, "\nError:ZelDlgUnload()"},
        {[] { return Zelads_SetText(L"3", L"1"); }, "\nError:ZelDlgSetText()"},
        {[] { return Zelads_ResetOsmode(); }, "\nError:Zelads_ResetOsmode()"},
        {[] { return ArxCmd_Step(L"1"); }, "\nError:ArxCmd_Step()"},
        {[] { return ArxCmd_NULL(0); }, "\nError:ArxCmdNotifyNULL()"},
        {[] { return ArxCmd_SetText(L"9", L""); }, "\nError:ArxCmdSetText()"},
        {[] { return ArxCmd_LoadDlg(3); },
         "\nError:ArxCmdLoadDlg() - argument must be 0 between 2."},
    };
    for (const Case& c : kCases) {
        mark();
        EXPECT_EQ(c.call(), 0) << c.message;
        EXPECT_EQ(since(), c.message);
    }
    mark();
    EXPECT_EQ(ArxCmd_SetLastPt(), 0);
    EXPECT_EQ(since(), "") << "the last point's refresh fails silently";
}

TEST_F(Modules, TheBarKeepsWhatTheCommandSetsAndCallsItBack) {
    load("zelgui");
    gHeard.clear();
    EXPECT_EQ(Zelads_LoadDlg(L"CMDBREAK"), 1);
    EXPECT_EQ(Zelads_FpText(heardText), 1);
    EXPECT_EQ(Zelads_FpTile(heardTile), 1);
    EXPECT_EQ(Zelads_SetText(L"3", L"10"), 1);
    ACHAR buf[8];
    EXPECT_EQ(Zelads_GetText(L"3", buf, 8), 1);
    EXPECT_EQ(std::wstring(buf), L"10");
    EXPECT_EQ(ArxCmd_LoadDlg(2), 1);
    ResetDialogBar();
    mark();
    run("!bar text 3 \"25\"\n!bar tile 4\nZELBAR\n");
    EXPECT_EQ(gHeard, (std::vector<std::wstring>{L"3=25", L"tile 4"}));
    EXPECT_NE(since().find("dialog bar: page CMDBREAK"), std::string::npos) << since();
    EXPECT_NE(since().find("command bar: COORD"), std::string::npos) << since();
    EXPECT_NE(since().find("field 9 \"\" hidden"), std::string::npos) << "the reset hides field 9";
    EXPECT_EQ(Zelads_GetText(L"3", buf, 2), 1);
    EXPECT_EQ(std::wstring(buf), L"2") << "cut to the buffer";
    EXPECT_EQ(Zelads_FpText(nullptr), 1);
    EXPECT_EQ(Zelads_FpTile(nullptr), 1);
}

TEST_F(Modules, BarEventsWithoutTheBarAreOnlyNoted) {
    run("!bar tile 4\nZELBAR\n");
    EXPECT_TRUE(has("!bar tile 4")) << transcript();
    load("zelgui");
    unload("zelgui");
    mark();
    run("!bar tile 5\nZELBAR\n");
    EXPECT_NE(since().find("!bar tile 5"), std::string::npos) << "the handler went with the bar";
}

} // namespace
