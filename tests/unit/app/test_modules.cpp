// The module loader with a real module (the probe of tests/plugins/probe): ARXLOAD and
// ARXUNLOAD, the order of the application messages, per-document LISP functions, unloading
// twice, reloading, what a module leaves behind, and zelcad --load.
#include "app_fixture.h"
#include "process.h"

#include "arx/aced.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The probe's lines ("probe: ...") of a text, in order.
std::vector<std::string> probeLines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t at = line.find("probe: ");
        if (at != std::string::npos) out.push_back(line.substr(at + 7));
    }
    return out;
}

class Modules : public AppTest {
protected:
    std::vector<std::string> said() { return probeLines(since()); }
    void load() { run(std::string("ARXLOAD \"") + ZEL_PROBE_MODULE + "\"\n"); }
};

TEST_F(Modules, LoadingSendsInitThenLoadDrawingAndRegistersTheCommands) {
    mark();
    load();
    EXPECT_EQ(said(), (std::vector<std::string>{"init", "load drawing Drawing1.dwg", "defun 1"}))
        << since();
    EXPECT_TRUE(has("zelprobe をロードしました。"));
    mark();
    run("PB 3,4\n");
    EXPECT_EQ(said(), (std::vector<std::string>{"point 3,4 run 1 in Drawing1.dwg", "ended PROBE"}));
    mark();
    run("_PROBE 1,1\n");
    EXPECT_EQ(said().front(), "point 1,1 run 2 in Drawing1.dwg") << "global name, same record";
    EXPECT_EQ(eval("(probe-add 1 2 39)"), "42") << "a function with its own procedure";
    EXPECT_EQ(eval("(probe-code)"), "101") << "a function answered through kInvkSubrMsg";
    EXPECT_FALSE(acrxDynamicLinker->isApplicationLocked(L"zelprobe"));
    mark();
    run("PBT\nPB 5,5\n");
    EXPECT_NE(since().find("PROBETHROW で例外が発生した"), std::string::npos) << since();
    EXPECT_NE(since().find("point 5,5"), std::string::npos) << "the program goes on";
}

TEST_F(Modules, EveryDrawingGetsItsFunctionsAndLosesThemWhenItCloses) {
    run("SDI 0\n");
    load();
    mark();
    run("NEW\n");
    EXPECT_EQ(said(), (std::vector<std::string>{"load drawing Drawing2.dwg", "defun 1"}));
    EXPECT_EQ(eval("(probe-add 5)"), "5");
    run("PB 0,0\n");
    EXPECT_TRUE(has("run 1 in Drawing2.dwg")) << "a new record for the new drawing";
    mark();
    run("CLOSE\n");
    EXPECT_EQ(said(), (std::vector<std::string>{"unload drawing Drawing2.dwg", "undef 1"}));
    EXPECT_EQ(eval("(probe-add 5)"), "5") << "the first drawing keeps its own";
}

TEST_F(Modules, UnloadingRemovesEverythingAndTwiceIsHarmless) {
    load();
    mark();
    run("ARXUNLOAD zelprobe\n");
    EXPECT_EQ(said(),
              (std::vector<std::string>{"unload drawing Drawing1.dwg", "undef 1", "unload"}));
    EXPECT_TRUE(has("zelprobe をアンロードしました。"));
    EXPECT_EQ(acedRegCmds->lookupGlobalCmd(L"PROBE"), nullptr);
    EXPECT_EQ(eval("(probe-add 1)"), "");
    mark();
    run("ARXUNLOAD zelprobe\n");
    EXPECT_TRUE(said().empty());
    EXPECT_NE(since().find("zelprobe はロードされていません。"), std::string::npos) << since();
    mark();
    run("PB 1,1\n");
    EXPECT_NE(since().find("不明なコマンド"), std::string::npos);
}

TEST_F(Modules, ReloadingRestoresTheGroupTheFunctionsAndTheReactor) {
    load();
    run("ARXUNLOAD zelprobe\n");
    load();
    mark();
    run("PB 2,2\nLINE 0,0\n!esc\n");
    EXPECT_EQ(said(), (std::vector<std::string>{"point 2,2 run 1 in Drawing1.dwg", "ended PROBE",
                                                "cancelled LINE"}));
    EXPECT_EQ(eval("(probe-add 2 2)"), "4");
    EXPECT_EQ(s.editorReactors().count(), 1u) << "one reactor, not one per load";
}

TEST_F(Modules, LoadingTwiceOrSomethingMissingIsToldAndChangesNothing) {
    load();
    mark();
    load();
    EXPECT_NE(since().find("既にロードされています"), std::string::npos) << since();
    EXPECT_TRUE(said().empty());
    mark();
    run("ARXLOAD no_such_module\n");
    EXPECT_NE(since().find("no_such_module が見つかりません。"), std::string::npos);
    fs::path notModule =
        fs::temp_directory_path() / ("zel_notmodule_" + std::to_string(getpid()) + ".so");
    std::ofstream(notModule) << "not a library";
    mark();
    run("ARXLOAD \"" + notModule.string() + "\"\n");
    EXPECT_NE(since().find("をロードできません"), std::string::npos) << since();
    fs::remove(notModule);
    mark();
    run("ARXLOAD /lib/x86_64-linux-gnu/libm.so.6\n"); // a library, but no module
    EXPECT_NE(since().find("はモジュールではありません"), std::string::npos) << since();
    EXPECT_EQ(s.modules().loaded().size(), 1u);
}

