// The dialog bar's state: pages, what an edit or a press does (the callbacks, disabled and
// hidden controls, masks) and how the bar shows itself.
#include "companions/zelgui/bar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> gEvents;
void onText(int key, const ACHAR* text) {
    gEvents.push_back(L"text " + std::to_wstring(key) + L" " + text);
}
void onTile(int key) {
    gEvents.push_back(L"tile " + std::to_wstring(key));
}

class Bar : public ::testing::Test {
protected:
    Bar() { gEvents.clear(); }
    zelgui::DialogBar bar;
};

TEST_F(Bar, EditsAndPressesReachTheCallbacksOfTheLoadedPage) {
    using zelgui::Outcome;
    EXPECT_EQ(bar.edit(3, L"5"), Outcome::NoPage) << "nothing to type into";
    bar.load(L"CMDBREAK");
    EXPECT_EQ(bar.edit(3, L"5"), Outcome::NoCallback);
    EXPECT_EQ(bar.field(L"3").text, L"5") << "the field shows the text even without a command";
    bar.setCallbacks(onText);
    bar.setCallbacks(onTile);
    EXPECT_EQ(bar.edit(3, L"7.5"), Outcome::Delivered);
    EXPECT_EQ(bar.press(4), Outcome::Delivered);
    EXPECT_EQ(gEvents, (std::vector<std::wstring>{L"text 3 7.5", L"tile 4"}));
}

TEST_F(Bar, DisabledHiddenAndMaskedControlsReachNoCommand) {
    using zelgui::Outcome;
    bar.load(L"CMDTRIM");
    bar.setCallbacks(onText);
    bar.setCallbacks(onTile);
    bar.field(L"1").enabled = false;
    bar.tile(L"2").shown = false;
    EXPECT_EQ(bar.edit(1, L"x"), Outcome::Disabled);
    EXPECT_EQ(bar.field(L"1").text, L"") << "a disabled field cannot be typed into";
    EXPECT_EQ(bar.press(2), Outcome::Disabled);
    bar.mask(1, true);
    EXPECT_EQ(bar.press(5), Outcome::Masked);
    EXPECT_EQ(bar.edit(6, L"1"), Outcome::Delivered) << "only tile presses are masked";
    bar.mask(1, false);
    EXPECT_EQ(bar.press(5), Outcome::Delivered);
    EXPECT_EQ(gEvents, (std::vector<std::wstring>{L"text 6 1", L"tile 5"}));
}

TEST_F(Bar, RadioTilesTurnTheirGroupOffAndTogglesSwitch) {
    zelgui::Page p;
    p.name = L"CMDTXTSPC";
    for (int k = 1; k <= 4; ++k) {
        zelgui::Tile& t = p.tiles[std::to_wstring(k)];
        t.kind = zelgui::TileKind::Radio;
        t.group = k <= 2 ? 1 : 2;
        t.value = L"0";
    }
    p.tiles[L"5"].kind = zelgui::TileKind::Toggle;
    p.tiles[L"5"].value = L"0";
    p.tiles[L"6"].enabled = false;
    bar.load(p);
    bar.setCallbacks(onTile);
    auto values = [&] {
        std::wstring v;
        for (const auto& [key, t] : bar.page()->tiles)
            v += t.value.empty() ? L"-" : t.value;
        return v;
    };
    struct Step {
        int press;
        const wchar_t* values; // tiles 1..6
    };
    static const Step kSteps[] = {
        {1, L"10000-"}, {2, L"01000-"}, {4, L"01010-"}, {3, L"01100-"},
        {5, L"01101-"}, {5, L"01100-"}, {6, L"01100-"}}; // a disabled tile changes nothing
    for (const Step& s : kSteps) {
        bar.press(s.press);
        EXPECT_EQ(values(), s.values) << "after pressing " << s.press;
    }
    EXPECT_EQ(gEvents.size(), 6u) << "every enabled press reaches the command";
    bar.mask(1, true);
    EXPECT_EQ(bar.press(1), zelgui::Outcome::Masked);
    EXPECT_EQ(values(), L"10100-") << "a masked press still switches the tile the user sees";
}

