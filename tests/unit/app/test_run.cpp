// zelcad run and zelcad shell as a user runs them: the transcript on standard output, exit
// codes for unreadable scripts (with the line) and for scripts that end while input is wanted,
// the drawing written with -o only when the run succeeded.
#include "process.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

// Runs zelcad with arguments (already quoted) and optional standard input; stderr joins stdout.
CliRun zelcad(const std::string& args, const std::string& input = "") {
    fs::path in = fs::temp_directory_path() / ("zel_run_in_" + std::to_string(getpid()));
    std::ofstream(in) << input;
    std::string cmd = std::string(ZELCAD_EXE) + " " + args + " <" + in.string() + " 2>&1";
    zel::test::ProcessResult p = zel::test::runProcess(cmd);
    CliRun r{p.status, std::move(p.out)};
    fs::remove(in);
    return r;
}

class RunCli : public ::testing::Test {
protected:
    RunCli() {
        dir = fs::temp_directory_path() / ("zel_run_" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    ~RunCli() override { fs::remove_all(dir); }
    std::string file(const char* name, const std::string& text) {
        fs::path p = dir / name;
        std::ofstream(p) << text;
        return p.string();
    }
    fs::path dir;
};

TEST_F(RunCli, PrintsTheTranscriptAndWritesTheDrawing) {
    std::string script = file("a.zsc", "CIRCLE 0,0 5\nLINE 0,0 10,0 \"\"\n");
    std::string out = (dir / "out.dxf").string();
    CliRun r = zelcad("run " + script + " -o " + out);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("円の半径を指定 または [直径(D)]: 5"), std::string::npos) << r.out;
    ASSERT_TRUE(fs::exists(out));
    CliRun dump = zelcad("dump " + out);
    EXPECT_NE(dump.out.find("CIRCLE"), std::string::npos);
    EXPECT_NE(dump.out.find("LINE"), std::string::npos);
    // the written drawing is the input of the next run
    std::string more = file("b.zsc", "ERASE ALL \"\"\n");
    std::string out2 = (dir / "out2.dxf").string();
    EXPECT_EQ(zelcad("run " + more + " " + out + " -o " + out2).status, 0);
    EXPECT_EQ(zelcad("dump " + out2).out.find("CIRCLE"), std::string::npos);
}

TEST_F(RunCli, PicturesOfTheResultAndOfADrawing) {
    std::string script = file("p.zsc", "COLOR 1\nLINE 0,0 40,0 \"\"\nTEXT 0,5 3 0 ABC\n");
    std::string svg = (dir / "p.svg").string(), dxf = (dir / "p.dxf").string();
    CliRun r = zelcad("run " + script + " -o " + dxf + " --svg " + svg);
    ASSERT_EQ(r.status, 0) << r.out;
    std::ifstream in(svg);
    std::string picture((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(picture.find("points=\"0,0 40,0\" fill=\"none\" stroke=\"#ff0000\""),
              std::string::npos)
        << picture;
    EXPECT_NE(picture.find(">ABC</text>"), std::string::npos);
    std::string plotted = (dir / "plotted.svg").string();
    ASSERT_EQ(zelcad("plot " + dxf + " " + plotted).status, 0);
    std::ifstream again(plotted);
    std::string second((std::istreambuf_iterator<char>(again)), std::istreambuf_iterator<char>());
    EXPECT_EQ(second, picture) << "the saved drawing gives the same picture";
    std::string missing = (dir / "missing.svg").string();
    EXPECT_NE(zelcad("plot " + (dir / "none.dxf").string() + " " + missing).status, 0);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(zelcad("plot " + dxf).status, 2);
}

TEST_F(RunCli, FailuresExitNonZeroAndWriteNothing) {
    std::string out = (dir / "out.dxf").string();
    struct Case {
        const char* name;
        std::string script;
        const char* message; // part of what zelcad says
    } cases[] = {
        {"bad.zsc", "LINE 0,0 1,1 \"\"\n!pick nowhere\n", "line 2"},
        {"wanting.zsc", "LINE 0,0 5,5\n", "次の点を指定"},
    };
    for (const Case& c : cases) {
        CliRun r = zelcad("run " + file(c.name, c.script) + " -o " + out);
        EXPECT_NE(r.status, 0) << c.name;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << c.name << ": " << r.out;
        EXPECT_FALSE(fs::exists(out)) << c.name;
    }
    EXPECT_NE(zelcad("run " + (dir / "missing.zsc").string()).status, 0);
    EXPECT_EQ(zelcad("run").status, 2);
}

TEST_F(RunCli, ShellReadsLinesAndSavesWithSaveas) {
    std::string out = (dir / "shell.dxf").string();
    CliRun r = zelcad("shell", "CIRCLE 0,0 5\n(+ 40 2)\nSAVEAS \"" + out + "\"\n");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("42"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(out));
}

} // namespace
