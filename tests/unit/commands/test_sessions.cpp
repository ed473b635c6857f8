// Session tests: each tests/sessions/commands/NAME.zsc runs on a new drawing (or on NAME.dxf
// when there is one); its transcript and the canonical dump of the drawing must equal
// NAME.expected. ZEL_UPDATE_SESSIONS=1 writes the .expected files instead (review the diff).
#include "../session_files.h"
#include "session_fixture.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

fs::path sessionsDir() {
    return fs::path(ZEL_SOURCE_DIR) / "tests" / "sessions" / "commands";
}

class Sessions : public SessionTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(Sessions, TranscriptAndDrawingAsExpected) {
    fs::path base = sessionsDir() / GetParam();
    if (fs::exists(base.string() + ".dxf")) {
        ASSERT_EQ(s.open(zel::core::utf8ToWide(base.string() + ".dxf")), L"");
    }
    zel::editor::Script script = zel::editor::loadScript(base.string() + ".zsc");
    ASSERT_TRUE(script.ok()) << zel::core::wideToUtf8(script.errors.front().text());
    zel::editor::enqueue(ed().queue(), script);
    engine().run();
    EXPECT_FALSE(ed().queue().exhausted()) << "the script ends while input is wanted";
    std::string got = transcript() + "\n==== dump ====\n" +
                      zel::db::canonicalDump(s.database(), {.withHandles = false});
    zel::session_files::expectSession(got, base);
}

INSTANTIATE_TEST_SUITE_P(Commands, Sessions,
                         ::testing::ValuesIn(zel::session_files::sessionNames(sessionsDir())),
                         [](const auto& info) { return info.param; });

} // namespace
