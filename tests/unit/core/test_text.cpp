// Text conversion: UTF-8, code pages, DXF escapes, names without case, number parsing.
#include "core/text.h"

#include <gtest/gtest.h>

#include <random>

using namespace zel::core;

namespace {

std::string hex(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        s += digits[b >> 4];
        s += digits[b & 15];
        s += ' ';
    }
    return s;
}

} // namespace

TEST(Utf8, RoundTripsEveryPlane) {
    const std::wstring samples[] = {
        L"",
        L"LINE",
        L"caf\u00e9",
        L"\u65e5\u672c\u8a9e",
        L"\uff75\uff8c\uff9e\uff7c\uff9e\uff6a\uff78\uff84", // half-width katakana
        L"\U0001F600 smile",
        L"\u00a0\u07ff\u0800\uffff\U00010000\U0010FFFF"};
    for (const std::wstring& s : samples) {
        std::string bytes = wideToUtf8(s);
        EXPECT_TRUE(isValidUtf8(bytes)) << hex(bytes);
        EXPECT_EQ(utf8ToWide(bytes), s) << hex(bytes);
    }
    EXPECT_EQ(wideToUtf8(L"\u00e9\u65e5\U0001F600"), "\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80");
}

TEST(Utf8, EachIllFormedSubpartBecomesOneReplacement) {
    const wchar_t R = kReplacementChar;
    struct Case {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"\x80", {R}},
        {"a\xc3", {L'a', R}},
        {"\xc3(", {R, L'('}},
        {"\xe2\x82", {R}}, // truncated 3-byte sequence
        {"\xe2\x82(", {R, L'('}},
        {"\xf0\x9f\x98", {R}},              // truncated 4-byte sequence
        {"\xc0\xaf", {R, R}},               // overlong
        {"\xe0\x80\xaf", {R, R, R}},        // overlong
        {"\xed\xa0\x80", {R, R, R}},        // encoded surrogate
        {"\xf4\x90\x80\x80", {R, R, R, R}}, // beyond U+10FFFF
        {"\xfe\xff", {R, R}},
        {"ok\xff\xc3\xa9", {L'o', L'k', R, 0xe9}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(isValidUtf8(c.bytes)) << hex(c.bytes);
        EXPECT_EQ(utf8ToWide(c.bytes), c.text) << hex(c.bytes);
    }
}

TEST(Utf8, UnencodableWideCharactersBecomeReplacement) {
    std::wstring bad = {L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000)};
    EXPECT_EQ(wideToUtf8(bad), "a\xef\xbf\xbd\xef\xbf\xbd");
}

TEST(CodePage, Cp932KnownBytes) {
    struct Case {
        std::wstring text;
        std::string bytes;
    } cases[] = {
        {L"\uff75\uff8c\uff9e\uff7c\uff9e\uff6a\uff78\uff84", "\xb5\xcc\xde\xbc\xde\xaa\xb8\xc4"},
        {L"\u65e5\u672c\u8a9e", "\x93\xfa\x96\x7b\x8c\xea"},
        {L"\u30aa\u30d6\u30b8\u30a7\u30af\u30c8",
         "\x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67"},
        {L"\uff5e\u2460", "\x81\x60\x87\x40"}, // the Windows mappings of ～ and ①
        {L"a\\b~", "a\\b~"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(wideToCp932(c.text)), hex(c.bytes));
        EXPECT_EQ(cp932ToWide(c.bytes), c.text) << hex(c.bytes);
    }
}

TEST(CodePage, InvalidBytesDecodeToReplacementAndKeepTheRest) {
    const wchar_t R = kReplacementChar;
    EXPECT_EQ(cp932ToWide("\x81\x20x"), (std::wstring{R, L' ', L'x'}));
    EXPECT_EQ(cp932ToWide("ab\x81"), (std::wstring{L'a', L'b', R})); // cut lead byte
    EXPECT_EQ(cp932ToWide("\xa0z"), (std::wstring{R, L'z'}));
    EXPECT_EQ(decode("\x81\x81", CodePage::Ansi1252), (std::wstring{R, R}));
    // CP1255 holds a character back for combining marks; it must still come before the bad byte.
    EXPECT_EQ(decode("a\xd9"
                     "b\xe0",
                     CodePage::Ansi1255),
              (std::wstring{L'a', R, L'b', 0x05D0}));
}