TEST_F(Modules, ALockedModuleStaysAndAFailedInitLeavesNothing) {
    setenv("ZELPROBE_STAY_LOCKED", "1", 1);
    load();
    unsetenv("ZELPROBE_STAY_LOCKED");
    mark();
    run("ARXUNLOAD zelprobe\n");
    EXPECT_NE(since().find("ロックされている"), std::string::npos) << since();
    EXPECT_NE(acedRegCmds->lookupGlobalCmd(L"PROBE"), nullptr);
    EXPECT_EQ(s.modules().unload(L"zelprobe", true), L"");
    setenv("ZELPROBE_FAIL_INIT", "1", 1);
    mark();
    load();
    unsetenv("ZELPROBE_FAIL_INIT");
    EXPECT_NE(since().find("初期化に失敗しました"), std::string::npos) << since();
    EXPECT_TRUE(s.modules().loaded().empty());
}

TEST_F(Modules, PostedTextFromAReactorAnswersThePrompt) {
    load();
    mark();
    run("PBC\n1,1\n2,2\n");
    EXPECT_EQ(said().front(), "keyword after 2") << since();
    mark();
    run("PBX\n");
    EXPECT_EQ(said().front(), "after ctrl-c " + std::to_string(RTCAN)) << since();
}

TEST_F(Modules, QuitComesFirstAtTheEndAndTheModuleGoes) {
    fs::path log = fs::temp_directory_path() / ("zel_probe_log_" + std::to_string(getpid()));
    fs::remove(log);
    setenv("ZELPROBE_LOG", log.c_str(), 1);
    {
        zel::app::Session other;
        other.makeCurrent();
        ASSERT_EQ(other.modules().load(zel::core::utf8ToWide(ZEL_PROBE_MODULE)), L"");
    }
    unsetenv("ZELPROBE_LOG");
    s.makeCurrent();
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(probeLines(text.str()),
              (std::vector<std::string>{"init", "load drawing Drawing1.dwg", "defun 1", "quit",
                                        "unload drawing Drawing1.dwg", "undef 1", "unload",
                                        "nothing to remove"}));
    fs::remove(log);
}

// ---- zelcad --load ----------------------------------------------------------------------------

std::string zelcad(const std::string& args, const std::string& env = "") {
    std::string cmd = env + " " + std::string(ZELCAD_EXE) + " " + args + " 2>&1";
    return zel::test::runProcess(cmd).out;
}

TEST(ZelcadLoad, LoadsTheModuleBeforeTheScriptAndQuitsItAtTheEnd) {
    fs::path dir = fs::temp_directory_path() / ("zel_load_" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path script = dir / "a.zsc";
    std::ofstream(script) << "PB 7,8\n(probe-add 1 1)\n";
    fs::path log = dir / "log";
    fs::path module = fs::path(ZEL_PROBE_MODULE);
    std::string out = zelcad("--load zelprobe run " + script.string(),
                             "ZELPROBE_LOG=" + log.string() +
                                 " ZELCAD_MODULE_PATH=" + module.parent_path().string());
    EXPECT_NE(out.find("probe: point 7,8"), std::string::npos) << out;
    EXPECT_NE(out.find("\n2"), std::string::npos) << out;
    EXPECT_NE(out.find("probe: quit"), std::string::npos) << "quit is part of the transcript";
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> lines = probeLines(text.str());
    ASSERT_GE(lines.size(), 4u) << text.str();
    EXPECT_EQ(lines[0], "init");
    EXPECT_EQ(lines[1], "load drawing Drawing1.dwg");
    auto quit = std::find(lines.begin(), lines.end(), "quit");
    ASSERT_NE(quit, lines.end());
    EXPECT_EQ(lines.back(), "nothing to remove") << "the unload after quit does nothing";
    fs::path typed = dir / "typed";
    std::ofstream(typed) << "PB 1,2\n";
    std::string shell = zelcad("--load zelprobe shell <" + typed.string(),
                               "ZELCAD_MODULE_PATH=" + module.parent_path().string());
    EXPECT_NE(shell.find("probe: point 1,2"), std::string::npos) << shell;
    EXPECT_NE(shell.find("probe: quit"), std::string::npos) << shell;
    std::string missing = zelcad("--load no_such_module run " + script.string());
    EXPECT_NE(missing.find("no_such_module が見つかりません。"), std::string::npos) << missing;
    EXPECT_NE(zelcad("run " + script.string() + " --load").find("--load needs"), std::string::npos);
    fs::remove_all(dir);
}

} // namespace
