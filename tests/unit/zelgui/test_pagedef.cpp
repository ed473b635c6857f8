// Page definitions of the dialog bar: the shipped pages of the text commands, what a bad
// definition is told, and the UTF-8 the files are read in.
#include "companions/zelgui/pagedef.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using zelgui::Page;
using zelgui::TileKind;

Page shipped(const std::wstring& name) {
    std::filesystem::path file =
        std::filesystem::path(ZEL_SOURCE_DIR) / "resources" / zelgui::pageFileName(name);
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_TRUE(in.good()) << file;
    std::optional<std::wstring> text = zelgui::decodeUtf8(bytes.str());
    EXPECT_TRUE(text.has_value()) << file;
    zelgui::PageParse parsed = zelgui::parsePage(text.value_or(L""), name);
    EXPECT_TRUE(parsed.page.has_value()) << std::string(parsed.error.begin(), parsed.error.end());
    return parsed.page.value_or(Page{});
}

std::string narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s)
        out += c < 128 ? char(c) : '?';
    return out;
}

TEST(PageDefinitions, TheTextPlacementPanelHasItsItemsListsAndPanel) {
    Page p = shipped(L"CMDTEXT");
    EXPECT_EQ(p.name, L"CMDTEXT");
    for (int k = 1; k <= 15; ++k) {
        const zelgui::Tile& t = p.tiles.at(std::to_wstring(k));
        EXPECT_EQ(t.kind, TileKind::Radio) << "alignment tile " << k;
        EXPECT_EQ(t.group, 1) << k;
        EXPECT_EQ(t.value, L"0") << k;
    }
    EXPECT_EQ(p.tiles.at(L"23").kind, TileKind::Toggle) << "equal distribution";
    for (const wchar_t* k : {L"16", L"17", L"18", L"19", L"20", L"25", L"26"})
        EXPECT_EQ(p.tiles.at(k).kind, TileKind::Button) << narrow(k);
    const std::pair<const wchar_t*, int> kLists[] = {
        {L"1", 101}, {L"2", 102}, {L"3", 103}, {L"4", 604}};
    for (const auto& [key, item] : kLists) {
        EXPECT_EQ(p.combos.at(key).item, item) << narrow(key);
        EXPECT_EQ(p.combos.at(key).history, item == 604) << narrow(key);
    }
    for (const wchar_t* k : {L"5", L"101", L"102", L"103"})
        EXPECT_TRUE(p.fields.count(k)) << narrow(k);
    ASSERT_TRUE(p.panel.has_value());
    EXPECT_EQ(p.panel->item, 104);
    EXPECT_EQ(p.panel->enterItem, 704);
}

TEST(PageDefinitions, ThePrefixPanelAndTheDistributionPage) {
    Page s2 = shipped(L"CMDTEXTS2");
    for (const wchar_t* k : {L"1", L"2"})
        EXPECT_TRUE(s2.fields.count(k)) << narrow(k);
    EXPECT_FALSE(s2.fields.at(L"2").enabled);
    EXPECT_TRUE(s2.tiles.count(L"3"));
    EXPECT_TRUE(s2.combos.at(L"1").history);
    EXPECT_EQ(s2.combos.at(L"1").item, 101);
    ASSERT_TRUE(s2.panel.has_value());
    EXPECT_EQ(s2.panel->enterItem, 0) << "Enter is posted";

    Page spc = shipped(L"CMDTXTSPC");
    const int kGroups[] = {0, 1, 1, 0, 0, 2, 2, 3, 3, 3, 3}; // by tile; 0: a toggle
    for (int k = 1; k <= 10; ++k) {
        const zelgui::Tile& t = spc.tiles.at(std::to_wstring(k));
        EXPECT_EQ(t.kind, kGroups[k] ? TileKind::Radio : TileKind::Toggle) << k;
        EXPECT_EQ(t.group, kGroups[k]) << k;
    }
    for (const wchar_t* k : {L"4", L"5", L"7", L"8", L"9", L"10"})
        EXPECT_FALSE(spc.fields.at(k).enabled) << narrow(k);
    EXPECT_FALSE(spc.panel.has_value()) << "a page of switches and offsets only";
}

