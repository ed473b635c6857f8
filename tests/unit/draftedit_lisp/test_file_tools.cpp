// ZELADS_FCOPY, ZELADS_FREN, ZELADS_FILEDELETE and ZELADS_GETDWGFMT.
#include "lisp_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

struct timespec modificationTime(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mtim;
}

} // namespace

TEST_F(DrafteditLisp, CopyKeepsContentAndModificationTime) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{16384}, size_t{16385}, size_t{100000}}) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 7 + i / 251);
        write("元 ファイル.bin", bytes);
        const struct timespec old[2] = {{1600000000, 0}, {1600000001, 123456789}};
        ::utimensat(AT_FDCWD, path("元 ファイル.bin").c_str(), old, 0);
        SCOPED_TRACE(size);
        EXPECT_EQ(eval("(zelads_fcopy " + lit("元 ファイル.bin") + " " + lit("写し.bin") + ")"),
                  "0");
        EXPECT_EQ(read("写し.bin"), bytes);
        const struct timespec t = modificationTime(path("写し.bin"));
        EXPECT_EQ(t.tv_sec, 1600000001);
        EXPECT_EQ(t.tv_nsec, 123456789);
    }
    mark();
    EXPECT_EQ(eval("(zelads_fcopy " + lit("none.bin") + " " + lit("c.bin") + ")"), "nil");
    EXPECT_NE(
        since().find("ZELｴﾗｰ (Zelads_FCopy) : [" + path("none.bin") + "]がオープンできません."),
        std::string::npos);
    mark();
    EXPECT_EQ(eval("(zelads_fcopy " + lit("写し.bin") + " " + lit("no folder/c.bin") + ")"), "nil");
    EXPECT_NE(since().find("[" + path("no folder/c.bin") + "]がオープンできません."),
              std::string::npos);
    EXPECT_FALSE(exists("c.bin"));
}

TEST_F(DrafteditLisp, RenameRefusesAnExistingName) {
    write("a.txt", "A");
    write("b.txt", "B");
    mark();
    EXPECT_EQ(eval("(zelads_fren " + lit("a.txt") + " " + lit("b.txt") + ")"), "nil");
    EXPECT_EQ(read("a.txt"), "A");
    EXPECT_EQ(read("b.txt"), "B");
    EXPECT_EQ(eval("(zelads_fren " + lit("missing.txt") + " " + lit("c.txt") + ")"), "nil");
    EXPECT_EQ(since(), "") << "no message";
    EXPECT_EQ(eval("(zelads_fren " + lit("a.txt") + " " + lit("名前 c.txt") + ")"), "0");
    EXPECT_FALSE(exists("a.txt"));
    EXPECT_EQ(read("名前 c.txt"), "A");
}

TEST_F(DrafteditLisp, DeleteStopsAtTheFirstFileItCannotDelete) {
    write("1.txt", "1");
    write("3.txt", "3");
    mark();
    EXPECT_EQ(
        eval("(zelads_filedelete " + lit("1.txt") + " " + lit("2.txt") + " " + lit("3.txt") + ")"),
        "");
    EXPECT_FALSE(exists("1.txt"));
    EXPECT_TRUE(exists("3.txt"));
    EXPECT_NE(since().find("ZELｴﾗｰ (Zelads_FileDelete) :[" + path("2.txt") + "]が削除できません."),
              std::string::npos);
    EXPECT_EQ(eval("(zelads_filedelete " + lit("3.txt") + ")"), "0");
    EXPECT_FALSE(exists("3.txt"));
    std::filesystem::create_directories(path("sub"));
    EXPECT_EQ(eval("(zelads_filedelete " + lit("sub") + ")"), "") << "a folder is not a file";
    EXPECT_TRUE(exists("sub"));
}

TEST_F(DrafteditLisp, SheetFormatFromLimitsAndScale) {
    const struct {
        const char* limmax;
        const char* dimscale;
        const char* format;
    } cases[] = {
        // A1 is 841 × 594: limits of 8400 × 5940 at scale 10 make no ISO sheet.
        {"'(420.0 297.0)", "1.0", "\"A3\""},      {"'(8410.0 5940.0)", "10.0", "\"A1\""},
        {"'(8400.0 5940.0)", "10.0", "\"?\""},    {"'(400.0 300.0)", "1.0", "\"?\""},
        {"'(300.0 400.0)", "1.0", "\"?ver\""},    {"'(297.0 420.0)", "1.0", "\"A3ver\""},
        {"'(14560.0 10300.0)", "10.0", "\"B0\""}, {"'(182.0005 257.0)", "1.0", "\"B5ver\""},
        {"'(182.002 257.0)", "1.0", "\"?ver\""},  {"'(1189.0 841.0)", "0.0", "\"A0\""},
    };
    for (const auto& c : cases) {
        ASSERT_NE(eval(std::string("(setvar \"LIMMAX\" ") + c.limmax + ")"), "") << c.limmax;
        ASSERT_NE(eval(std::string("(setvar \"DIMSCALE\" ") + c.dimscale + ")"), "") << c.dimscale;
        EXPECT_EQ(eval("(zelads_getdwgfmt)"), c.format) << c.limmax << " " << c.dimscale;
    }
}
