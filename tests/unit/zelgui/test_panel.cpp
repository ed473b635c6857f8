// The text panel: typing, Enter, the history list and Esc, posted to a waiting command through
// the per-document settings or told to the text callback; refused actions change nothing.
#include "companions/zelgui/panel.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using zelgui::PanelOutcome;

// The settings and the command line, as the panel sees them: every write and post in order.
class FakeLink : public zelgui::PanelLink {
public:
    std::wstring setting(const wchar_t* key) override {
        auto it = values.find(key);
        return it == values.end() ? std::wstring() : it->second;
    }
    void setSetting(const wchar_t* key, const std::wstring& value) override {
        values[key] = value;
        log.push_back(std::wstring(key) + L"=" + value);
    }
    void post(const wchar_t* text) override { log.push_back(L"post " + std::wstring(text)); }

    // What a waiting command reads after a post: "cmd tmp arg1 arg2".
    std::wstring posted() {
        return setting(zelgui::kCmdKey) + L" " + setting(zelgui::kTextKey) + L" " +
               setting(zelgui::kArg1Key) + L" " + setting(zelgui::kArg2Key);
    }

    std::map<std::wstring, std::wstring> values;
    std::vector<std::wstring> log;
};

std::vector<std::wstring> gHeard;
void heard(int key, const ACHAR* text) {
    gHeard.push_back(std::to_wstring(key) + L"=" + text);
}

zelgui::Page textPage() {
    zelgui::Page p;
    p.name = L"CMDTEXT";
    p.fields[L"101"];
    p.combos[L"1"].item = 101;
    p.combos[L"1"].items = {L"2.5", L"3.5"};
    zelgui::Combo& history = p.combos[L"4"];
    history.item = 604;
    history.history = true;
    history.items = {L"M10", L"M12", L"φ20"};
    p.panel = zelgui::TextPanel{104, 704};
    return p;
}

zelgui::Page prefixPage() {
    zelgui::Page p;
    p.name = L"CMDTEXTS2";
    zelgui::Combo& history = p.combos[L"1"];
    history.item = 101;
    history.history = true;
    history.items = {L"C", L"R"};
    p.panel = zelgui::TextPanel{2, 0};
    return p;
}

class Panel : public ::testing::Test {
public: // the cases of a table set the panel up through it
    Panel() {
        gHeard.clear();
        bar.setCallbacks(heard);
    }
    void show(zelgui::Page page, bool waiting) {
        bar.load(std::move(page));
        bar.loadCommandPage(L"TEXT");
        if (waiting) link.values[zelgui::kNotifyKey] = L"1";
    }
    zelgui::Field& text() { return bar.commandBar().fields[zelgui::kPanelField]; }

    zelgui::DialogBar bar;
    FakeLink link;
    zelgui::TextPanelActions panel{bar, link};
};

TEST_F(Panel, TypingIsPostedToTheWaitingCommandWithTheCaret) {
    show(textPage(), true);
    EXPECT_EQ(panel.type(L"M"), PanelOutcome::Posted);
    EXPECT_EQ(link.posted(), L"802 M 1 ");
    EXPECT_EQ(panel.type(L"10 深さ"), PanelOutcome::Posted);
    EXPECT_EQ(link.posted(), L"802 M10 深さ 6 ");
    EXPECT_EQ(text().text, L"M10 深さ");
    ASSERT_GE(link.log.size(), 5u);
    EXPECT_EQ(link.log[link.log.size() - 2], L"ZelText/cmd=802") << "the code is written last";
    EXPECT_EQ(link.log.back(), L"post \n");
    EXPECT_TRUE(gHeard.empty()) << "a waiting command is not called back";
}

TEST_F(Panel, TypingGoesInAtTheCaretTheCommandSet) {
    show(textPage(), true);
    struct Case {
        const wchar_t* before;
        std::optional<std::pair<size_t, size_t>> selection;
        const wchar_t* typed;
        const wchar_t* after;
        size_t caret;
    };
    static const Case kCases[] = {
        {L"", std::nullopt, L"ab", L"ab", 2},
        {L"ac", std::pair<size_t, size_t>{1, 1}, L"b", L"abc", 2},
        {L"axxd", std::pair<size_t, size_t>{1, 3}, L"bc", L"abcd", 3},
        {L"ab", std::pair<size_t, size_t>{0, 0}, L"", L"ab", 0},
        {L"ab", std::pair<size_t, size_t>{5, 9}, L"c", L"abc", 3}, // beyond the end: at the end
        {L"ab", std::pair<size_t, size_t>{2, 1}, L"X", L"aXb", 2}, // reversed: an empty one
    };
    for (const Case& c : kCases) {
        text().text = c.before;
        text().selection = c.selection;
        EXPECT_EQ(panel.type(c.typed), PanelOutcome::Posted);
        EXPECT_EQ(text().text, c.after);
        EXPECT_EQ(text().caret(), c.caret);
        EXPECT_EQ(link.setting(zelgui::kArg1Key), std::to_wstring(c.caret));
        EXPECT_EQ(link.setting(zelgui::kTextKey), c.after);
    }
}

