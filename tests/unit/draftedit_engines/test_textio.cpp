// Text files, numbers read from lines, and the folder probe of files opened for writing.
#include "draftedit/engines/fileopen.h"
#include "draftedit/engines/textio.h"
#include "engine_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace draftedit::engines;

TEST(EngineText, NumbersAreReadLikeAtof) {
    const struct {
        const wchar_t* line;
        double value;
    } cases[] = {
        {L"12.5", 12.5},
        {L"  -3.25e2xyz", -325},
        {L"+7", 7},
        {L"\t.5", 0.5},
        {L"abc", 0},
        {L"", 0},
        {L"--5", 0},
        {L"1e", 1},
        {L"nan", 0},
        {L"inf", 0},
        {L"1e999", 0},
        {L"-1e999", 0},
        {L"0x10", 0},
        {L"１２", 0},
        {L"5,5", 5},
        {L"1e-5", 1e-5},
        {L"3.000000000000000\r", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseLeadingNumber(c.line), c.value) << toUtf8(c.line);
    EXPECT_EQ(parseLeadingNumber(std::wstring(100000, L'1')), 0) << "overflow";
    EXPECT_EQ(parseLeadingNumber(L"0." + std::wstring(5000, L'0') + L"1"), 0) << "underflow";
}

TEST(EngineText, LinesAndEncodings) {
    EXPECT_EQ(splitLines(L"a\r\nb\nc"), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(splitLines(L"a\r\n\x1A\r\nb\r\n"), (std::vector<std::wstring>{L"a"}));
    EXPECT_EQ(splitLines(L"").size(), 0u);
    EXPECT_EQ(decodeText("\xEF\xBB\xBF断面"), L"断面");
    EXPECT_EQ(decodeText("\x92\x66\x96\xCA"), L"断面") << "not UTF-8: CP932";
    EXPECT_EQ(decodeText("\xB6\xC0"), L"ｶﾀ") << "half-width katakana";
    EXPECT_EQ(decodeText("a\x82"), L"a\xFFFD") << "a lone lead byte";
    EXPECT_EQ(encodeCp932(L"ＭＳ 明朝"), std::string("\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9"));
    EXPECT_FALSE(encodeCp932(L"\x1F600"));
    EXPECT_EQ(toUtf8(L"断"), "断");
}

TEST(EngineFiles, WritingNeedsAWritableFolder) {
    TempFolder dir;
    const std::string sub = dir.path("フォルダ 1");
    std::filesystem::create_directories(sub);
    EXPECT_TRUE(probeFolder(sub));
    EXPECT_TRUE(probeFolder(sub + "/"));
    EXPECT_FALSE(probeFolder(dir.path("missing")));
    // Probe names already taken are skipped, and stay.
    writeFile(sub + "/QM_00000.T", "mine");
    writeFile(sub + "/QM_00001.T", "mine too");
    EXPECT_TRUE(probeFolder(sub));
    EXPECT_EQ(readFile(sub + "/QM_00000.T"), "mine");
    EXPECT_FALSE(std::filesystem::exists(sub + "/QM_00002.T")) << "the probe is deleted";
    std::unique_ptr<std::FILE, FileCloser> f(openFile(sub + "/結果 1.ret", "w"));
    EXPECT_TRUE(f);
    EXPECT_FALSE(openFile(dir.path("missing/x.ret"), "w"));
    EXPECT_FALSE(openFile(dir.path("missing/x.ret"), "r"));
    if (::geteuid() != 0) {
        ::chmod(sub.c_str(), 0500);
        EXPECT_FALSE(probeFolder(sub)) << "read-only folder";
        ::chmod(sub.c_str(), 0700);
    }
}
