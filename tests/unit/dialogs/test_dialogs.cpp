// Modal dialogs driven by scripts: every control kind, handlers, refused actions, the end of
// the input while a dialog waits, templates that cannot be used, and message boxes.
#include "../app/app_fixture.h"

#include "app/dialogs.h"
#include "arx/dlg.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::wstring kTemplate =
    zel::core::utf8ToWide(ZEL_SOURCE_DIR "/tests/unit/dialogs/testdlg.dlg");

// Fills its combo and list, logs the handlers it gets and reads every control on OK.
class TestDlg : public CDialog {
public:
    TestDlg() : CDialog(kTemplate.c_str()) {}

    std::vector<std::string> log;
    bool check = false, upper = false;
    int radio = 0, combo = -1, list = -1;
    std::wstring edit, comboText, staticText;
    int opened = 0;

protected:
    bool OnInitDialog() override {
        ++opened;
        SetWindowText(L"テスト - 重複除去");
        for (const wchar_t* c : {L"256(ByLayer)", L"0(ByBlock)", L"1(赤)"})
            AddString(1030, c);
        for (const wchar_t* c : {L"A", L"B", L"C", L"D"})
            AddString(1040, c);
        SetCurSel(1030, 0);
        CheckRadioButton(1010, 1011, 1011);
        CheckRadioButton(1012, 1013, 1012);
        OnClicked(1000,
                  [this] { log.push_back("check " + std::to_string(IsDlgButtonChecked(1000))); });
        OnClicked(1011, [this] { log.push_back("radio off"); });
        OnChange(1020,
                 [this] { log.push_back("edit " + zel::core::wideToUtf8(GetDlgItemText(1020))); });
        OnSelChange(1030, [this] { log.push_back("combo " + std::to_string(GetCurSel(1030))); });
        OnSelChange(1040, [this] { log.push_back("list " + std::to_string(GetCurSel(1040))); });
        OnClicked(1060, [this] {
            log.push_back("reference");
            SetDlgItemText(1050, L"参照済");
        });
        return true;
    }
    void OnOK() override {
        check = IsDlgButtonChecked(1000) == BST_CHECKED;
        radio = GetCheckedRadioButton(1010, 1011);
        upper = GetCheckedRadioButton(1012, 1013) == 1012;
        edit = GetDlgItemText(1020);
        combo = GetCurSel(1030);
        comboText = GetDlgItemText(1030);
        list = GetCurSel(1040);
        staticText = GetDlgItemText(1050);
        CDialog::OnOK();
    }
};

class DialogTest : public AppTest {
protected:
    void feed(const std::string& script) {
        zel::editor::Script sc = zel::editor::parseScript(zel::core::utf8ToWide(script));
        ASSERT_TRUE(sc.ok());
        zel::editor::enqueue(ed().queue(), sc);
    }
};

} // namespace

TEST_F(DialogTest, EveryControlKindIsDrivenFromAScript) {
    feed("!dialog check 1000 on | check 1010 on | text 1020 \"12.5\"\n"
         "!dialog select 1030 2 | select 1040 3 | check 1000 off | check 1000 on\n"
         "!dialog press 1060\n"
         "!dialog press 1\n");
    TestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.check);
    EXPECT_EQ(dlg.radio, 1010);
    EXPECT_TRUE(dlg.upper) << "the other radio group is left alone";
    EXPECT_EQ(dlg.edit, L"12.5");
    EXPECT_EQ(dlg.combo, 2);
    EXPECT_EQ(dlg.comboText, L"1(赤)");
    EXPECT_EQ(dlg.list, 3);
    EXPECT_EQ(dlg.staticText, L"参照済");
    std::vector<std::string> expected = {"check 1", "edit 12.5", "combo 2",  "list 3",
                                         "check 0", "check 1",   "reference"};
    EXPECT_EQ(dlg.log, expected);
    EXPECT_TRUE(has("[ダイアログ] テスト - 重複除去"));
    EXPECT_TRUE(has("radio 1011 (o) \"OFF\""));
    EXPECT_TRUE(has("check 1001 [ ] \"部分重複\" (disabled)"));
    EXPECT_TRUE(has("*0 \"256(ByLayer)\""));
    EXPECT_TRUE(has("[ダイアログ終了] OK"));
}

TEST_F(DialogTest, RefusedActionsChangeNothingAndTheDialogGoesOn) {
    feed("!dialog check 1001 on\n"   // disabled
         "!dialog text 1021 \"x\"\n" // read-only
         "!dialog select 1040 9\n"   // no such row
         "!dialog check 1020 on\n"   // an edit is not checked
         "!dialog press 4711\n"      // no such control
         "!dialog check 1011 off\n"  // a radio button is switched by choosing another
         "LINE\n"                    // typing is not for the dialog
         "!dialog press 1\n");
    TestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.log.empty());
    EXPECT_EQ(dlg.list, CB_ERR);
    EXPECT_EQ(dlg.radio, 1011);
    EXPECT_FALSE(dlg.check);
    for (const char* said :
         {"項目 1001 は使用できません", "項目 1021 は読み取り専用です",
          "項目 1040 に 9 番の行はありません (4 行)", "項目 1020 は edit です (check できません)",
          "ダイアログに項目 4711 はありません", "ラジオボタンは同じ組", "[無視]"})
        EXPECT_TRUE(has(said)) << said;
}