TEST_F(Panel, WithoutAWaitingCommandTypingOnlyTellsTheCallback) {
    show(textPage(), false);
    link.values[zelgui::kNotifyKey] = L"0";
    EXPECT_EQ(panel.type(L"AB"), PanelOutcome::Called);
    EXPECT_EQ(panel.type(L"C"), PanelOutcome::Called);
    EXPECT_EQ(text().text, L"ABC");
    EXPECT_EQ(gHeard, (std::vector<std::wstring>{L"104=AB", L"104=ABC"}));
    EXPECT_TRUE(link.log.empty()) << "nothing written, nothing posted";
    bar.mask(0, true);
    EXPECT_EQ(panel.type(L"D"), PanelOutcome::TextOnly) << "masked edits reach no callback";
    EXPECT_EQ(text().text, L"ABCD");
}

TEST_F(Panel, EnterCallsBackOnThePlacementPanelAndIsPostedOnOthers) {
    show(textPage(), true);
    panel.type(L"M10");
    link.log.clear();
    EXPECT_EQ(panel.enter(), PanelOutcome::Called);
    EXPECT_EQ(gHeard, (std::vector<std::wstring>{L"704=M10"}));
    EXPECT_TRUE(link.log.empty()) << "the command answers Enter itself";

    show(prefixPage(), true);
    text().text = L"R";
    EXPECT_EQ(panel.enter(), PanelOutcome::Posted);
    EXPECT_EQ(link.posted(), L"803 R 1 ");
    link.values[zelgui::kNotifyKey] = L"0";
    link.log.clear();
    EXPECT_EQ(panel.enter(), PanelOutcome::NotWaiting);
    EXPECT_TRUE(link.log.empty());
}

TEST_F(Panel, HistoryLinesArePostedWithTheLineAndItsIndex) {
    struct Case {
        bool prefix;
        int list, index;
        bool insert;
        const wchar_t* posted;
    };
    static const Case kCases[] = {
        {false, 4, 2, true, L"804 ab φ20 2"},
        {false, 4, 0, false, L"806 ab M10 0"},
        {true, 1, 1, true, L"804 ab R 1"},
        {true, 1, 0, false, L"806 ab C 0"},
    };
    for (const Case& c : kCases) {
        show(c.prefix ? prefixPage() : textPage(), true);
        text().text = L"ab";
        EXPECT_EQ(panel.choose(c.list, c.index, c.insert), PanelOutcome::Posted);
        EXPECT_EQ(link.posted(), c.posted);
        EXPECT_EQ(bar.page()->combos.at(std::to_wstring(c.list)).selected, c.index);
        EXPECT_EQ(text().text, L"ab") << "the command inserts the line itself";
    }
    show(textPage(), true);
    text().text = L"ab";
    EXPECT_EQ(panel.remove(4, 1), PanelOutcome::Posted);
    EXPECT_EQ(link.posted(), L"808 ab M12 1");
    EXPECT_EQ(bar.page()->combos.at(L"4").items.size(), 3u) << "the command deletes the line";
    EXPECT_EQ(panel.add(), PanelOutcome::Posted);
    EXPECT_EQ(link.posted(), L"807 ab  ");
    EXPECT_EQ(panel.esc(), PanelOutcome::Posted);
    EXPECT_EQ(link.posted(), L"810 ab  ");
    EXPECT_TRUE(gHeard.empty());
}

TEST_F(Panel, ChosenLinesGoToTheCallbackWhenNobodyWaits) {
    show(textPage(), false);
    EXPECT_EQ(panel.choose(4, 1, true), PanelOutcome::Called);
    EXPECT_EQ(panel.choose(1, 1, false), PanelOutcome::Called);
    EXPECT_EQ(bar.page()->combos.at(L"1").text, L"3.5");
    EXPECT_EQ(bar.page()->fields.at(L"101").text, L"3.5") << "the list's own field shows it";
    show(prefixPage(), false);
    EXPECT_EQ(panel.choose(1, 0, false), PanelOutcome::Called);
    EXPECT_EQ(gHeard, (std::vector<std::wstring>{L"604=M12", L"101=3.5", L"101=C"}));
    EXPECT_TRUE(link.log.empty());
    for (PanelOutcome o : {panel.remove(1, 0), panel.add(), panel.esc()})
        EXPECT_EQ(o, PanelOutcome::NotWaiting);
    EXPECT_TRUE(link.log.empty());
}

