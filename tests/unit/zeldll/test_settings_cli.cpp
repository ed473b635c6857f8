// zelcad settings get|set|import|export: values in and out, the shipped defaults, and bad
// files or a damaged store that change nothing.
#include "../app/process.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using zel::test::runProcess;

namespace {

class SettingsCli : public ::testing::Test {
protected:
    SettingsCli() {
        mDir = fs::temp_directory_path() / ("zel_settings_cli_" + std::to_string(::getpid()));
        fs::remove_all(mDir);
        fs::create_directories(mDir);
    }
    ~SettingsCli() override { fs::remove_all(mDir); }

    // zelcad settings ARGS with the store of this test; standard error joins the output.
    zel::test::ProcessResult settings(const std::string& args, const std::string& db = "s.db") {
        return runProcess("ZELCAD_SETTINGS='" + (mDir / db).string() +
                          "' '" ZELCAD_EXE "' settings " + args + " 2>&1");
    }
    fs::path file(const std::string& name, const std::string& text) {
        fs::path p = mDir / name;
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }
    std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path mDir;
};

} // namespace

TEST_F(SettingsCli, SetGetAndShippedDefaults) {
    EXPECT_EQ(settings("set ZelScSym :").status, 0);
    EXPECT_EQ(settings("get ZelScSym").out, ":\n");
    EXPECT_EQ(settings("get ZelLineType/Par004").out, "寸法線\n") << "a shipped default";
    auto missing = settings("get No/Such");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("No/Such is not set"), std::string::npos);
    EXPECT_EQ(settings("set OnlyKey").status, 2);
    EXPECT_EQ(settings("frobnicate X").status, 2);
}

TEST_F(SettingsCli, ExportThenImportIntoAnotherStoreGivesTheSameSettings) {
    ASSERT_EQ(settings("set 'ZelLineType/Lin002' \"$(printf 'HIDDEN\\tかくれ線')\"").status, 0);
    ASSERT_EQ(settings("set ZelCHTXTStatus 511").status, 0);
    fs::path out = mDir / "out.txt";
    auto exported = settings("export '" + out.string() + "'");
    ASSERT_EQ(exported.status, 0) << exported.out;
    EXPECT_NE(read(out).find("ZelLineType/Lin002=HIDDEN\\tかくれ線\n"), std::string::npos);
    ASSERT_EQ(settings("import '" + out.string() + "'", "other.db").status, 0);
    EXPECT_EQ(settings("export -", "other.db").out, settings("export -").out);
}

TEST_F(SettingsCli, ABadFileOrADamagedStoreChangesNothing) {
    ASSERT_EQ(settings("set Kept 1").status, 0);
    fs::path bad = file("bad.txt", "A=2\nKept=3\nthis line has no equals sign\n");
    auto r = settings("import '" + bad.string() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("line 3: expected KEY=VALUE"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("nothing was imported"), std::string::npos);
    EXPECT_EQ(settings("get Kept").out, "1\n");
    EXPECT_EQ(settings("get A").status, 1);
    EXPECT_EQ(settings("import '" + (mDir / "absent.txt").string() + "'").status, 1);

    fs::path damaged = file("damaged.db", std::string(4096, 'z'));
    auto d = settings("set A 1", "damaged.db");
    EXPECT_EQ(d.status, 1);
    EXPECT_NE(d.out.find("damaged"), std::string::npos) << d.out;
    EXPECT_EQ(read(damaged), std::string(4096, 'z'));
    auto g = settings("get ZelLineType/Par000", "damaged.db");
    EXPECT_EQ(g.status, 0) << "the shipped defaults still answer";
    EXPECT_NE(g.out.find("外形線"), std::string::npos);
    // An export that cannot be written leaves no half file.
    EXPECT_EQ(settings("export '" + (mDir / "no/such/folder.txt").string() + "'").status, 1);
}
