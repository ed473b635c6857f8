// The text form of settings: what is accepted, what is refused (and that a refused text gives
// nothing at all), and that every text survives a round trip.
#include "companions/zeldll/textfile.h"

#include <gtest/gtest.h>

#include <random>

using zel::settings::formatSettingsText;
using zel::settings::Pairs;
using zel::settings::parseSettingsText;

TEST(SettingsText, AcceptsCommentsEscapesAndCrLf) {
    auto r = parseSettingsText("\xEF\xBB\xBF# header\r\n\r\nA=1\r\nZelLineType/Lin002=HIDDEN\\t"
                               "かくれ線\nB=\nC=x=y\nD=back\\\\slash\\nline");
    ASSERT_TRUE(r.ok());
    Pairs expected = {{L"A", L"1"},
                      {L"ZelLineType/Lin002", L"HIDDEN\tかくれ線"},
                      {L"B", L""},
                      {L"C", L"x=y"},
                      {L"D", L"back\\slash\nline"}};
    EXPECT_EQ(r.pairs, expected);
}

TEST(SettingsText, RefusesBadLinesWithTheirNumbers) {
    struct Case {
        const char* text;
        const wchar_t* error;
    };
    const Case cases[] = {
        {"A=1\nno equals sign\n", L"line 2: expected KEY=VALUE"},
        {"=1\n", L"line 1: bad key"},
        {" A=1\n", L"line 1: bad key"},
        {"A=bad\\q\n", L"line 1: bad escape in the value of A"},
        {"A=ends in\\", L"line 1: bad escape"},
        {"A=1\n# c\nA=2\n", L"line 3: key A given twice"},
        {"A=\xff\xfe\n", L"the text is not UTF-8"},
    };
    for (const Case& c : cases) {
        auto r = parseSettingsText(c.text);
        ASSERT_FALSE(r.ok()) << c.text;
        EXPECT_EQ(r.errors.front().rfind(c.error, 0), 0u)
            << c.text << " -> " << zel::settings::toUtf8(r.errors.front());
    }
}

TEST(SettingsText, RandomTextsSurviveARoundTrip) {
    std::mt19937 rng(4242);
    const std::wstring alphabet = L"aZ09/_ =\\\t\n\r#\"ｶﾅ漢字𠀋";
    for (int round = 0; round < 200; ++round) {
        Pairs pairs;
        int n = int(rng() % 6);
        for (int i = 0; i < n; ++i) {
            std::wstring value;
            for (int k = int(rng() % 12); k > 0; --k)
                value += alphabet[rng() % alphabet.size()];
            pairs.emplace_back(L"Key" + std::to_wstring(i) + L"/x", value);
        }
        auto back = parseSettingsText(formatSettingsText(pairs));
        ASSERT_TRUE(back.ok());
        EXPECT_EQ(back.pairs, pairs);
    }
}

TEST(SettingsText, TheShippedDefaultsAreReadable) {
    auto r = zel::settings::readSettingsFile(std::string(ZEL_SOURCE_DIR) +
                                             "/resources/settings/defaults.txt");
    ASSERT_TRUE(r.ok()) << zel::settings::toUtf8(r.errors.front());
    std::map<std::wstring, std::wstring> table(r.pairs.begin(), r.pairs.end());
    int rows = std::stoi(table.at(L"ZelTextHeight/ZelTextHeightLot"));
    for (int i = 0; i < rows; ++i) {
        wchar_t k[64];
        std::swprintf(k, 64, L"ZelTextHeight/Par%02d", i);
        EXPECT_GT(std::stod(table.at(k)), 0.0) << "a text-height row without its height";
    }
    EXPECT_EQ(table.at(L"ZelLineType/Par003"), L"かくれ線") << "the row a part of a line is changed to";
    EXPECT_EQ(table.at(L"ZelLineType/Lln001"), L"DRAFT") << "the auxiliary lines";
}
