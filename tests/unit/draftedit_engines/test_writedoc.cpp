// The Write-document writer: page layout and sizes, failures that leave nothing behind, and
// the text read back by an independent reader (wps2text of libwps) when it is installed.
#include "draftedit/engines/textio.h"
#include "draftedit/engines/writedoc.h"
#include "engine_files.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

using namespace draftedit::engines;

namespace {

uint32_t u16(const std::string& d, size_t at) {
    return static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8;
}
uint32_t u32(const std::string& d, size_t at) {
    return u16(d, at) | u16(d, at + 2) << 16;
}

// The standard output of a program run without a shell's help beyond the quoting of one path.
std::string runReader(const std::string& path) {
    const std::string cmd = "wps2text -e CP932 '" + path + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
    std::string out;
    char buf[4096];
    size_t n = 0;
    while (p && (n = std::fread(buf, 1, sizeof buf, p.get())) > 0)
        out.append(buf, n);
    return out;
}

bool readerInstalled() {
    return std::system("command -v wps2text >/dev/null 2>&1") == 0;
}

} // namespace

TEST(WriteDocument, PagesAndTheirFields) {
    const struct {
        size_t inputBytes;
        uint32_t textBytes;
        size_t pages;
    } cases[] = {{124, 128, 7}, {125, 129, 8}, {1, 5, 7}, {252, 256, 8}, {1000, 1004, 14}};
    for (const auto& c : cases) {
        const std::string doc = buildWriteDocument(std::string(c.inputBytes, 'a'));
        const size_t n = c.pages - 6;
        SCOPED_TRACE(c.inputBytes);
        ASSERT_EQ(doc.size(), c.pages * 128);
        EXPECT_EQ(u16(doc, 0), 0xBE31u);
        EXPECT_EQ(u16(doc, 4), 0xAB00u);
        EXPECT_EQ(u32(doc, 14), c.textBytes + 128);
        EXPECT_EQ(u16(doc, 18), n + 2);
        EXPECT_EQ(u16(doc, 24), n + 4);
        EXPECT_EQ(u16(doc, 28), n + 5);
        EXPECT_EQ(u16(doc, 96), c.pages);
        EXPECT_EQ(doc.substr(128, 4), std::string("\r\0\n\0", 4));
        const size_t chars = (n + 1) * 128, paras = (n + 2) * 128, sect = (n + 3) * 128,
                     setb = (n + 4) * 128, fonts = (n + 5) * 128;
        EXPECT_EQ(u32(doc, chars + 10), c.textBytes + 128);
        EXPECT_EQ(doc.substr(chars + 123, 5), std::string("\x03\x01\x00\x14\x02", 5));
        EXPECT_EQ(u32(doc, paras + 22), c.textBytes + 130);
        EXPECT_EQ(static_cast<unsigned char>(doc[paras + 64 + 17]), 6);
        EXPECT_EQ(static_cast<unsigned char>(doc[paras + 96 + 17]), 7);
        EXPECT_EQ(doc[paras + 127], 4);
        EXPECT_EQ(u16(doc, sect + 3), 16836u);
        EXPECT_EQ(u32(doc, setb + 4), c.textBytes);
        EXPECT_EQ(u32(doc, setb + 10), (n + 3) * 128);
        EXPECT_EQ(u32(doc, setb + 20), 0xFFFFFFFFu);
        EXPECT_EQ(doc.substr(fonts + 4, 11),
                  std::string("\x10\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9\x00", 11))
            << "family, then \"ＭＳ 明朝\" in CP932 with its zero";
        EXPECT_EQ(u16(doc, fonts + 2), 11u);
    }
}

TEST(WriteDocument, FailuresLeaveNoDocumentAndKeepAnOlderOne) {
    TempFolder dir;
    writeFile(dir.path("empty.txt"), "");
    writeFile(dir.path("old.wri"), "older document");
    EXPECT_EQ(convertTextToWrite(dir.path("empty.txt"), dir.path("old.wri")),
              WriteDocResult::InputEmpty);
    EXPECT_EQ(readFile(dir.path("old.wri")), "older document");
    EXPECT_EQ(convertTextToWrite(dir.path("empty.txt"), dir.path("new.wri")),
              WriteDocResult::InputEmpty);
    EXPECT_FALSE(std::filesystem::exists(dir.path("new.wri")));
    EXPECT_EQ(convertTextToWrite(dir.path("none.txt"), dir.path("new.wri")),
              WriteDocResult::InputNotOpened);
    writeFile(dir.path("a.txt"), "abc");
    EXPECT_EQ(convertTextToWrite(dir.path("a.txt"), dir.path("no such folder/new.wri")),
              WriteDocResult::OutputNotOpened);
    writeFile(dir.path("文書 1.wri.~0"), "someone's file");
    EXPECT_EQ(convertTextToWrite(dir.path("a.txt"), dir.path("文書 1.wri")), WriteDocResult::Ok);
    EXPECT_EQ(readFile(dir.path("文書 1.wri.~0")), "someone's file");
    std::filesystem::remove(dir.path("文書 1.wri.~0"));
    EXPECT_EQ(readFile(dir.path("文書 1.wri")).size(), 7u * 128);
    for (const auto& entry : std::filesystem::directory_iterator(dir.folder()))
        EXPECT_EQ(entry.path().string().find(".~"), std::string::npos) << "no partial file left";
}

TEST(WriteDocument, TextBytesAreCp932) {
    const std::string sjis = "\x92\x66\x96\xCA\r\n"; // "断面" in CP932
    EXPECT_EQ(writeDocumentText(sjis), sjis) << "CP932 is copied unchanged";
    EXPECT_EQ(writeDocumentText("断面\r\n"), sjis) << "UTF-8 is given in the document's code page";
    EXPECT_EQ(writeDocumentText("plain\n"), "plain\n");
    EXPECT_EQ(writeDocumentText("😀"), "😀") << "no CP932 form: the bytes stay";
}

TEST(WriteDocument, AnIndependentReaderGetsTheTextBack) {
    if (!readerInstalled())
        GTEST_SKIP() << "wps2text (Debian package libwps-tools) is not installed";
    TempFolder dir;
    const std::string body = "Section properties\r\n断面二次モーメント Ix = 12.5\r\nｶﾀｶﾅ end\r\n";
    for (bool cp932 : {true, false}) {
        std::string input = body;
        if (cp932)
            input = *encodeCp932(std::wstring(
                L"Section properties\r\n断面二次モーメント Ix = 12.5\r\nｶﾀｶﾅ end\r\n"));
        writeFile(dir.path("in put.txt"), input);
        ASSERT_EQ(convertTextToWrite(dir.path("in put.txt"), dir.path("報告 書.wri")),
                  WriteDocResult::Ok);
        const std::string text = runReader(dir.path("報告 書.wri"));
        EXPECT_NE(text.find("Section properties\n断面二次モーメント Ix = 12.5\nｶﾀｶﾅ end"),
                  std::string::npos)
            << text;
    }
    std::string longText;
    for (int i = 0; i < 300; ++i)
        longText += "line " + std::to_string(i) + "\r\n";
    writeFile(dir.path("long.txt"), longText);
    ASSERT_EQ(convertTextToWrite(dir.path("long.txt"), dir.path("long.wri")), WriteDocResult::Ok);
    const std::string text = runReader(dir.path("long.wri"));
    EXPECT_NE(text.find("line 0\nline 1\n"), std::string::npos);
    EXPECT_NE(text.find("line 298\nline 299"), std::string::npos);
}