TEST_F(Bar, LoadingAPageStartsItAfreshAndUnloadingTwiceIsHarmless) {
    bar.load(L"A");
    bar.field(L"1").text = L"old";
    bar.load(L"B");
    EXPECT_EQ(bar.page()->name, L"B");
    EXPECT_TRUE(bar.page()->fields.empty());
    EXPECT_TRUE(bar.unload());
    EXPECT_FALSE(bar.unload());
    EXPECT_EQ(bar.page(), nullptr);
}

TEST_F(Bar, CommandBarPagesAndTheEndOfAJob) {
    EXPECT_TRUE(bar.loadCommandPage(L"COORD"));
    EXPECT_FALSE(bar.loadCommandPage(L"OTHER"));
    EXPECT_EQ(bar.commandBar().page, L"COORD") << "a refused page changes nothing";
    bar.commandBar().fields[L"9"].text = L"点を指定 :";
    bar.commandBar().step = L"2";
    bar.endJob();
    EXPECT_EQ(bar.commandBar().page, L"DEFAULT");
    EXPECT_TRUE(bar.commandBar().fields.empty());
    EXPECT_TRUE(bar.commandBar().step.empty());
}

TEST_F(Bar, DescribesWhatTheUserSees) {
    bar.load(L"CMDBREAK");
    bar.field(L"3").text = L"10";
    bar.field(L"4").enabled = false;
    bar.setFocus(L"3");
    bar.tile(L"7").label = L"連続";
    bar.tile(L"7").value = L"1";
    bar.combo(L"5").items = {L"A", L"B"};
    bar.combo(L"5").text = L"A";
    bar.loadCommandPage(L"COORD");
    bar.commandBar().fields[L"9"].text = L"始点 :";
    EXPECT_EQ(bar.describe(), L"dialog bar: page CMDBREAK\n"
                              L"  field 3 \"10\" focus\n"
                              L"  field 4 \"\" disabled\n"
                              L"  tile 7 \"連続\" value \"1\"\n"
                              L"  combo 5 \"A\" [\"A\", \"B\"]\n"
                              L"command bar: COORD\n"
                              L"  field 9 \"始点 :\"\n"
                              L"aids: OSMODE 0 DRAGMODE 2\n");
}

TEST_F(Bar, DescribesATextPanelPageWithItsCaret) {
    zelgui::Page p;
    p.name = L"CMDTEXT";
    p.title = L"文字記入";
    p.fields[L"101"].label = L"高さ";
    zelgui::Tile& radio = p.tiles[L"8"];
    radio.kind = zelgui::TileKind::Radio;
    radio.group = 1;
    radio.value = L"1";
    p.tiles[L"23"].kind = zelgui::TileKind::Toggle;
    p.tiles[L"23"].value = L"0";
    zelgui::Combo& history = p.combos[L"4"];
    history.items = {L"M10"};
    history.item = 604;
    history.history = true;
    history.selected = 0;
    p.panel = zelgui::TextPanel{104, 704};
    bar.load(p);
    bar.loadCommandPage(L"TEXT");
    zelgui::Field& text = *bar.panelField();
    text.text = L"M10 深さ";
    text.selection = std::pair<size_t, size_t>{1, 3};
    bar.commandBar().focus = zelgui::kPanelField;
    EXPECT_EQ(bar.describe(), L"dialog bar: page CMDTEXT \"文字記入\"\n"
                              L"  field 101 \"\" label \"高さ\"\n"
                              L"  tile 23 toggle value \"0\"\n"
                              L"  tile 8 radio 1 value \"1\"\n"
                              L"  combo 4 \"\" [\"M10\"] item 604 history line 0\n"
                              L"  text panel: command-bar field 3, item 104, Enter item 704\n"
                              L"command bar: TEXT\n"
                              L"  field 3 \"M10 深さ\" selection 1-3 focus\n"
                              L"aids: OSMODE 0 DRAGMODE 2\n");
    text.selection.reset();
    EXPECT_NE(bar.describe().find(L"field 3 \"M10 深さ\" caret 6 focus"), std::wstring::npos);
    bar.unload();
    EXPECT_EQ(bar.panelField(), nullptr) << "no page, no panel";
    EXPECT_EQ(bar.describe().find(L"caret"), std::wstring::npos);
}

} // namespace