TEST(CodePage, EveryDxfCodePageRoundTripsItsScript) {
    struct Case {
        CodePage cp;
        std::wstring text;
    } cases[] = {
        {CodePage::Ansi874, L"\u0e44\u0e17\u0e22"},
        {CodePage::Ansi932, L"\u6f22\u5b57\uff76\uff85"},
        {CodePage::Ansi936, L"\u4e2d\u6587"},
        {CodePage::Ansi949, L"\ud55c\uad6d\uc5b4"},
        {CodePage::Ansi950, L"\u7e41\u9ad4"},
        {CodePage::Ansi1250, L"\u0141\u00f3d\u017a"},
        {CodePage::Ansi1251, L"\u041f\u0440\u0438\u0432\u0435\u0442"},
        {CodePage::Ansi1252, L"caf\u00e9 \u20ac"},
        {CodePage::Ansi1253, L"\u0391\u03b8\u03ae\u03bd\u03b1"},
        {CodePage::Ansi1254, L"\u0130stanbul \u011f"},
        {CodePage::Ansi1255, L"\u05e9\u05dc\u05d5\u05dd"},
        {CodePage::Ansi1256, L"\u0633\u0644\u0627\u0645"},
        {CodePage::Ansi1257, L"\u0105\u017euolas"},
        {CodePage::Ansi1258, L"Vi\u1ec7t"},
        {CodePage::Utf8, L"\u65e5\U0001F600"},
    };
    for (const Case& c : cases) {
        std::string bytes = encode(c.text, c.cp);
        EXPECT_EQ(bytes.find('?'), std::string::npos) << codePageName(c.cp);
        EXPECT_EQ(decode(bytes, c.cp), c.text) << codePageName(c.cp);
        EXPECT_EQ(decode("plain ASCII", c.cp), L"plain ASCII");
    }
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarksOrEscapes) {
    struct Case {
        CodePage cp;
        std::wstring text;
        std::string question, escaped;
    } cases[] = {
        {CodePage::Ansi1252, L"a\u65e5b", "a?b", "a\\U+65E5b"},
        {CodePage::Ansi932, L"\u00e9\u65e5", "?\x93\xfa", "\\U+00E9\x93\xfa"},
        {CodePage::Ansi932, L"x\U0001F600", "x?", "x\\U+D83D\\U+DE00"},
        {CodePage::Ansi1251, L"\u0416\u4e2d", "\xc6?", "\xc6\\U+4E2D"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hex(encode(c.text, c.cp)), hex(c.question));
        std::string esc = encode(c.text, c.cp, Unmappable::DxfEscape);
        EXPECT_EQ(hex(esc), hex(c.escaped));
        EXPECT_EQ(decodeDxfEscapes(decode(esc, c.cp)), c.text);
    }
}

TEST(CodePage, NamesOfDxfHeader) {
    EXPECT_EQ(codePageFromName("ANSI_932"), CodePage::Ansi932);
    EXPECT_EQ(codePageFromName("ansi_1252"), CodePage::Ansi1252);
    EXPECT_EQ(codePageFromName("UTF-8"), CodePage::Utf8);
    EXPECT_EQ(codePageFromName("utf8"), CodePage::Utf8);
    EXPECT_FALSE(codePageFromName("ANSI_437"));
    EXPECT_FALSE(codePageFromName(""));
    for (CodePage cp : {CodePage::Ansi874, CodePage::Ansi950, CodePage::Ansi1258})
        EXPECT_EQ(codePageFromName(codePageName(cp)), cp);
}

TEST(DxfEscapes, DecodeTable) {
    const wchar_t R = kReplacementChar;
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"\\U+0041", L"A"},
        {L"x\\U+65E5\\U+672Cy", L"x\u65e5\u672cy"},
        {L"\\U+00e9", L"\u00e9"},
        {L"\\U+D83D\\U+DE00", L"\U0001F600"},
        {L"\\U+D800x", std::wstring{R, L'x'}},
        {L"\\U+DE00", std::wstring{R}},
        {L"\\U+12", L"\\U+12"},
        {L"\\U+12G4", L"\\U+12G4"},
        {L"\\u+0041", L"\\u+0041"},
        {L"a\\Pb\\\\", L"a\\Pb\\\\"},
        {L"\\M+18140", L"\u3000"},
        {L"\\M+193FA\\M+1967B", L"\u65e5\u672c"},
        {L"\\M+98140", L"\\M+98140"},
        {L"end\\", L"end\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeDxfEscapes(c.in), c.out);
}