TEST_F(Panel, RefusedActionsChangeNothing) {
    struct Case {
        const char* what;
        std::function<void(Panel&)> setup;
        std::function<PanelOutcome(zelgui::TextPanelActions&)> act;
        PanelOutcome expected;
    };
    auto page = [](zelgui::Page p) { return [p](Panel& t) { t.show(p, true); }; };
    zelgui::Page noPanel = textPage();
    noPanel.panel.reset();
    const Case kCases[] = {
        {"no page", [](Panel&) {}, [](auto& p) { return p.type(L"x"); }, PanelOutcome::NoPanel},
        {"no page, Esc", [](Panel& t) { t.link.values[zelgui::kNotifyKey] = L"1"; },
         [](auto& p) { return p.esc(); }, PanelOutcome::NoPanel},
        {"a page without panel", page(noPanel), [](auto& p) { return p.enter(); },
         PanelOutcome::NoPanel},
        {"the coordinate page",
         [](Panel& t) {
             t.show(textPage(), true);
             t.bar.loadCommandPage(L"COORD");
         },
         [](auto& p) { return p.type(L"x"); }, PanelOutcome::NotTyping},
        {"a disabled text",
         [](Panel& t) {
             t.show(textPage(), true);
             t.text().enabled = false;
         },
         [](auto& p) { return p.enter(); }, PanelOutcome::NotTyping},
        {"no list 7", page(textPage()), [](auto& p) { return p.choose(7, 0, false); },
         PanelOutcome::NoList},
        {"line 3 of 3", page(textPage()), [](auto& p) { return p.choose(4, 3, true); },
         PanelOutcome::NoLine},
        {"line -1", page(textPage()), [](auto& p) { return p.remove(4, -1); },
         PanelOutcome::NoLine},
        {"insert from the heights", page(textPage()), [](auto& p) { return p.choose(1, 0, true); },
         PanelOutcome::NotHistory},
        {"delete from the heights", page(textPage()), [](auto& p) { return p.remove(1, 0); },
         PanelOutcome::NotHistory},
        {"a hidden list",
         [](Panel& t) {
             t.show(textPage(), true);
             t.bar.page()->combos[L"4"].shown = false;
         },
         [](auto& p) { return p.choose(4, 0, false); }, PanelOutcome::ListOff},
    };
    for (const Case& c : kCases) {
        bar = zelgui::DialogBar{};
        bar.setCallbacks(heard);
        link = FakeLink{};
        gHeard.clear();
        c.setup(*this);
        std::wstring before = bar.describe();
        EXPECT_EQ(c.act(panel), c.expected) << c.what;
        EXPECT_EQ(bar.describe(), before) << c.what;
        EXPECT_EQ(link.log.size(), 0u) << c.what;
        EXPECT_TRUE(gHeard.empty()) << c.what;
    }
}

// Random typing at random carets: the text is always what an independent model says, and every
// post gives the command the whole text and the caret within it.
TEST_F(Panel, RandomTypingKeepsTextAndCaretInStep) {
    std::mt19937 random(20240611);
    const std::wstring kAlphabet = L"ab 文字φ";
    for (int run = 0; run < 50; ++run) {
        show(textPage(), true);
        text().text.clear();
        text().selection.reset();
        std::wstring model;
        size_t caret = 0;
        for (int step = 0; step < 40; ++step) {
            if (random() % 3 == 0) { // the command moves the caret or selects
                size_t a = random() % (model.size() + 1), b = random() % (model.size() + 1);
                text().selection = std::pair{std::min(a, b), std::max(a, b)};
                model.erase(std::min(a, b), std::max(a, b) - std::min(a, b));
                caret = std::min(a, b);
            }
            std::wstring typed;
            for (size_t n = random() % 4; n > 0; --n)
                typed += kAlphabet[random() % kAlphabet.size()];
            model.insert(caret, typed);
            caret += typed.size();
            ASSERT_EQ(panel.type(typed), PanelOutcome::Posted);
            ASSERT_EQ(text().text, model) << "run " << run << " step " << step;
            ASSERT_EQ(link.setting(zelgui::kTextKey), model);
            ASSERT_EQ(link.setting(zelgui::kArg1Key), std::to_wstring(caret));
        }
    }
}

} // namespace
