// The tag layer: ASCII and binary tags, numbers, positions in error messages.
#include "dxf/tagreader.h"
#include "dxf/tagwriter.h"
#include "tagbuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace zel::dxf {
namespace {

// Renders a tag as "code=value" with numbers in a fixed form, for table comparisons.
std::string show(const Tag& t) {
    std::ostringstream s;
    s << t.code << '=';
    switch (t.type) {
    case core::GroupType::Real:
    case core::GroupType::PointX:
        s << t.real;
        break;
    case core::GroupType::Int16:
    case core::GroupType::Int32:
    case core::GroupType::Int64:
    case core::GroupType::Bool:
        s << t.integer;
        break;
    case core::GroupType::String:
    case core::GroupType::Handle:
    case core::GroupType::Binary:
        s << t.text;
        break;
    }
    return s.str();
}

struct ReadOutcome {
    std::vector<std::string> tags;
    std::string error;
};

ReadOutcome readAll(std::string_view data) {
    TagReader r(data);
    ReadOutcome out;
    Tag t;
    while (r.next(t)) out.tags.push_back(show(t));
    out.error = r.error();
    return out;
}

struct AsciiCase {
    const char* name;
    std::string data;
    std::vector<std::string> tags; // expected, when no error
    const char* error;             // expected part of the message, or nullptr
};

TEST(TagReader, AsciiTable) {
    const AsciiCase cases[] = {
        {"lf", "0\nSECTION\n2\nHEADER\n", {"0=SECTION", "2=HEADER"}, nullptr},
        {"crlf", "0\r\nSECTION\r\n70\r\n5\r\n", {"0=SECTION", "70=5"}, nullptr},
        {"padded codes", "  0\nLINE\n 10\n1.5\n", {"0=LINE", "10=1.5"}, nullptr},
        {"padded numbers", " 62\n 7 \n 20\n 1004 \n", {"62=7", "20=1004"}, nullptr},
        {"text keeps spaces", "1\n  a b  \r\n", {"1=  a b  "}, nullptr},
        {"empty text", "1\n\n0\nEOF\n", {"1=", "0=EOF"}, nullptr},
        {"plus and exponent", "40\n+2.5e2\n41\n-.5\n", {"40=250", "41=-0.5"}, nullptr},
        {"integer written as real", "70\n3.0\n", {"70=3"}, nullptr},
        {"int64", "160\n123456789012\n", {"160=123456789012"}, nullptr},
        {"handle text", "5\n1A\n", {"5=1A"}, nullptr},
        {"no final newline", "0\nEOF", {"0=EOF"}, nullptr},
        {"blank lines at end", "0\nEOF\n\n\n  \n", {"0=EOF"}, nullptr},
        {"byte order mark", "\xEF\xBB\xBF" "0\nEOF\n", {"0=EOF"}, nullptr},
        {"bad code", "0\nSECTION\nabc\nx\n", {}, "line 3: expected a group code"},
        {"code out of range", "0\nA\n5000\nx\n", {}, "line 3: expected a group code"},
        {"negative code", "-1\nx\n", {}, "line 1: expected a group code"},
        {"blank code line", "0\nA\n\n1\nB\n", {}, "line 3: expected a group code"},
        {"value missing", "0\nSECTION\n2\n", {}, "line 3: the file ends after group code 2"},
        {"bad real", "10\n1.2.3\n", {}, "line 2: expected a real number"},
        {"empty real", "0\nLINE\n10\n\n", {}, "line 4: expected a real number"},
        {"fractional integer", "70\n1.5\n", {}, "line 2: expected an integer"},
        {"bad integer", "62\nred\n", {}, "group code 62, found 'red'"},
        {"bad bool", "290\nyes\n", {}, "line 2: expected 0 or 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReadOutcome got = readAll(c.data);
        if (c.error) {
            EXPECT_NE(got.error.find(c.error), std::string::npos) << got.error;
        } else {
            EXPECT_EQ(got.error, "");
            EXPECT_EQ(got.tags, c.tags);
        }
    }
}

TEST(TagReader, ReportsLineOfEachTag) {
    TagReader r("0\r\nSECTION\r\n  2\r\nENTITIES\r\n0\r\nLINE\r\n");
    Tag t;
    std::vector<uint64_t> lines;
    while (r.next(t)) lines.push_back(t.where);
    EXPECT_EQ(lines, (std::vector<uint64_t>{1, 3, 5}));
}

struct BinaryCase {
    const char* name;
    bool twoByte;
};

TEST(TagReader, BinaryBothCodeWidths) {
    for (BinaryCase c : {BinaryCase{"R12 one-byte codes", false}, BinaryCase{"R13+", true}}) {
        SCOPED_TRACE(c.name);
        test::BinaryBuilder b(c.twoByte);
        b.text(0, "SECTION").text(2, "ENTITIES").text(0, "LINE").text(5, "2F");
        b.real(10, 1.25).real(20, -2.5).integer(62, -3).integer(90, 70000);
        b.integer(160, -5000000000LL).integer(290, 1).integer(1071, 12).text(1000, "x");
        b.chunk(310, std::string("\x00\x01\xab", 3)).text(0, "EOF");
        ReadOutcome got = readAll(b.data());
        EXPECT_EQ(got.error, "");
        std::vector<std::string> want = {"0=SECTION", "2=ENTITIES", "0=LINE", "5=2F",
                                         "10=1.25",   "20=-2.5",    "62=-3",  "90=70000",
                                         "160=-5000000000", "290=1", "1071=12", "1000=x",
                                         std::string("310=\x00\x01\xab", 7), "0=EOF"};
        EXPECT_EQ(got.tags, want);
    }
}

TEST(TagReader, BinaryChunksAreFlaggedAsRawBytes) {
    test::BinaryBuilder b(true);
    b.text(0, "SECTION").chunk(310, "\x12\x34");
    TagReader r(b.data());
    Tag t;
    ASSERT_TRUE(r.next(t));
    ASSERT_TRUE(r.next(t));
    EXPECT_TRUE(t.rawBytes);
    EXPECT_EQ(t.text, "\x12\x34");
    EXPECT_TRUE(r.isBinary());
}

// Every cut of a binary file either falls between tags (and reads the tags before it) or
// is reported with its byte offset.
TEST(TagReader, TruncatedBinaryNamesTheOffset) {
    test::BinaryBuilder b(true);
    std::vector<size_t> ends;
    b.text(0, "SECTION");
    ends.push_back(b.data().size());
    b.real(10, 1.0);
    ends.push_back(b.data().size());
    b.integer(90, 5);
    ends.push_back(b.data().size());
    b.chunk(310, "abc");
    ends.push_back(b.data().size());
    b.text(1, "text");
    const std::string& full = b.data();
    for (size_t cut = kBinarySentinel.size() + 1; cut < full.size(); ++cut) {
        SCOPED_TRACE(cut);
        ReadOutcome got = readAll(std::string_view(full).substr(0, cut));
        auto boundary = std::find(ends.begin(), ends.end(), cut);
        if (boundary != ends.end()) {
            EXPECT_EQ(got.error, "");
            EXPECT_EQ(got.tags.size(), size_t(boundary - ends.begin()) + 1);
            continue;
        }
        ASSERT_FALSE(got.error.empty()) << "a cut inside a tag must be reported";
        EXPECT_EQ(got.error.rfind("byte offset ", 0), 0u) << got.error;
        EXPECT_NE(got.error.find("ends inside"), std::string::npos) << got.error;
    }
}

TEST(TagReader, BinaryCodeBeyondRangeIsDamage) {
    test::BinaryBuilder b(true);
    b.text(0, "SECTION").code(0x7fff);
    ReadOutcome got = readAll(b.data());
    EXPECT_NE(got.error.find("byte offset 32: expected a group code"), std::string::npos)
        << got.error;
}

// Reference files written by other programs: the whole file reads, ends with EOF, and the
// release 12 and release 14 files of the same drawing agree on the header values both have.
TEST(TagReader, BinaryFixturesOfOtherPrograms) {
    auto load = [](const char* name) {
        std::ifstream in(std::string(ZEL_DRAWINGS_DIR) + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::map<std::string, std::map<std::string, double>> extents;
    for (const char* name : {"bin_dxf_r12.dxf", "bin_dxf_r14.dxf"}) {
        SCOPED_TRACE(name);
        std::string data = load(name);
        ASSERT_FALSE(data.empty());
        TagReader r(data);
        EXPECT_TRUE(r.isBinary());
        Tag t;
        std::string last, variable;
        size_t count = 0;
        while (r.next(t)) {
            ++count;
            if (t.code == 9) variable = std::string(t.text);
            if (t.type == core::GroupType::PointX && variable.rfind("$EXT", 0) == 0)
                extents[name][variable + std::to_string(t.code)] = t.real;
            if (t.code == 0) last = std::string(t.text);
            if (t.code == 0 && t.text == "EOF") break;
        }
        EXPECT_EQ(r.error(), "");
        EXPECT_EQ(last, "EOF");
        EXPECT_GT(count, 400u);
    }
    EXPECT_EQ(extents["bin_dxf_r12.dxf"].size(), 2u);
    EXPECT_EQ(extents["bin_dxf_r12.dxf"], extents["bin_dxf_r14.dxf"]);
}

TEST(TagReader, NumberParsers) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } reals[] = {{"1", true, 1},       {" -0.25 ", true, -0.25}, {"1e-3", true, 1e-3},
                 {"+7", true, 7},      {"", false, 0},           {"1,5", false, 0},
                 {"0x10", false, 0},   {"--1", false, 0}};
    for (const auto& c : reals) {
        SCOPED_TRACE(c.text);
        double v = 0;
        EXPECT_EQ(parseDouble(c.text, v), c.ok);
        if (c.ok) {
            EXPECT_EQ(v, c.value);
        }
    }
    uint64_t h = 0;
    EXPECT_TRUE(parseHex(" 1aF ", h));
    EXPECT_EQ(h, 0x1afu);
    EXPECT_FALSE(parseHex("", h));
    EXPECT_FALSE(parseHex("12G", h));
    EXPECT_FALSE(parseHex("11112222333344445", h)) << "more than 64 bits";
}

// Writing then reading random tags gives the same codes and values, exactly.
TEST(TagWriter, RandomTagsRoundTripExactly) {
    const int codes[] = {0, 1, 2, 5, 8, 10, 40, 50, 62, 70, 90, 100, 160, 290, 310, 330, 1000,
                         1040, 1071};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        std::string out;
        TagWriter w(out);
        std::vector<std::string> want;
        for (int i = 0; i < 200; ++i) {
            int c = codes[rng() % std::size(codes)];
            Tag t;
            t.code = int16_t(c);
            t.type = core::groupType(c);
            std::string text = "v" + std::to_string(rng() % 1000);
            switch (t.type) {
            case core::GroupType::Real:
            case core::GroupType::PointX:
                t.real = std::ldexp(double(int64_t(rng())), int(rng() % 80) - 100);
                w.real(c, t.real);
                break;
            case core::GroupType::Int16:
            case core::GroupType::Int32:
            case core::GroupType::Int64:
            case core::GroupType::Bool:
                t.integer = c == 290 ? int64_t(rng() % 2) : int64_t(rng() % 60000) - 30000;
                w.integer(c, t.integer);
                break;
            case core::GroupType::Handle:
                text = "1F" + std::to_string(rng() % 99);
                t.text = text;
                w.handle(c, std::stoull(text, nullptr, 16));
                break;
            case core::GroupType::String:
            case core::GroupType::Binary:
                t.text = text;
                w.raw(c, text);
                break;
            }
            want.push_back(show(t));
        }
        ReadOutcome got = readAll(out);
        EXPECT_EQ(got.error, "");
        EXPECT_EQ(got.tags, want);
    }
}

TEST(TagWriter, RealsAreShortestAndReadBack) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = rng();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v)) continue;
        std::string s;
        appendReal(s, v);
        double back = 0;
        ASSERT_TRUE(parseDouble(s, back)) << s;
        ASSERT_EQ(std::memcmp(&back, &v, sizeof v), 0) << s;
        ASSERT_NE(s.find('.'), std::string::npos) << s;
    }
    struct Case {
        double v;
        const char* text;
    } cases[] = {{1, "1.0"}, {0.1, "0.1"}, {-0.0, "-0.0"}, {1e21, "1.0e+21"}, {2.5, "2.5"}};
    for (auto c : cases) {
        std::string s;
        appendReal(s, c.v);
        EXPECT_EQ(s, c.text);
    }
}

TEST(TagWriter, CodesRightAlignedInThreeColumns) {
    std::string out;
    TagWriter w(out);
    w.raw(0, "LINE");
    w.integer(70, 1);
    w.raw(100, "AcDbLine");
    w.raw(1001, "APP");
    w.handle(5, 0xabc);
    EXPECT_EQ(out, "  0\nLINE\n 70\n1\n100\nAcDbLine\n1001\nAPP\n  5\nABC\n");
}

} // namespace
} // namespace zel::dxf
