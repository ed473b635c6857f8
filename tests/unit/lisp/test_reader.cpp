// The reader and the printer: text read and printed back, numbers, strings and their
// escapes, comments, and malformed text with the line and column of the fault.
#include "lisp/printer.h"
#include "lisp/reader.h"
#include "lisp_test.h"

using namespace zel::lisp;
using namespace zel::lisp::test;

namespace {

// Every expression of the text, printed with prin1 and separated by "|".
std::wstring readAll(std::wstring_view text) {
    SymbolTable symbols;
    Reader reader(symbols, text);
    std::wstring out;
    try {
        while (std::optional<Value> v = reader.next())
            out += (out.empty() ? L"" : L"|") + toText(*v);
    } catch (const LispError& e) {
        return L"!" + e.message();
    }
    return out;
}

} // namespace

TEST(LispReader, TextReadsAndPrintsBack) {
    struct Row {
        const wchar_t* text;
        const wchar_t* printed;
    } rows[] = {
        {L"abc", L"ABC"},
        {L"Abc", L"ABC"},
        {L"nil", L"nil"},
        {L"NIL", L"nil"},
        {L"t", L"T"},
        {L"(a . b)", L"(A . B)"},
        {L"(a . (b . (c)))", L"(A B C)"},
        {L"(a . nil)", L"(A)"},
        {L"( a   b\t)", L"(A B)"},
        {L"()", L"nil"},
        {L"'a", L"(QUOTE A)"},
        {L"'(1 'b)", L"(QUOTE (1 (QUOTE B)))"},
        {L"\"a\\\\b\"", L"\"a\\\\b\""},
        {L"\"tab\\there\"", L"\"tab\\there\""},
        {L"\"\\101\\102\"", L"\"AB\""},
        {L"\"\\0\"", L"\"\\000\""},
        {L"\"\\x\"", L"\"x\""},
        {L"\"q\\\"q\"", L"\"q\\\"q\""},
        {L"\"line\nbreak\"", L"\"line\\nbreak\""},
        {L"\"\\e[0m\"", L"\"\\e[0m\""},
        {L"\"図面\"", L"\"図面\""},
        {L"; comment\n5", L"5"},
        {L";| block\n comment |; 6", L"6"},
        {L"(1 ;| inside |; 2)", L"(1 2)"},
        {L"(1 ; to the end\n 2)", L"(1 2)"},
        {L"1e3", L"1000.0"},
        {L"-.5", L"-0.5"},
        {L"+.5", L"0.5"},
        {L"1.5e-3", L"0.0015"},
        {L"1E2", L"100.0"},
        {L"007", L"7"},
        {L"1+", L"1+"},
        {L"-", L"-"},
        {L"1e", L"1E"},
        {L"..", L".."},
        {L"a.b", L"A.B"},
        {L"12abc", L"12ABC"},
        {L"図面", L"図面"},
        {L"c:hello", L"C:HELLO"},
        {L"1 2 (3)", L"1|2|(3)"},
        {L"a'b", L"A|(QUOTE B)"},
        {L"(a\"s\"b)", L"(A \"s\" B)"},
        {L"", L""},
        {L"  ; only a comment", L""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(readAll(r.text), std::wstring(r.printed)) << narrow(r.text);
}

TEST(LispReader, MalformedTextNamesTheFaultAndWhere) {
    struct Row {
        const wchar_t* text;
        const wchar_t* message;
    } rows[] = {
        {L")", L"!式の書き方が正しくありません: 余分な ) があります (1 行 1 桁)"},
        {L"(1 . )", L"!式の書き方が正しくありません: . の後に式がありません (1 行 6 桁)"},
        {L"( . 1)", L"!式の書き方が正しくありません: . の位置が正しくありません (1 行 3 桁)"},
        {L"(1 . 2 3)", L"!式の書き方が正しくありません: . の後に式が二つ以上あります (1 行 8 桁)"},
        {L"(1 . 2 . 3)", L"!式の書き方が正しくありません: . の位置が正しくありません (1 行 8 桁)"},
        {L". 1", L"!式の書き方が正しくありません: . の位置が正しくありません (1 行 1 桁)"},
        {L"(1 ')", L"!式の書き方が正しくありません: ' の後に式がありません (1 行 5 桁)"},
        {L"(a\n  b))", L"!式の書き方が正しくありません: 余分な ) があります (2 行 5 桁)"},
        {L"1e999", L"!式の書き方が正しくありません: 数値が大きすぎます: 1e999 (1 行 1 桁)"},
        {L"'", L"!式が閉じていません: ' の後に式がありません (1 行 1 桁)"},
        {L"(1 2", L"!式が閉じていません: かっこが閉じていません (1 行 1 桁)"},
        {L"(1 (2\n", L"!式が閉じていません: かっこが閉じていません (1 行 4 桁)"},
        {L"\"abc", L"!式が閉じていません: 文字列が閉じていません (1 行 1 桁)"},
        {L"x ;| open", L"!式が閉じていません: コメント ;| が閉じていません (1 行 3 桁)"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(readAll(r.text), std::wstring(r.message)) << narrow(r.text);
}

TEST(LispReader, ShellAsksForMoreOnlyWhenTheTextIsUnfinished) {
    struct Row {
        const wchar_t* text;
        bool more;
    } rows[] = {
        {L"(defun f ()", true}, {L"(a))", false},   {L"\"abc", true}, {L"1", false},
        {L"", false},           {L";| x", true},    {L"'", true},     {L"(a \"b)\"", true},
        {L"(a) (b", true},      {L"(a . )", false}, {L"; (", false},  {L"(;)\n)", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(needsMoreInput(r.text), r.more) << narrow(r.text);
}

TEST(LispReader, NumberTokens) {
    struct Row {
        const wchar_t* token;
        const wchar_t* value; // printed, or "" when the token is not a number
    } rows[] = {
        {L"12", L"12"},
        {L"-2147483648", L"-2.14748e+09"},
        {L"2147483647", L"2147483647"},
        {L"1e3", L"1000.0"},
        {L"abc", L""},
        {L"1.2.3", L""},
        {L"+", L""},
        {L".", L""},
        {L"-.5", L"-0.5"},
        {L"1.", L"1.0"},
        {L"1e+2", L"100.0"},
        {L"1e-2", L"0.01"},
        {L"e3", L""},
        {L"0x10", L""},
        {L"١٢", L""},
        {L"99999999999", L"1.0e+11"},
    };
    for (const Row& r : rows) {
        std::optional<Value> v = parseNumberToken(r.token);
        EXPECT_EQ(v ? toText(*v) : L"", std::wstring(r.value)) << narrow(r.token);
    }
}

TEST(LispReader, ReadsOneExpressionAtATime) {
    SymbolTable symbols;
    std::wstring text = L"(a) 2 \"three\" ; end";
    Reader reader(symbols, text);
    EXPECT_EQ(toText(*reader.next()), L"(A)");
    EXPECT_EQ(reader.offset(), 3u);
    EXPECT_EQ(toText(*reader.next()), L"2");
    EXPECT_EQ(toText(*reader.next()), L"\"three\"");
    EXPECT_FALSE(reader.next().has_value());
    EXPECT_FALSE(reader.next().has_value());
    // Symbols are shared by name without case.
    EXPECT_EQ(symbols.find(L"a"), symbols.intern(L"A"));
    EXPECT_EQ(positionOf(L"ab\ncd", 4).line, 2u);
    EXPECT_EQ(positionOf(L"ab\ncd", 4).column, 2u);
}