TEST(TextFile, Utf8OrElseCp932) {
    EXPECT_EQ(decodeTextFile("\xef\xbb\xbf\xe6\x97\xa5"), L"\u65e5");
    EXPECT_EQ(decodeTextFile("\x93\xfa\x96\x7b"), L"\u65e5\u672c");
    EXPECT_EQ(decodeTextFile("abc"), L"abc");
}

TEST(Names, CaseInsensitiveCompare) {
    EXPECT_TRUE(equalsNoCase(L"Layer1", L"LAYER1"));
    EXPECT_TRUE(equalsNoCase(L"\uff41\uff42\uff5a", L"\uff21\uff22\uff3a")); // full-width
    EXPECT_TRUE(equalsNoCase(L"caf\u00e9", L"CAF\u00c9"));
    EXPECT_TRUE(equalsNoCase(L"\u0434\u0451", L"\u0414\u0401"));
    EXPECT_TRUE(equalsNoCase(L"\u65e5\u672c", L"\u65e5\u672c"));
    EXPECT_FALSE(equalsNoCase(L"\u00f7", L"\u00d7")); // ÷ and × are no letters
    EXPECT_FALSE(equalsNoCase(L"a", L"\uff21"));      // half- and full-width differ
    EXPECT_FALSE(equalsNoCase(L"ab", L"abc"));
    EXPECT_LT(compareNoCase(L"abc", L"ABD"), 0);
    EXPECT_GT(compareNoCase(L"b", L"A"), 0);
    EXPECT_LT(compareNoCase(L"ab", L"ABC"), 0);
    EXPECT_EQ(toUpper(L"a\u00ff\u00e0z\uff4d"), L"A\u00ff\u00c0Z\uff2d");
    EXPECT_EQ(toLower(L"A\u00c0\u0401Z\uff2d"), L"a\u00e0\u0451z\uff4d");
    EXPECT_TRUE(NoCaseLess{}(L"apple", L"BANANA"));
    EXPECT_FALSE(NoCaseLess{}(L"APPLE", L"apple"));
}

TEST(Numbers, ParseTable) {
    struct Case {
        std::wstring text;
        std::optional<double> value;
    } cases[] = {
        {L"1.5", 1.5}, {L"  -2e3 ", -2000.0}, {L"+.5", 0.5}, {L"5.", 5.0},    {L"0", 0.0},
        {L"abc", {}},  {L"1.5x", {}},         {L"", {}},     {L"  ", {}},     {L"inf", {}},
        {L"nan", {}},  {L"1e400", {}},        {L"0x10", {}}, {L"\uff11", {}}, {L"++1", {}},
        {L"+-1", {}},  {L"1,5", {}},          {L"1 2", {}},  {L"-", {}},      {L"1e", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseDouble(c.text), c.value) << zel::core::wideToUtf8(c.text);

    EXPECT_EQ(parseInt(L"42"), 42);
    EXPECT_EQ(parseInt(L" -7 "), -7);
    EXPECT_EQ(parseInt(L"+3"), 3);
    EXPECT_FALSE(parseInt(L"2147483648"));
    EXPECT_FALSE(parseInt(L"1.0"));
    EXPECT_FALSE(parseInt(L"0x1"));
    EXPECT_EQ(parseInt64(L"-9223372036854775808"), INT64_MIN);
    EXPECT_FALSE(parseInt64(L"9223372036854775808"));
}

TEST(Numbers, ShortestTextReadsBackExactly) {
    EXPECT_EQ(toWString(0.1), L"0.1");
    EXPECT_EQ(toWString(-2.0), L"-2");
    EXPECT_EQ(toWString(1e300), L"1e+300");
    EXPECT_EQ(toWString(int64_t{-9000000000}), L"-9000000000");
    std::mt19937_64 rng(20240601);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 2000; ++i) {
        double v = std::ldexp(mantissa(rng), exponent(rng));
        EXPECT_EQ(parseDouble(toWString(v)), v);
    }
}
