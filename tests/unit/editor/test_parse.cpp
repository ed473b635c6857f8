// Typed points (absolute, relative, polar with ANGBASE/ANGDIR and the unit modes), object-snap
// override words and keyword matching.
#include "core/text.h"
#include "editor/input.h"
#include "editor/keywords.h"
#include "editor/parse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace zel::editor;
using zel::core::utf8ToWide;

namespace {

constexpr double kDeg = M_PI / 180;
constexpr double kNear = 1e-9;

ParseContext context(double angbaseDeg = 0, bool clockwise = false, int aunits = 0,
                     int lunits = 2) {
    ParseContext c;
    c.units.lunits = lunits;
    c.units.aunits = aunits;
    c.angbase = angbaseDeg * kDeg;
    c.clockwise = clockwise;
    c.lastPoint = AcGePoint3d(10, 20, 5);
    return c;
}

struct PointCase {
    const char* text;
    ParseContext ctx;
    double x, y, z;
};

TEST(ParsePoint, AbsoluteRelativeAndPolar) {
    ParseContext flat = context();
    ParseContext raised = context();
    raised.elevation = 7;
    const PointCase cases[] = {
        {"3,4", flat, 3, 4, 0},
        {"3,4,5", flat, 3, 4, 5},
        {" 3 , 4 ", flat, 3, 4, 0},
        {"-5,-2.5", flat, -5, -2.5, 0},
        {"#3,4", flat, 3, 4, 0},
        {"1e2,0", flat, 100, 0, 0},
        {"3,4", raised, 3, 4, 7}, // x,y takes the elevation
        {"3,4,1", raised, 3, 4, 1},
        {"@1,2", flat, 11, 22, 5}, // relative keeps the last point's z
        {"@1,2,3", flat, 11, 22, 8},
        {"@", flat, 10, 20, 5},
        {"@10<90", flat, 10, 30, 5},
        {"@10<180", flat, 0, 20, 5},
        {"10<0", flat, 10, 0, 0},
        {"10<0", raised, 10, 0, 7},
        {"-10<0", flat, -10, 0, 0},
        {"10<0", context(90), 0, 10, 0}, // counted from ANGBASE
        {"@10<90", context(90), 0, 20, 5},
        {"10<90", context(90, true), 10, 0, 0}, // clockwise from ANGBASE
        {"10<-90", context(90, true), -10, 0, 0},
        {"10<45", context(0, true), 10 * M_SQRT1_2, -10 * M_SQRT1_2, 0},
        {"10<100", context(0, false, 2), 0, 10, 0},               // grads
        {"10<3.14159265358979", context(0, false, 3), -10, 0, 0}, // radians
        {"10<90d0'0\"", context(0, false, 2), 0, 10, 0},          // degrees in any mode
        {"1'6\",2'", context(0, false, 0, 4), 18, 24, 0},         // architectural
        {"1 1/2,2", context(0, false, 0, 5), 1.5, 2, 0},          // fractional
    };
    for (const PointCase& c : cases) {
        std::optional<AcGePoint3d> p = parsePoint(utf8ToWide(c.text), c.ctx);
        ASSERT_TRUE(p) << c.text;
        EXPECT_NEAR(p->x, c.x, kNear) << c.text;
        EXPECT_NEAR(p->y, c.y, kNear) << c.text;
        EXPECT_NEAR(p->z, c.z, kNear) << c.text;
    }
}

TEST(ParsePoint, TextsThatAreNoPoints) {
    const char* bad[] = {"",    "abc", "3",      "3,",     ",4",    "1,2,3,4",  "@abc", "@1",
                         "10<", "<5",  "10<5<6", "1..2,3", "1,2 3", "1'6\",2'", "@@1,2"};
    for (const char* t : bad)
        EXPECT_FALSE(parsePoint(utf8ToWide(t), context())) << t; // decimal units throughout
}

// "@d<a" lands at distance |d| from the last point, in the direction ANGBASE/ANGDIR give a.
TEST(ParsePoint, PolarInvariantUnderRandomBases) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> dist(-500, 500), deg(-720, 720), base(0, 360);
    for (int i = 0; i < 500; ++i) {
        ParseContext c = context(base(rng), rng() % 2 == 0);
        c.lastPoint = AcGePoint3d(dist(rng), dist(rng), dist(rng));
        double d = dist(rng), a = deg(rng);
        std::wstring text = L"@" + zel::core::toWString(d) + L"<" + zel::core::toWString(a);
        std::optional<AcGePoint3d> p = parsePoint(text, c);
        ASSERT_TRUE(p) << zel::core::wideToUtf8(text);
        AcGeVector3d v = *p - c.lastPoint;
        EXPECT_NEAR(v.length(), std::fabs(d), 1e-7);
        EXPECT_NEAR(v.z, 0, kNear);
        double expected = c.angbase + (c.clockwise ? -a : a) * kDeg;
        double along = v.x * std::cos(expected) + v.y * std::sin(expected);
        EXPECT_NEAR(along, d, 1e-7); // a negative distance points the other way
    }
}

TEST(ParseAngle, TypedAnglesBecomeDirections) {
    EXPECT_NEAR(directionOfTypedAngle(0, context(90)), 90 * kDeg, kNear);
    EXPECT_NEAR(directionOfTypedAngle(90 * kDeg, context(90, true)), 0, kNear);
    EXPECT_NEAR(directionOfTypedAngle(180 * kDeg, context(90, true)), 270 * kDeg, kNear);
    EXPECT_NEAR(normalizeAngle(-0.5), 2 * M_PI - 0.5, kNear);
    EXPECT_NEAR(normalizeAngle(5 * M_PI), M_PI, kNear);
    EXPECT_LT(normalizeAngle(-1e-18), 2 * M_PI); // never 2pi itself
}

