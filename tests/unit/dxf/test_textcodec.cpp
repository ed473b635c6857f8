// Text of DXF files: code pages, "\U+XXXX" escapes, caret notation, UTF-8 writing.
#include "dxf/records.h"
#include "dxf/textcodec.h"

#include <gtest/gtest.h>

#include <random>

namespace zel::dxf {
namespace {

struct DecodeCase {
    const char* name;
    const char* version;
    const char* codePage;
    std::string raw;
    std::wstring want;
};

TEST(TextDecoder, Table) {
    const DecodeCase cases[] = {
        {"ascii", "AC1027", "ANSI_1252", "Layer 1", L"Layer 1"},
        {"utf-8 file", "AC1027", "ANSI_1252", "\xC3\xA4\xE6\x97\xA5", L"\u00e4\u65e5"},
        {"cp1252 file", "AC1015", "ANSI_1252", "\xE4\x80", L"\u00e4\u20ac"},
        {"lower-case code page name", "AC1009", "ansi_1252", "\xD6", L"\u00d6"},
        {"shift-jis file", "AC1015", "ANSI_932", "\x93\xfa\x96\x7b", L"\u65e5\u672c"},
        {"dos932 names shift-jis", "AC1012", "dos932", "\x93\xfa", L"\u65e5"},
        {"escapes before 2007", "AC1009", "ANSI_1252", "\\U+039B\\U+0391x", L"\u039b\u0391x"},
        {"escaped pair", "AC1015", "ANSI_1252", "\\U+D83D\\U+DE00", L"\U0001F600"},
        {"escapes are text from 2007", "AC1021", "ANSI_1252", "\\U+039B", L"\\U+039B"},
        {"carets are kept as written", "AC1027", "ANSI_1252", "a^Jb^ c^a^", L"a^Jb^ c^a^"},
        {"invalid utf-8", "AC1032", "ANSI_1252", "a\xFF", L"a\ufffd"},
        {"unknown code page reads as 1252", "AC1015", "ANSI_9999", "\xE9", L"\u00e9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextDecoder d = TextDecoder::forFile(c.version, c.codePage);
        EXPECT_EQ(d.decode(c.raw), c.want);
    }
}

TEST(TextDecoder, FlagsUndecodableText) {
    TextDecoder d = TextDecoder::forFile("AC1032", "");
    d.decode("fine");
    EXPECT_FALSE(d.hadErrors());
    d.decode("\xC0\x80");
    EXPECT_TRUE(d.hadErrors());
}

// A text of the drawing written and read back is the same text; control characters (which
// the drawing gets only from the host) come back in their caret form.
TEST(TextCodec, RandomTextRoundTrips) {
    const wchar_t alphabet[] = {L'a', L'^', L' ', L'J', L'@', L'_', L'\n', L'\t', 0x01, 0x1f,
                                L'\\', L'U', L'+', 0xe4, 0x65e5, 0x1F600, L'?', L'`'};
    TextDecoder d = TextDecoder::forFile("AC1027", "ANSI_1252");
    for (unsigned seed = 1; seed <= 500; ++seed) {
        std::mt19937 rng(seed);
        std::wstring text;
        for (int n = int(rng() % 12); n > 0; --n) text += alphabet[rng() % std::size(alphabet)];
        std::string bytes;
        appendDxfText(bytes, text);
        ASSERT_EQ(bytes.find('\n'), std::string::npos) << "a value must stay on one line";
        ASSERT_EQ(bytes.find('\r'), std::string::npos);
        std::wstring caretForm;
        for (wchar_t c : text) {
            if (c >= 0 && c < 0x20) {
                caretForm += L'^';
                caretForm += wchar_t(c + 0x40);
            } else {
                caretForm += c;
            }
        }
        ASSERT_EQ(d.decode(bytes), caretForm) << "seed " << seed;
    }
}

TEST(TextCodec, WritesCaretFormAndUtf8) {
    struct Case {
        std::wstring text;
        std::string bytes;
    } cases[] = {{L"a\nb", "a^Jb"},  {L"x^Y", "x^Y"},        {L"^ ", "^ "},
                 {L"\t", "^I"},      {L"\u00e4", "\xC3\xA4"}, {L"\U0001F600", "\xF0\x9F\x98\x80"},
                 {std::wstring(1, wchar_t(0xD800)), "\xEF\xBF\xBD"}};
    for (const auto& c : cases) {
        std::string out;
        appendDxfText(out, c.text);
        EXPECT_EQ(out, c.bytes);
    }
}

TEST(TextCodec, CaretsShownAsTheCharactersTheyStandFor) {
    struct Case {
        std::wstring text;
        std::wstring shown;
    } cases[] = {{L"a^Jb", L"a\nb"}, {L"^I", L"\t"},       {L"x^ y", L"x^y"}, {L"abc^adef", L"abc^adef"},
                 {L"end^", L"end^"}, {L"^^", L"\x1e"}, {L"^@", std::wstring(1, L'\0')}};
    for (auto c : cases) {
        decodeCarets(c.text);
        EXPECT_EQ(c.text, c.shown);
    }
}

std::vector<Tag> tagsOf(std::string_view data) {
    TagReader r(data);
    std::vector<Tag> tags;
    Tag t;
    while (r.next(t)) tags.push_back(t);
    EXPECT_EQ(r.error(), "");
    return tags;
}

struct PointCase {
    const char* name;
    const char* data;
    int dims;
    AcGePoint3d point;
    size_t groups;
};

TEST(Groups, PointAssemblyTable) {
    const PointCase cases[] = {
        {"x y z", "10\n1\n20\n2\n30\n3\n", 3, {1, 2, 3}, 1},
        {"x y", "10\n1\n20\n2\n8\n0\n", 2, {1, 2, 0}, 2},
        {"old order: all x first", "10\n1\n11\n4\n20\n2\n21\n5\n30\n3\n31\n6\n", 3, {1, 2, 3}, 2},
        {"x alone", "10\n7\n8\n0\n", 1, {7, 0, 0}, 2},
        {"x of another point stops the search", "10\n1\n10\n5\n20\n6\n", 1, {1, 0, 0}, 2},
        {"extrusion", "210\n0\n220\n0\n230\n-1\n", 3, {0, 0, -1}, 1},
        {"xdata point", "1010\n1\n1020\n2\n1030\n3\n", 3, {1, 2, 3}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Tag> tags = tagsOf(c.data);
        std::vector<ZelGroupValue> groups;
        std::vector<uint64_t> wheres;
        assembleGroups(tags, TextDecoder(), groups, wheres);
        ASSERT_EQ(groups.size(), c.groups);
        ASSERT_EQ(wheres.size(), c.groups);
        EXPECT_EQ(pointDimensions(groups[0]), c.dims);
        EXPECT_EQ(groups[0].point.x, c.point.x);
        EXPECT_EQ(groups[0].point.y, c.point.y);
        EXPECT_EQ(groups[0].point.z, c.point.z);
    }
}

TEST(Groups, ValuesByType) {
    std::vector<Tag> tags = tagsOf("5\n2a\n330\nnot-hex\n310\n00FF\n62\n-7\n40\n2.5\n1\n^J\n");
    std::vector<ZelGroupValue> g;
    std::vector<uint64_t> w;
    assembleGroups(tags, TextDecoder(), g, w);
    ASSERT_EQ(g.size(), 6u);
    EXPECT_EQ(g[0].integer, 0x2a);
    EXPECT_TRUE(g[0].text.empty());
    EXPECT_EQ(g[1].text, L"not-hex") << "a handle that is not hexadecimal stays as text";
    EXPECT_EQ(g[2].text, L"00FF");
    EXPECT_EQ(g[3].integer, -7);
    EXPECT_EQ(g[4].real, 2.5);
    EXPECT_EQ(g[5].text, L"^J") << "texts are kept as the file writes them";
    EXPECT_EQ(w, (std::vector<uint64_t>{1, 3, 5, 7, 9, 11}));
}

TEST(Records, SplitsAtZeroAndStopsAtEof) {
    std::string data = "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nA\n0\nENDSEC\n0\nEOF\n"
                       "garbage that is never read\n";
    TagReader tags(data);
    RecordReader records(tags, TextDecoder());
    Record r;
    std::vector<std::string> types;
    while (records.next(r)) {
        types.push_back(r.type);
        if (r.type == "EOF") break;
    }
    EXPECT_EQ(records.error(), "");
    EXPECT_EQ(types, (std::vector<std::string>{"SECTION", "LINE", "ENDSEC", "EOF"}));
}

TEST(Records, DataBeforeTheFirstZeroIsDamage) {
    TagReader tags("8\nA\n0\nLINE\n");
    RecordReader records(tags, TextDecoder());
    Record r;
    EXPECT_FALSE(records.next(r));
    EXPECT_EQ(records.error(), "line 1: expected group code 0 (the start of an object), found 8");
}

} // namespace
} // namespace zel::dxf
