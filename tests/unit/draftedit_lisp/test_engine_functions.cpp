// ZELADS_GRAV, ZELADS_BLKTRM, ZELADS_DIVIDE, ZELADS_TXTTOWRI and the section-property engine
// entry, called from LISP typed at the prompt and from a script, with their messages.
#include "lisp_fixture.h"

#include <algorithm>
#include <cstdio>

namespace {

const char* kSquare = "0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n0\r\n1\r\n1\r\n0\r\n"
                      "1\r\n1\r\n0\r\n1\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n\x1A";

} // namespace

TEST_F(DrafteditLisp, TheTableHasThirteenRowsInItsOrder) {
    const char* names[] = {"BLKTRM", "DIVIDE",      "GRAV",     "FILEDELETE", "GETDWGFMT",
                           "FCOPY",  "FREN",        "TXTTOWRI", "SSGET",      "REDRAW",
                           "SSFREE", "SSREDRAWADD", "GETBOX"};
    auto table = draftedit::lispFunctions();
    ASSERT_EQ(table.size(), 13u);
    for (size_t i = 0; i < 13; ++i) {
        EXPECT_EQ(zel::core::wideToUtf8(table[i].name), names[i]);
        EXPECT_NE(table[i].handler, nullptr);
    }
}

TEST_F(DrafteditLisp, ArgumentMessagesOfTheFileFunctions) {
    const struct {
        const char* call;
        const char* message;
    } cases[] = {
        {"(zelads_grav)", "ZELｴﾗｰ (Zelads_Grav) : 引き数が足りません."},
        {"(zelads_grav \"a\")", "ZELｴﾗｰ (Zelads_Grav) : 引き数が足りません."},
        {"(zelads_grav 1 \"b\")", "ZELｴﾗｰ (Zelads_Grav) : 引き数が間違っています."},
        {"(zelads_grav \"a\" 2)", "ZELｴﾗｰ (Zelads_Grav) : 引き数が間違っています."},
        {"(zelads_blktrm \"a\")", "ZELｴﾗｰ (Zelads_BlkTrm) : 引き数が足りません."},
        {"(zelads_divide nil \"b\")", "ZELｴﾗｰ (Zelads_Divide) : 引き数が間違っています."},
        {"(zelads_txttowri)", "ZELｴﾗｰ (Zelads_TxtToWri) : 引き数が足りません."},
        {"(zelads_fcopy 1 2)", "ZELｴﾗｰ (Zelads_FCopy) : 引き数が間違っています."},
        {"(zelads_fren \"a\")", "ZELｴﾗｰ (Zelads_FRen) : 引き数が足りません."},
        {"(zelads_filedelete)", "ZELｴﾗｰ (Zelads_FileDelete) : 引き数が足りません."},
        {"(zelads_filedelete 5)", "ZELｴﾗｰ (Zelads_FileDelete) : 引き数が間違っています."},
    };
    for (const auto& c : cases) {
        mark();
        EXPECT_EQ(eval(c.call), "") << c.call << ": RSERR fails the call";
        run(std::string(c.call) + "\n");
        EXPECT_NE(since().find(std::string("\n") + c.message), std::string::npos)
            << c.call << since();
    }
}

TEST_F(DrafteditLisp, CentroidFromLispAndTheSectionEngineEntry) {
    write("inrt.dat", kSquare);
    EXPECT_EQ(eval("(zelads_grav " + lit("inrt.dat") + " " + lit("grav 結果.ret") + ")"), "nil");
    EXPECT_EQ(read("grav 結果.ret"), "0.500000000000\n0.500000000000\n1.000000000000\n");
    resbuf* args = acutBuildList(RTSTR, zel::core::utf8ToWide(path("inrt.dat")).c_str(), RTSTR,
                                 zel::core::utf8ToWide(path("inrt.ret")).c_str(), 0);
    EXPECT_EQ(draftedit::zeladsInrt(args), RSRSLT);
    EXPECT_EQ(read("inrt.ret").substr(0, 48),
              "       0.500000\n       1.000000\n       0.500000\n");
    const std::string values = read("inrt.ret");
    EXPECT_EQ(std::count(values.begin(), values.end(), '\n'), 14);
    acutRelRb(args);
    mark();
    resbuf* one = acutBuildList(RTSTR, L"x", 0);
    EXPECT_EQ(draftedit::zeladsInrt(one), RSERR);
    EXPECT_EQ(draftedit::zeladsInrt(nullptr), RSERR);
    acutRelRb(one);
    resbuf* wrong = acutBuildList(RTSTR, L"x", RTSHORT, 3, 0);
    EXPECT_EQ(draftedit::zeladsInrt(wrong), RSERR);
    acutRelRb(wrong);
    EXPECT_NE(since().find("ZELｴﾗｰ (Zelads_Inrt) : 引き数が足りません."), std::string::npos);
    EXPECT_NE(since().find("ZELｴﾗｰ (Zelads_Inrt) : 引き数が間違っています."), std::string::npos);
}

