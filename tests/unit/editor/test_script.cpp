// Scripts: what each line turns into, and what a malformed line says.
#include "core/text.h"
#include "editor/script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace zel::editor;
using zel::core::utf8ToWide;
using zel::core::wideToUtf8;

namespace {

// The events of a script as the script would write them, joined by " | ".
std::string events(const Script& s) {
    std::wstring out;
    for (const Event& e : s.events) {
        if (!out.empty()) out += L" | ";
        out += describe(e);
    }
    return wideToUtf8(out);
}

struct ParseCase {
    const char* script;
    const char* events;
};

TEST(Script, LinesBecomeEvents) {
    const ParseCase cases[] = {
        {"LINE 0,0 100,0 100,50 \"\"", "LINE | 0,0 | 100,0 | 100,50 | !enter"},
        {"LINE 0,0 100,0 ", "LINE | 0,0 | 100,0 | !enter"}, // trailing blank: Enter
        {"LINE 0,0   ; comment  ", "LINE | 0,0"},           // not with a comment
        {"LINE   0,0\t100,0", "LINE | 0,0 | 100,0"},        // blanks only separate
        {"A\n\nB", "A | !enter | B"},                       // empty line: Enter
        {"A\n   \nB", "A | !enter | B"},                    // blank line: Enter
        {"# a comment\n; another\nA", "A"},
        {"A;no blank before the comment", "A"},
        {"C#5", "C#5"}, // '#' inside a token
        {"\"a b\" c", "a b | c"},
        {"\"say \\\"hi\\\" \\\\\"", "say \"hi\" \\"},
        {"\"C:\\dir\\f.dxf\"", "C:\\dir\\f.dxf"}, // other backslashes stay
        {"\"; not a comment\"", "; not a comment"},
        {"(setq a \"x y\") B", "(setq a \"x y\") | B"},
        {"(princ \"(\")", "(princ \"(\")"},
        {"(defun f ()\n  (princ \"a;b\") ; note\n)\nNEXT",
         "(defun f ()\n  (princ \"a;b\") \n) | NEXT"},
        {"!bar text 3 \"5\"", "!bar text 3 \"5\""},
        {"!bar text 12 abc", "!bar text 12 \"abc\""},
        {"!BAR TILE 4", "!bar tile 4"},
        {"!pick 10,0", "!pick 10,0"},
        {"!move 12,3.5,1", "!move 12,3.5,1"},
        {"!esc   !enter   !rclick   !key Z", "!esc | !enter | !rclick | !key Z"},
        {"!panel type \"C5\"   !panel enter", "!panel type \"C5\" | !panel enter"},
        {"!panel pick 4 0 !panel INSERT 1 2", "!panel pick 4 0 | !panel insert 1 2"},
        {"!panel delete 4 3 !panel add !panel esc", "!panel delete 4 3 | !panel add | !panel esc"},
        {"!dialog check 1003 on | text 1023 \"2.5\" | select 1020 3 | press 1",
         "!dialog check 1003 on | !dialog text 1023 \"2.5\" | !dialog select 1020 3 | "
         "!dialog press 1"},
        {"!dialog check 7 off|press 2", "!dialog check 7 off | !dialog press 2"},
        {"!msgbox yes !msgbox NO !msgbox ok !msgbox Cancel",
         "!msgbox yes | !msgbox no | !msgbox ok | !msgbox cancel"},
        {"A\r\nB\r\n", "A | B"},
        {"A\rB", "A | B"},
        {"", ""},
    };
    for (const ParseCase& c : cases) {
        Script s = parseScript(utf8ToWide(c.script));
        EXPECT_TRUE(s.ok()) << c.script << ": " << wideToUtf8(s.errors.front().text());
        EXPECT_EQ(events(s), c.events) << c.script;
    }
}

TEST(Script, KeysByName) {
    Script s = parseScript(L"!key SPACE !key tab !key Enter !key ESC !key BACKSPACE !key #");
    ASSERT_TRUE(s.ok());
    std::vector<int> codes;
    for (const Event& e : s.events)
        codes.push_back(e.code);
    EXPECT_EQ(codes, (std::vector<int>{' ', '\t', '\r', 27, 8, '#'}));
}

TEST(Script, EventsKeepTheirLineNumbers) {
    Script s = parseScript(L"A B\n\n!pick 1,2\n(f\n x)\nC", 10);
    ASSERT_TRUE(s.ok());
    std::vector<int> lines;
    for (const Event& e : s.events)
        lines.push_back(e.line);
    EXPECT_EQ(lines, (std::vector<int>{10, 10, 11, 12, 13, 15}));
}

struct ErrorCase {
    const char* script;
    int line;
    const char* says;
};

TEST(Script, MalformedLinesSayWhatWasExpected) {
    const ErrorCase cases[] = {
        {"!pick a,b", 1, "!pick: expected a point x,y[,z], found \"a,b\""},
        {"!pick 1,2,3,4", 1, "expected a point"},
        {"!pick 1,", 1, "expected a point"},
        {"!move", 1, "!move: expected a point x,y[,z], found the end of the line"},
        {"A\n!bar text x \"5\"", 2, "!bar text: expected a field number, found \"x\""},
        {"!bar text 3", 1, "expected the field's text"},
        {"!bar", 1, "!bar: expected text or tile"},
        {"!bar press 3", 1, "expected text or tile, found \"press\""},
        {"!bar tile", 1, "expected a tile number"},
        {"\"abc", 1, "missing closing quote"},
        {"\"a\"b", 1, "expected a blank after the closing quote"},
        {"(foo (bar)\nA", 1, "unbalanced parenthesis"},
        {"(foo)x", 1, "expected a blank after the closing ')'"},
        {"!dialog check 1 maybe", 1, "expected on or off, found \"maybe\""},
        {"!dialog press 1 press 2", 1, "expected '|' or the end of the line"},
        {"!dialog push 1", 1, "expected check, text, select or press"},
        {"!dialog select 1", 1, "expected an item index"},
        {"!msgbox perhaps", 1, "expected yes, no, ok or cancel"},
        {"!frob 1", 1, "unknown directive \"!frob\""},
        {"!", 1, "unknown directive"},
        {"!key QQ", 1, "expected a key"},
        {"!panel", 1, "!panel: expected type, enter, pick, insert, delete, add or esc"},
        {"!panel choose 4 0", 1,
         "expected type, enter, pick, insert, delete, add or esc, found "
         "\"choose\""},
        {"!panel type", 1, "!panel type: expected a text"},
        {"!panel pick", 1, "!panel pick: expected a list number, found the end of the line"},
        {"!panel insert 4", 1, "!panel insert: expected a line number (from 0)"},
        {"!panel delete x 1", 1, "!panel delete: expected a list number, found \"x\""},
    };
    for (const ErrorCase& c : cases) {
        Script s = parseScript(utf8ToWide(c.script));
        ASSERT_EQ(s.errors.size(), 1u) << c.script;
        EXPECT_EQ(s.errors[0].line, c.line) << c.script;
        std::string text = wideToUtf8(s.errors[0].text());
        EXPECT_NE(text.find(c.says), std::string::npos) << c.script << " -> " << text;
        EXPECT_EQ(text.rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << text;
    }
}

TEST(Script, EveryBadLineIsReportedAndTheirEventsDropped) {
    Script s = parseScript(L"A\n!pick x\nB !bar tile\n!frob\nC");
    ASSERT_EQ(s.errors.size(), 3u);
    EXPECT_EQ(s.errors[0].line, 2);
    EXPECT_EQ(s.errors[1].line, 3);
    EXPECT_EQ(s.errors[2].line, 4);
    EXPECT_EQ(events(s), "A | C"); // "B" went with its bad line
    EXPECT_FALSE(s.ok());
}

TEST(Script, FilesAreReadAsUtf8OrCp932) {
    Script utf8 = loadScript(ZEL_FIXTURES_DIR "/scripts/editor_basic.zsc");
    ASSERT_TRUE(utf8.ok()) << wideToUtf8(utf8.errors.front().text());
    EXPECT_EQ(events(utf8), "ZEL_TEST | 10,20 | 文字列 あ | !bar text 3 \"長さ\" | !esc | !enter");
    Script cp932 = loadScript(ZEL_FIXTURES_DIR "/scripts/editor_cp932.zsc");
    ASSERT_TRUE(cp932.ok());
    EXPECT_EQ(events(cp932), "文字 | !enter");

    Script missing = loadScript(ZEL_FIXTURES_DIR "/scripts/no_such_script.zsc");
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_EQ(missing.errors[0].line, 0);
    EXPECT_NE(wideToUtf8(missing.errors[0].message).find("no_such_script.zsc"), std::string::npos);
}

TEST(Script, EnqueueKeepsTheOrder) {
    EventQueue q;
    q.push(Event::typed(L"first"));
    enqueue(q, parseScript(L"a b\n!esc"));
    std::vector<std::wstring> seen;
    while (auto e = q.take())
        seen.push_back(describe(*e));
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"first", L"a", L"b", L"!esc"}));
}

} // namespace
