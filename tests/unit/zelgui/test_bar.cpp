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

} // namespace
