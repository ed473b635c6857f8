// The dialog bar's text panel in a session: a command that loads a panel page, switches the
// command bar to text input and waits in acedGrRead for the panel's posts (read from the
// per-document settings), as the text commands do; scripts type, press Enter, use the history
// and cancel on the panel.
#include "module_fixture.h"

#include "arx/acdocman.h"
#include "arx/ed.h"
#include "common/bar/dlgbar.h"
#include "common/support/zelsupport.h"
#include "editor/cmdregistry.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// How the waiting command is set up, and what it received.
struct Waiter {
    const wchar_t* page = L"CMDTEXT";
    const wchar_t* historyList = L"4";
    std::vector<std::wstring> history;
    bool notify = true;
    bool unloadAtEnd = false;
};
Waiter gWaiter;
std::vector<std::wstring> gGot;

std::wstring loc(const wchar_t* key) {
    std::wstring value;
    ZelGetLocText(key, value, L"");
    return value;
}

// The placement panel's Enter (item 704) is answered by posting 805, as the placement command
// does; every call is noted.
void onText(int item, const ACHAR* text) {
    gGot.push_back(L"callback " + std::to_wstring(item) + L" " + text);
    if (item != 704) return;
    ZelSetLocText(L"ZelText/arg1", L"0");
    ZelSetLocText(L"ZelText/arg2", L"0");
    ZelSetLocText(L"ZelText/cmd", L"805");
    acedPostCommandText(L"\n");
}

// The chosen line goes in at the caret of the panel's text, through its control handle.
void insertAtCaret(const std::wstring& line) {
    if (ArxCmd_ReplaceSel(ArxCmd_GetHWnd(4103), line.c_str()) != 1)
        gGot.push_back(L"ReplaceSel failed");
}

bool ends(const std::wstring& cmd) {
    return cmd == L"803" || cmd == L"805" || cmd == L"810";
}

// One post read: false when the wait is over.
bool readPost() {
    int type = 0;
    resbuf rb{};
    if (acedGrRead(0, &type, &rb) != RTNORM) {
        gGot.push_back(L"cancelled");
        return false;
    }
    std::wstring cmd = loc(L"ZelText/cmd");
    ZelSetLocText(L"ZelText/cmd", L"");
    if (cmd.empty()) { // not the panel's: a key
        gGot.push_back(L"key " + std::to_wstring(rb.resval.rint));
        return rb.resval.rint != L'Q';
    }
    gGot.push_back(cmd + L" " + loc(L"ZelText/tmp") + L" " + loc(L"ZelText/arg1") + L" " +
                   loc(L"ZelText/arg2"));
    if (cmd == L"804") {
        insertAtCaret(loc(L"ZelText/arg1"));
        gGot.push_back(L"now " + loc(L"ZelText/tmp"));
    }
    return !ends(cmd);
}

void waitForPanel() {
    if (!Zelads_LoadDlg(gWaiter.page)) return;
    Zelads_FpText(onText);
    for (const std::wstring& line : gWaiter.history)
        Zelads_AddCmbList(gWaiter.historyList, line.c_str());
    ArxCmd_LoadDlg(1);
    ArxCmd_SetFocusText(L"3");
    ZelSetLocText(L"ZelText/cmd", L"");
    ZelSetLocText(L"ZelText/Notify", gWaiter.notify ? L"1" : L"0");
    while (readPost()) {
    }
    ZelSetLocText(L"ZelText/Notify", L"0");
    Zelads_FpText(nullptr);
    if (gWaiter.unloadAtEnd) Zelads_UnloadDlg();
}

class TextPanel : public ModuleTest {
protected:
    TextPanel() {
        load("zelgui");
        gWaiter = Waiter{};
        gGot.clear();
        zel::editor::CommandDef d;
        d.group = L"TEST";
        d.global = L"PANELWAIT";
        d.run = waitForPanel;
        EXPECT_TRUE(ed().commands().add(std::move(d)));
    }
    ~TextPanel() override { ::unsetenv("ZELCAD_SUPPORT"); }

    std::vector<std::wstring> got() { return gGot; }
    // The bar as ZELBAR shows it now, from its first line to its last.
    std::string shown() {
        run("ZELBAR\n");
        std::string t = transcript();
        size_t from = t.rfind("dialog bar:");
        size_t to = from == std::string::npos ? from : t.find('\n', t.find("aids:", from));
        return from == std::string::npos ? std::string() : t.substr(from, to - from);
    }
};

