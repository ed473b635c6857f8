// Session tests with the program's startup modules loaded (the dialog bar and the drafting
// modules): each tests/sessions/modules/NAME.zsc runs on a new drawing (or on NAME.dxf); its
// transcript and the canonical dump of the drawing must equal NAME.expected.
// ZEL_UPDATE_SESSIONS=1 writes the .expected files instead (read the diff before keeping it).
#include "../session_files.h"
#include "module_fixture.h"

#include "app/startup.h"
#include "db/dump.h"

namespace {

namespace fs = std::filesystem;

fs::path sessionsDir() {
    return fs::path(ZEL_SOURCE_DIR) / "tests" / "sessions" / "modules";
}

class ModuleSessions : public ModuleTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ModuleSessions, TranscriptAndDrawingAsExpected) {
    std::vector<std::wstring> problems = zel::app::loadStartupModules(s);
    ASSERT_TRUE(problems.empty()) << zel::core::wideToUtf8(problems.front());
    fs::path base = sessionsDir() / GetParam();
    if (fs::exists(base.string() + ".dxf")) {
        ASSERT_EQ(s.open(zel::core::utf8ToWide(base.string() + ".dxf")), L"");
    }
    zel::editor::Script script = zel::editor::loadScript(base.string() + ".zsc");
    ASSERT_TRUE(script.ok()) << zel::core::wideToUtf8(script.errors.front().text());
    zel::editor::enqueue(ed().queue(), script);
    s.engine().run();
    EXPECT_FALSE(ed().queue().exhausted()) << "the script ends while input is wanted";
    std::string got = transcript() + "\n==== dump ====\n" +
                      zel::db::canonicalDump(s.database(), {.withHandles = false});
    zel::session_files::expectSession(got, base);
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleSessions,
                         ::testing::ValuesIn(zel::session_files::sessionNames(sessionsDir())),
                         [](const auto& info) { return info.param; });

} // namespace