TEST(OsnapOverride, WordsAndTheirModes) {
    const std::pair<const char*, int> words[] = {
        {"NON", 0},    {"none", 0},          {"END", 1},       {"ENDP", 1},       {"_MID", 2},
        {"CEN", 4},    {"NOD", 8},           {"QUA", 16},      {"INT", 32},       {"INS", 64},
        {"PER", 128},  {"TAN", 256},         {"NEA", 512},     {"APP", 2048},     {"EXT", 4096},
        {"PAR", 8192}, {"Intersection", 32}, {"APPINT", 2048}, {"_appint", 2048}, {"QUI", 1024},
    };
    for (const auto& [w, bits] : words) {
        std::optional<int> m = osnapOverrideOf(utf8ToWide(w));
        ASSERT_TRUE(m) << w;
        EXPECT_EQ(*m, bits) << w;
    }
    for (const char* w : {"", "EN", "ENDX", "NONSENSE", "10,0", "X"})
        EXPECT_FALSE(osnapOverrideOf(utf8ToWide(w))) << w;
}

// ---- keywords -----------------------------------------------------------------------------

std::string match(const KeywordList& list, const char* typed) {
    KeywordMatch m = matchKeyword(list, utf8ToWide(typed));
    if (m.kind == KeywordMatch::Ambiguous) return "<ambiguous>";
    if (m.kind == KeywordMatch::None) return "<none>";
    return zel::core::wideToUtf8(m.keyword->global);
}

TEST(Keywords, ShortFormsWholeWordsAndBeginnings) {
    std::optional<KeywordList> list = parseKeywords(L"Undo eXit LTYPE,LT BEgin 3P close");
    ASSERT_TRUE(list);
    const std::pair<const char*, const char*> cases[] = {
        {"U", "Undo"},       {"u", "Undo"},   {"UN", "Undo"},    {"undo", "Undo"},
        {"UNDOX", "<none>"}, {"X", "eXit"},   {"exit", "eXit"},  {"EX", "<none>"},
        {"E", "<none>"},     {"LT", "LTYPE"}, {"LTY", "LTYPE"},  {"ltype", "LTYPE"},
        {"L", "<none>"},     {"BE", "BEgin"}, {"BEG", "BEgin"},  {"B", "<none>"},
        {"3P", "3P"},        {"3", "<none>"}, {"P", "<none>"},   {"close", "close"},
        {"clo", "<none>"},   {"", "<none>"},  {"  x  ", "eXit"}, {"_Undo", "Undo"},
        {"_x", "eXit"},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(match(*list, typed), expected) << typed;
}

TEST(Keywords, LocalWordsAnswerWithTheirGlobalPartners) {
    std::optional<KeywordList> list = parseKeywords(L"Annuler Quitter _ Undo Exit");
    ASSERT_TRUE(list);
    EXPECT_EQ(match(*list, "A"), "Undo");
    EXPECT_EQ(match(*list, "quitter"), "Exit");
    EXPECT_EQ(match(*list, "_U"), "Undo");
    EXPECT_EQ(match(*list, "_exit"), "Exit");
    EXPECT_EQ(match(*list, "U"), "<none>"); // the global words are reached only with "_"
    EXPECT_EQ(match(*list, "_A"), "<none>");
}

TEST(Keywords, AmbiguousAnswers) {
    std::optional<KeywordList> list = parseKeywords(L"LIne LInetype LAyer");
    ASSERT_TRUE(list);
    EXPECT_EQ(match(*list, "LI"), "<ambiguous>");  // the short form of two words
    EXPECT_EQ(match(*list, "LIN"), "<ambiguous>"); // the beginning of two words
    EXPECT_EQ(match(*list, "LINE"), "LIne");       // a whole word beats a beginning
    EXPECT_EQ(match(*list, "LINET"), "LInetype");
    EXPECT_EQ(match(*list, "LA"), "LAyer");
}

TEST(Keywords, MalformedLists) {
    for (const wchar_t* bad : {L"A _ B C", L"A B _ C", L"A _ B _ C", L"A, B", L"A,"})
        EXPECT_FALSE(parseKeywords(bad)) << zel::core::wideToUtf8(bad);
    std::optional<KeywordList> empty = parseKeywords(L"   ");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

// Every beginning of a word from its short form on reaches that word when the short forms
// begin the words and no two words share a beginning.
TEST(Keywords, RandomWordsMatchEveryBeginning) {
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        std::wstring listText;
        std::vector<std::wstring> uppers;
        for (int w = 0; w < 4; ++w) {
            std::wstring word(1, wchar_t(L'A' + w * 6 + int(rng() % 6))); // distinct first letters
            size_t len = 2 + rng() % 6, shortLen = 1 + rng() % 2;
            for (size_t k = 1; k < len; ++k)
                word += wchar_t(L'A' + rng() % 26);
            uppers.push_back(word);
            for (size_t k = shortLen; k < word.size(); ++k)
                word[k] = wchar_t(word[k] + 32);
            listText += word + L" ";
        }
        std::optional<KeywordList> list = parseKeywords(listText);
        ASSERT_TRUE(list);
        for (size_t w = 0; w < uppers.size(); ++w) {
            const std::wstring& global = list->words[w].global;
            for (size_t n = list->words[w].shortForm.size(); n <= uppers[w].size(); ++n) {
                KeywordMatch m = matchKeyword(*list, uppers[w].substr(0, n));
                ASSERT_EQ(m.kind, KeywordMatch::One) << zel::core::wideToUtf8(listText);
                EXPECT_EQ(m.keyword->global, global);
            }
        }
    }
}

} // namespace