TEST_F(DrafteditLisp, EngineFailuresFromAScript) {
    mark();
    run("(zelads_grav " + lit("none.dat") + " " + lit("g.ret") + ")\n");
    EXPECT_EQ(read("g.ret"), "読込みファイルがありません。");
    run("(zelads_grav " + lit("none.dat") + " " + lit("no folder/g.ret") + ")\n");
    EXPECT_NE(since().find("\n書出しファイルがオープンできません。"), std::string::npos) << since();
    mark();
    run("(zelads_blktrm " + lit("none.dat") + " " + lit("b.ret") + ")\n");
    EXPECT_NE(since().find("\nZELｴﾗｰ (Zelads_BlkTrm) : 読込みファイルがありません。"),
              std::string::npos);
    EXPECT_EQ(read("b.ret"), "読込みファイルがありません。");
    run("(zelads_blktrm " + lit("none.dat") + " " + lit("no folder/b.ret") + ")\n");
    EXPECT_NE(since().find("\nZELｴﾗｰ (Zelads_BlkTrm) : 書出しファイルがオープンできません."),
              std::string::npos);
    mark();
    run("(zelads_divide " + lit("none.dat") + " " + lit("no folder/d.ret") + ")\n");
    EXPECT_NE(since().find("\n書出しファイルがオープンできません。"), std::string::npos);
    EXPECT_EQ(since().find("Zelads_Divide"), std::string::npos);
    std::string many = "T\r\n0\r\n0\r\n1000\r\n0\r\nE\r\n";
    for (int i = 1; i <= 100; ++i)
        many += "L\r\n" + std::to_string(i) + "\r\n-1\r\n" + std::to_string(i) + "\r\n1\r\n";
    write("many.dat", many);
    mark();
    EXPECT_EQ(eval("(zelads_blktrm " + lit("many.dat") + " " + lit("b.ret") + ")"), "");
    run("(zelads_blktrm " + lit("many.dat") + " " + lit("b.ret") + ")\n");
    EXPECT_NE(
        since().find("ZELｴﾗｰ (Zelads_BlkTrm) : 一要素上の交点数が多過ぎます。(最大１００ポイント)"),
        std::string::npos);
}

TEST_F(DrafteditLisp, DivideAndBlockTrimAnswers) {
    write("div.dat", "U\r\nL\r\n0\r\n0\r\n2\r\n2\r\nU\r\nL\r\n0\r\n2\r\n2\r\n0\r\n");
    EXPECT_EQ(eval("(zelads_divide " + lit("div.dat") + " " + lit("div.ret") + ")"), "nil");
    EXPECT_EQ(read("div.ret"), "\n1.000000000000000e+00\n1.000000000000000e+00\n\n"
                               "1.000000000000000e+00\n1.000000000000000e+00\n\n");
    write("blk.dat", "T\r\n0\r\n0\r\n10\r\n0\r\nE\r\nL\r\n4\r\n-1\r\n4\r\n1\r\n");
    EXPECT_EQ(eval("(zelads_blktrm " + lit("blk.dat") + " " + lit("blk.ret") + ")"), "nil");
    EXPECT_EQ(read("blk.ret"), "\n4.000000\n0.000000\n\n");
}

TEST_F(DrafteditLisp, TextToWriteMessages) {
    write("report.txt", "断面 1\r\n");
    write("empty.txt", "");
    EXPECT_EQ(eval("(zelads_txttowri " + lit("report.txt") + " " + lit("report.wri") + ")"), "nil");
    EXPECT_EQ(read("report.wri").size(), 7u * 128);
    const struct {
        std::string in, out, message;
    } cases[] = {
        {"none.txt", "x.wri",
         "ZELｴﾗｰ (Zelads_TxtToWri) : 入力ファイル[" + path("none.txt") + "]オープンエラー."},
        {"empty.txt", "x.wri",
         "ZELｴﾗｰ (Zelads_TxtToWri) : 入力ファイル[" + path("empty.txt") + "]読み込みエラー."},
        {"report.txt", "no folder/x.wri",
         "ZELｴﾗｰ (Zelads_TxtToWri) : 出力ファイル[" + path("no folder/x.wri") + "]オープンエラー."},
    };
    for (const auto& c : cases) {
        mark();
        run("(zelads_txttowri " + lit(c.in) + " " + lit(c.out) + ")\n");
        EXPECT_NE(since().find(c.message), std::string::npos) << since();
        EXPECT_FALSE(exists("x.wri"));
    }
}

TEST_F(DrafteditLisp, SsFreeFreesASelectionSet) {
    run("LINE 0,0 10,0 \"\"\n");
    EXPECT_EQ(eval("(setq ss (ssget \"X\"))") != "", true);
    EXPECT_EQ(eval("(zelads_ssfree ss)"), "nil");
    EXPECT_EQ(eval("(sslength ss)"), "nil") << "the set is gone";
    EXPECT_EQ(eval("(zelads_ssfree 5)"), "nil") << "anything else is ignored";
}

TEST_F(DrafteditLisp, ModuleMemoryBlocks) {
    void* a = acad_malloc(32768);
    ASSERT_NE(a, nullptr);
    static_cast<char*>(a)[32767] = 1;
    void* z = acad_malloc(0);
    EXPECT_NE(z, nullptr);
    EXPECT_NE(z, a);
    acad_free(a);
    acad_free(z);
    acad_free(nullptr);
}