TEST(PageDefinitions, FlagsTitleAndCommentsAreRead) {
    zelgui::PageParse p = zelgui::parsePage(L"# a page\n"
                                            L"page \"見出し \\\"A\\\"\"   # title\r\n"
                                            L"\n"
                                            L"field 7 \"x\" hidden disabled\n"
                                            L"toggle 2 \"t\" disabled\n"
                                            L"list 3 30 \"l\" hidden\n"
                                            L"panel 9\n",
                                            L"P");
    ASSERT_TRUE(p.page) << narrow(p.error);
    EXPECT_EQ(p.page->title, L"見出し \"A\"");
    EXPECT_FALSE(p.page->fields.at(L"7").shown);
    EXPECT_FALSE(p.page->fields.at(L"7").enabled);
    EXPECT_FALSE(p.page->tiles.at(L"2").enabled);
    EXPECT_FALSE(p.page->combos.at(L"3").shown);
    EXPECT_FALSE(p.page->combos.at(L"3").history);
    EXPECT_EQ(p.page->panel->item, 9);
}

TEST(PageDefinitions, BadDefinitionsSayWhereAndWhat) {
    struct Case {
        const wchar_t* text;
        const wchar_t* error;
    };
    static const Case kCases[] = {
        {L"slider 1 \"a\"", L"line 1: unknown kind \"slider\""},
        {L"field 1 \"a\"\nfield 1 \"b\"", L"line 2: field 1 given twice"},
        {L"field x \"a\"", L"line 1: expected a key (a number from 1), found \"x\""},
        {L"field 0 \"a\"", L"line 1: expected a key (a number from 1), found \"0\""},
        {L"field 1 a", L"line 1: expected the label in double quotes"},
        {L"field 1 \"a", L"line 1: a text in double quotes is not closed"},
        {L"field 1 \"a\" bold", L"line 1: unknown flag \"bold\""},
        {L"field 1 \"a\" history", L"line 1: unknown flag \"history\""},
        {L"radio 1 \"a\"", L"line 1: expected the radio group"},
        {L"list 1 11 \"a\" history\nlist 2 12 \"b\" history", L"line 2: a second history list"},
        {L"panel 1\npanel 2", L"line 2: a second panel line"},
        {L"panel 1 exit 2", L"line 1: expected enter or the line end"},
        {L"panel 1 enter 2 3", L"line 1: expected the end of the line"},
        {L"page \"a\"\npage \"b\"", L"line 2: a second page line"},
        {L"\n\nbutton 1", L"line 3: expected the label in double quotes"},
    };
    for (const Case& c : kCases) {
        zelgui::PageParse p = zelgui::parsePage(c.text, L"BAD");
        EXPECT_FALSE(p.page.has_value()) << narrow(c.text);
        EXPECT_EQ(p.error.substr(0, std::wcslen(c.error)), c.error) << narrow(p.error);
    }
}

TEST(PageDefinitions, OnlyPlainNamesAreLookedFor) {
    EXPECT_EQ(zelgui::pageFileName(L"CMDTEXT"), L"bar/CMDTEXT.bar");
    for (const wchar_t* name : {L"", L"../x", L"a/b", L"a.b", L"a b"})
        EXPECT_EQ(zelgui::pageFileName(name), L"") << narrow(name);
}

TEST(PageDefinitions, Utf8IsDecodedAndAnythingElseRefused) {
    EXPECT_EQ(zelgui::decodeUtf8("a\xC3\xA9\xE6\x96\x87\xF0\x9F\x98\x80"),
              L"a\u00E9\u6587\U0001F600");
    EXPECT_EQ(zelgui::decodeUtf8("\xEF\xBB\xBFx"), L"x") << "a byte-order mark is dropped";
    for (const char* bad : {"\x80", "\xC3", "\xE6\x96", "\xC0\xAF", "\xED\xA0\x80", "\xF8\x88",
                            "a\xC3(", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(zelgui::decodeUtf8(bad).has_value()) << bad;
}

} // namespace
