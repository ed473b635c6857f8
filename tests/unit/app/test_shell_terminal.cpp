// zelcad shell in a real terminal (tmux): prompts appear as they come, typed lines run, the
// up arrow brings back the last line, SAVEAS writes the drawing and Ctrl-D ends the shell.
#include "process.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string capture(const std::string& cmd) {
    return zel::test::runProcess(cmd).out;
}

class ShellInTerminal : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux missing";
        dir = fs::temp_directory_path() / ("zel_tmux_" + std::to_string(getpid()));
        fs::create_directories(dir);
        session = "zeltest" + std::to_string(getpid());
        std::string start = "tmux -L " + session + " new-session -d -s " + session +
                            " -x 160 -y 40 '" + std::string(ZELCAD_EXE) + " shell'";
        ASSERT_EQ(std::system(start.c_str()), 0);
    }
    void TearDown() override {
        if (session.empty()) return;
        std::system(("tmux -L " + session + " kill-server >/dev/null 2>&1").c_str());
        fs::remove_all(dir);
    }
    void keys(const std::string& k) {
        std::system(("tmux -L " + session + " send-keys -t " + session + " " + k).c_str());
    }
    std::string screen() {
        return capture("tmux -L " + session + " capture-pane -p -t " + session);
    }
    // Waits (up to 10 s) until the screen shows text.
    bool waitFor(const std::string& text) {
        for (int i = 0; i < 200; ++i) {
            if (screen().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    bool running() {
        return std::system(
                   ("tmux -L " + session + " has-session -t " + session + " >/dev/null 2>&1")
                       .c_str()) == 0;
    }
    fs::path dir;
    std::string session;
};

TEST_F(ShellInTerminal, TypedLinesRunAndTheUpArrowRepeats) {
    ASSERT_TRUE(waitFor("コマンド:")) << screen();
    keys("'CIRCLE 5,5 2' Enter");
    ASSERT_TRUE(waitFor("円の半径を指定 または [直径(D)]: 2")) << screen();
    keys("Up Enter"); // the same circle command again
    std::string out = (dir / "t.dxf").string();
    keys("'SAVEAS \"" + out + "\"' Enter");
    ASSERT_TRUE(waitFor("SAVEAS")) << screen();
    for (int i = 0; i < 200 && !fs::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(fs::exists(out)) << screen();
    std::string dump = capture(std::string(ZELCAD_EXE) + " dump " + out);
    size_t first = dump.find("CIRCLE layer");
    ASSERT_NE(first, std::string::npos) << dump;
    EXPECT_NE(dump.find("CIRCLE layer", first + 1), std::string::npos)
        << "the up arrow brought back the circle command:\n"
        << screen();
    keys("C-d");
    for (int i = 0; i < 200 && running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(running()) << "Ctrl-D ends the shell";
}

} // namespace