TEST_F(DialogTest, AScriptThatEndsWhileTheDialogWaitsCancelsIt) {
    feed("!dialog check 1000 on\n");
    TestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.check) << "OnOK never ran";
    EXPECT_TRUE(has("入力が終わりました: ダイアログを取り消します."));
    EXPECT_TRUE(has("[ダイアログ終了] キャンセル"));
}

TEST_F(DialogTest, EscAndCancelEndWithCancelAndADialogOpensAgainAfresh) {
    feed("!dialog check 1000 on\n!esc\n!dialog press 2\n");
    TestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.opened, 2);
    EXPECT_EQ(dlg.IsDlgButtonChecked(1000), BST_UNCHECKED) << "the controls were made anew";
}

TEST_F(DialogTest, TemplatesThatCannotBeUsedAreToldAndGiveMinusOne) {
    CDialog missing(L"nosuchmodule/139");
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_TRUE(has("nosuchmodule/139 のテンプレートがありません"));

    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"check 1 \"a\" 0 0 1 1\n", "t line 1: a control before the dialog line"},
        {"dialog \"x\" 10 10\nknob 3 \"a\" 0 0 1 1\n", "t line 2: unknown kind \"knob\""},
        {"dialog \"x\" 10 10\ncheck 3 \"a\" 0 0 0 1\n", "t line 2: a size must be positive"},
        {"dialog \"x\" 10 10\ncheck 3 \"a\" 0 0 1 1 bold\n", "t line 2: unknown flag \"bold\""},
        {"dialog \"x 10 10\n", "t line 1: a text in double quotes is not closed"},
        {"dialog x 10 10\n", "t line 1: expected the title in double quotes"},
        {"dialog \"x\" 10 10\nedit 5 \"\" 0 0 1 1\nlist 5 \"\" 0 0 1 1\n",
         "t: control id 5 given twice"},
        {"# nothing\n", "t: no dialog line"},
    };
    for (const Case& c : cases) {
        zel::app::TemplateResult r =
            zel::app::parseDialogTemplate(zel::core::utf8ToWide(c.text), L"t");
        EXPECT_FALSE(r.dialog) << c.text;
        EXPECT_EQ(zel::core::wideToUtf8(r.error), c.error) << c.text;
    }
    zel::app::TemplateResult good =
        zel::app::parseDialogTemplate(L"dialog \"重複除去\" 127 162 font \"ＭＳ Ｐゴシック\" "
                                      L"9\nbutton 1 \"O\\\"K\" 1 2 3 4 default\n",
                                      L"t");
    ASSERT_TRUE(good.dialog) << zel::core::wideToUtf8(good.error);
    EXPECT_EQ(good.dialog->fontSize, 9);
    EXPECT_EQ(good.dialog->controls.at(0).label, L"O\"K");
    EXPECT_TRUE(good.dialog->controls.at(0).isDefault);
}

TEST_F(DialogTest, EveryShippedTemplateIsReadable) {
    int count = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(ZEL_SOURCE_DIR "/resources/dialogs")) {
        if (entry.path().extension() != ".dlg") continue;
        ++count;
        zel::app::TemplateResult r = zel::app::loadDialogTemplate(entry.path());
        EXPECT_TRUE(r.dialog) << zel::core::wideToUtf8(r.error);
    }
    EXPECT_GE(count, 3);
    // A module's dialog by its resource id: the two-line label keeps its line break.
    zel::app::TemplateResult dup =
        zel::app::loadDialogTemplate(zel::app::findDialogTemplate(L"draftedit/139"));
    ASSERT_TRUE(dup.dialog);
    EXPECT_EQ(dup.dialog->width, 127);
    EXPECT_EQ(dup.dialog->height, 162);
    bool twoLines = false;
    for (const auto& c : dup.dialog->controls)
        twoLines |= c.id == 1006 && c.label == L"重複図形を一本化\n（※同一属性のみ）";
    EXPECT_TRUE(twoLines);
}

TEST_F(DialogTest, MessageBoxesTakeTheAnswersTheirButtonsAllow) {
    struct Case {
        unsigned type;
        const char* script;
        int answer;
    };
    const Case cases[] = {
        {MB_YESNOCANCEL, "!msgbox no\n", IDNO},
        {MB_YESNOCANCEL, "!msgbox cancel\n", IDCANCEL},
        {MB_YESNOCANCEL, "!esc\n", IDCANCEL},
        {MB_OK, "!msgbox yes\n!msgbox ok\n", IDOK},
        {MB_OKCANCEL, "!dialog press 1\n!msgbox cancel\n", IDCANCEL},
        {MB_YESNO, "!esc\n!msgbox yes\n", IDYES},
        {MB_YESNO, "", IDNO},
        {MB_OKCANCEL, "", IDCANCEL},
    };
    for (const Case& c : cases) {
        feed(c.script);
        EXPECT_EQ(ZelMessageBox(L"編集した内容に変更します。\nよろしいですか？", L"Morvane ｴﾃﾞｨﾀ",
                                c.type),
                  c.answer)
            << c.script;
        ed().queue().clear();
    }
    EXPECT_TRUE(has("このメッセージには ok で答えます."));
    EXPECT_TRUE(has("入力が終わりました: メッセージを取り消します."));
}
