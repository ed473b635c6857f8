// zelcad as a user runs it: exit codes, messages, dumps that do not change between runs, and
// conversions that leave the output untouched when the input is bad.
#include "process.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs zelcad with arguments (already quoted), capturing stdout and stderr.
RunResult zelcad(const std::string& args) {
    fs::path errFile = fs::temp_directory_path() / ("zel_cli_err_" + std::to_string(getpid()));
    std::string cmd = std::string(ZELCAD_EXE) + " " + args + " 2>" + errFile.string();
    zel::test::ProcessResult p = zel::test::runProcess(cmd);
    RunResult r;
    r.status = p.status;
    r.out = std::move(p.out);
    r.err = readFile(errFile);
    fs::remove(errFile);
    return r;
}

std::string q(const fs::path& p) {
    return "'" + p.string() + "'";
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("zel_cli_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    const fs::path flange = fs::path(ZEL_SOURCE_DIR) / "examples/drawings/flange.dxf";
};

TEST_F(CliTest, UsageErrorsExitWithTwoAndSayWhy) {
    struct Case {
        const char* args;
        const char* message;
    } cases[] = {
        {"", "usage: zelcad"},
        {"frobnicate", "unknown command 'frobnicate'"},
        {"dump", "usage: zelcad dump DRAWING"},
        {"convert onlyone.dxf", "usage: zelcad convert IN OUT"},
    };
    for (const auto& c : cases) {
        RunResult r = zelcad(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    }
}

TEST_F(CliTest, HelpAndVersionSucceed) {
    RunResult help = zelcad("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("convert IN OUT"), std::string::npos);
    RunResult version = zelcad("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("zelcad ", 0), 0u);
}

TEST_F(CliTest, DumpIsIdenticalOnEveryRun) {
    RunResult a = zelcad("dump " + q(flange));
    RunResult b = zelcad("dump " + q(flange));
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out.find("TEXT layer=\"注記\""), std::string::npos);
    EXPECT_NE(a.out.find("1=\"4-φ9 キリ\""), std::string::npos) << "CP932 text decoded";
}

TEST_F(CliTest, ConvertedDrawingDumpsLikeTheOriginal) {
    fs::path out = dir / "flange 2013 図面.dxf";
    RunResult c = zelcad("convert " + q(flange) + " " + q(out));
    ASSERT_EQ(c.status, 0) << c.err;
    RunResult before = zelcad("dump " + q(flange));
    RunResult after = zelcad("dump " + q(out));
    ASSERT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(before.out, after.out);
    EXPECT_NE(readFile(out).find("AC1027"), std::string::npos);
}

TEST_F(CliTest, DamagedInputLeavesOutputUntouchedAndNamesTheLine) {
    std::string good = readFile(flange);
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated", good.substr(0, good.size() / 2)},
        {"garbled code", "  0\nSECTION\n  2\nENTITIES\nxyz\nLINE\n  0\nENDSEC\n  0\nEOF\n"},
        {"bad number", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nnot-a-number\n  0\nENDSEC\n"
                       "  0\nEOF\n"},
    };
    for (const auto& c : cases) {
        fs::path in = dir / "bad.dxf";
        fs::path out = dir / "out.dxf";
        std::ofstream(in, std::ios::binary) << c.bytes;
        std::ofstream(out, std::ios::binary) << "previous contents";
        RunResult r = zelcad("convert " + q(in) + " " + q(out));
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_NE(r.err.find("line"), std::string::npos) << c.name << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.name << ": " << r.err;
        EXPECT_EQ(readFile(out), "previous contents") << c.name;
    }
}

TEST_F(CliTest, MissingInputIsAClearFailure) {
    RunResult r = zelcad("dump " + q(dir / "no such drawing.dxf"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no such drawing.dxf"), std::string::npos) << r.err;
}

} // namespace