TEST_F(TextPanel, TypingHistoryAndEnterReachTheWaitingPlacementCommand) {
    gWaiter.history = {L"深さ5", L"φ20"};
    run("PANELWAIT\n"
        "!panel type \"M\"\n"
        "!panel type \"10\"\n"
        "!panel insert 4 1\n"
        "!panel pick 4 0\n"
        "!panel add\n"
        "!panel delete 4 1\n"
        "!panel enter\n");
    EXPECT_EQ(got(), (std::vector<std::wstring>{
                         L"802 M 1 ",
                         L"802 M10 3 ",
                         L"804 M10 φ20 1",
                         L"now M10φ20",
                         L"806 M10φ20 深さ5 0",
                         L"807 M10φ20  ",
                         L"808 M10φ20 φ20 1",
                         L"callback 704 M10φ20",
                         L"805 M10φ20 0 0",
                     }));
    EXPECT_EQ(loc(L"ZelText/Notify"), L"0");
    EXPECT_FALSE(ed().queue().exhausted()) << "every post was read";
    std::string shown = this->shown();
    EXPECT_NE(shown.find("dialog bar: page CMDTEXT \"文字記入\""), std::string::npos) << shown;
    EXPECT_NE(
        shown.find("combo 4 \"\" [\"深さ5\", \"φ20\"] label \"履歴\" item 604 history line 0"),
        std::string::npos)
        << shown;
    EXPECT_NE(shown.find("text panel: command-bar field 3, item 104, Enter item 704"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("command bar: TEXT\n  field 3 \"M10φ20\" caret 6 focus"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("tile 8 \"左寄せ\" radio 1 value \"0\""), std::string::npos) << shown;
}

TEST_F(TextPanel, ThePrefixPanelPostsEnterAndEsc) {
    struct Case {
        const char* script;
        std::vector<std::wstring> expected;
    };
    const Case kCases[] = {
        {"!panel type \"R\"\n!panel enter\n", {L"802 R 1 ", L"803 R 1 "}},
        {"!panel pick 1 1\n!panel insert 1 0\n!panel esc\n",
         {L"806  R 1", L"804  C 0", L"now C", L"810 C  "}},
        {"!esc\n", {L"cancelled"}},
    };
    for (const Case& c : kCases) {
        gWaiter = Waiter{};
        gWaiter.page = L"CMDTEXTS2";
        gWaiter.historyList = L"1";
        gWaiter.history = {L"C", L"R"};
        gWaiter.unloadAtEnd = true;
        gGot.clear();
        run("PANELWAIT\n" + std::string(c.script));
        ArxCmd_SetText(L"3", L""); // the command clears the panel's text
        EXPECT_EQ(got(), c.expected) << c.script;
        EXPECT_NE(shown().find("dialog bar: no page"), std::string::npos) << c.script;
    }
}

TEST_F(TextPanel, WithoutNotifyNothingIsPostedAndTheCallbackHearsTheEdits) {
    gWaiter.page = L"CMDTEXTS2";
    gWaiter.historyList = L"1";
    gWaiter.history = {L"C"};
    gWaiter.notify = false;
    mark();
    run("PANELWAIT\n"
        "!panel type \"X\"\n"
        "!panel enter\n"
        "!panel esc\n"
        "!panel add\n"
        "!panel pick 1 0\n"
        "!key Q\n");
    EXPECT_EQ(got(), (std::vector<std::wstring>{L"callback 2 X", L"callback 101 C", L"key 81"}));
    EXPECT_EQ(loc(L"ZelText/cmd"), L"");
    EXPECT_EQ(loc(L"ZelText/tmp"), L"") << "nothing written";
    std::string said = since();
    size_t n = 0;
    for (size_t at = said.find("テキストパネルの入力を待つコマンドがありません");
         at != std::string::npos;
         at = said.find("テキストパネルの入力を待つコマンドがありません", at + 1))
        ++n;
    EXPECT_EQ(n, 3u) << said;
}

TEST_F(TextPanel, PanelEventsWithoutAPanelAreToldAndChangeNothing) {
    std::string before = shown();
    mark();
    // A command after the panel's events: side events alone at the command prompt end the input.
    run("!panel type \"A\"\n!panel pick 4 0\n!panel esc\nZELBAR\n");
    std::string said = since();
    EXPECT_NE(said.find("ダイアログバー: テキストパネルのあるページが表示されていません"),
              std::string::npos)
        << said;
    EXPECT_EQ(shown(), before);

    ASSERT_EQ(Zelads_LoadDlg(L"CMDTXTSPC"), 1);
    before = shown();
    EXPECT_NE(before.find("tile 10 \"左右(高さ倍)\" radio 3 value \"0\""), std::string::npos)
        << before;
    EXPECT_NE(before.find("field 10 \"\" label \"横ｵﾌｾｯﾄ2\" disabled"), std::string::npos)
        << before;
    EXPECT_EQ(before.find("text panel"), std::string::npos) << "a page of switches only";
    mark();
    run("!panel enter\nZELBAR\n");
    EXPECT_NE(since().find("テキストパネルのあるページが表示されていません"), std::string::npos);
    EXPECT_EQ(shown(), before);

    ASSERT_EQ(Zelads_LoadDlg(L"CMDTEXT"), 1);
    ASSERT_EQ(ArxCmd_LoadDlg(2), 1);
    before = shown();
    mark();
    run("!panel type \"A\"\n!panel pick 9 0\n!panel insert 1 0\n!panel delete 4 0\nZELBAR\n");
    said = since();
    for (const char* text :
         {"テキストパネルは文字を入力できる状態ではありません", "リスト 9 はありません",
          "リスト 1 に 0 番の行はありません (0 行)", "リスト 4 に 0 番の行はありません (0 行)"})
        EXPECT_NE(said.find(text), std::string::npos) << text << "\n" << said;
    EXPECT_EQ(shown(), before);
}

TEST_F(TextPanel, ABadPageDefinitionIsToldAndThePageShownStays) {
    std::filesystem::create_directories(folder() / "bar");
    std::ofstream(folder() / "bar" / "CMDBAD.bar") << "field 1 \"a\"\nslider 2 \"b\"\n";
    ::setenv("ZELCAD_SUPPORT", folder().c_str(), 1);
    ASSERT_EQ(Zelads_LoadDlg(L"CMDTEXTS2"), 1);
    mark();
    EXPECT_EQ(Zelads_LoadDlg(L"CMDBAD"), 0);
    EXPECT_NE(since().find("CMDBAD.bar line 2: unknown kind \"slider\""), std::string::npos)
        << since();
    EXPECT_NE(since().find("Error:ZelDlgLoad()"), std::string::npos);
    EXPECT_NE(shown().find("dialog bar: page CMDTEXTS2"), std::string::npos);
    EXPECT_EQ(Zelads_LoadDlg(L"CMDPLAIN"), 1) << "a page without a definition starts empty";
    EXPECT_NE(shown().find("dialog bar: page CMDPLAIN\ncommand bar"), std::string::npos) << shown();
}

// ArxCmd_SetSel with the panel text's handle and two positions; false when the bar refused.
bool setSel(long long handle, int first, int last) {
    return ArxCmd_SetSel(handle, first, last) == 1;
}

TEST_F(TextPanel, TheCommandPlacesTheCaretTypingGoesIn) {
    ASSERT_EQ(Zelads_LoadDlg(L"CMDTEXTS2"), 1);
    ASSERT_EQ(ArxCmd_LoadDlg(1), 1);
    ASSERT_EQ(ArxCmd_SetText(L"3", L"ac"), 1);
    long long handle = ArxCmd_GetHWnd(4103);
    ASSERT_TRUE(setSel(handle, 1, 1));
    EXPECT_NE(shown().find("field 3 \"ac\" caret 1"), std::string::npos) << shown();
    run("!panel type \"b\"\nZELBAR\n");
    EXPECT_NE(shown().find("field 3 \"abc\" caret 2"), std::string::npos) << shown();
    ASSERT_TRUE(setSel(handle, 0, -1));
    EXPECT_NE(shown().find("field 3 \"abc\" selection 0-3"), std::string::npos) << shown();
    EXPECT_FALSE(setSel(4102, 0, 0)) << "no text field behind that handle";
    EXPECT_NE(shown().find("field 3 \"abc\" selection 0-3"), std::string::npos) << shown();
    ASSERT_EQ(ArxCmd_SetText(L"3", L"xyz"), 1);
    EXPECT_NE(shown().find("field 3 \"xyz\" caret 3"), std::string::npos)
        << "new text puts the caret at its end";
}

TEST_F(TextPanel, WithoutTheBarPanelEventsAreOnlyNoted) {
    unload("zelgui");
    mark();
    run("!panel pick 4 0\n");
    EXPECT_NE(since().find("!panel pick 4 0"), std::string::npos) << since();
}

} // namespace
