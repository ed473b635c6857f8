// Drawings written by other programs: every one reads (or, if damaged, gives one message),
// comes back through write and read with nothing lost, and what we write is accepted by an
// independent DXF library.
#include "dbcompare.h"
#include "dxf/dxf.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace zel::dxf {
namespace {

using test::externalDrawings;
using test::TempFolder;

// The drawings that are damaged beyond reading, with the message they give.
const std::map<std::string, std::string> kRefused = {
    {"recover01.dxf", "recover01.dxf: line 1157: expected 0/SECTION or 0/EOF, found 0/ENDSEC"},
};

// Drawings whose handles are repaired on reading (their objects get other handles).
const std::set<std::string> kHandlesRepaired = {"duplicate_handles.dxf", "empty_handles.dxf"};

bool refused(const test::fs::path& p) { return kRefused.count(p.filename().string()) > 0; }

TEST(ExternalDrawings, EachReadsOrGivesOneMessage) {
    auto files = externalDrawings();
    ASSERT_GE(files.size(), 30u);
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        ReadResult r = readDxf(path.string());
        auto refusal = kRefused.find(path.filename().string());
        if (refusal == kRefused.end()) {
            EXPECT_TRUE(r.ok()) << r.error;
            continue;
        }
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.error.substr(r.error.size() - std::min(r.error.size(), refusal->second.size())),
                  refusal->second);
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << "one message";
    }
}

// Read, write, read again: the same objects with the same handles and groups; and writing
// the second drawing gives the same bytes as the first time.
TEST(ExternalDrawings, ReadWriteReadLosesNothing) {
    for (const auto& path : externalDrawings()) {
        if (refused(path)) continue;
        SCOPED_TRACE(path.filename().string());
        ReadResult first = readDxf(path.string());
        ASSERT_TRUE(first.ok()) << first.error;
        std::string written = writeDxfBuffer(*first.database);
        ReadResult second = readDxfBuffer(written);
        ASSERT_TRUE(second.ok()) << second.error;
        EXPECT_EQ(second.warnings, std::vector<std::string>()) << "our own file needs no repair";
        EXPECT_EQ(test::differences(*first.database, *second.database),
                  std::vector<std::string>());
        EXPECT_TRUE(writeDxfBuffer(*second.database) == written) << "writing is not stable";
    }
}

TEST(ExternalDrawings, WrittenFilesHaveUniqueHandles) {
    for (const auto& path : externalDrawings()) {
        if (refused(path)) continue;
        SCOPED_TRACE(path.filename().string());
        ReadResult r = readDxf(path.string());
        ASSERT_TRUE(r.ok()) << r.error;
        std::set<uint64_t> seen;
        uint64_t largest = 0;
        r.database->impl().forEachSlot([&](db::ObjectSlot& s) {
            if (!s.alive) return;
            EXPECT_FALSE(s.handle.isNull());
            EXPECT_TRUE(seen.insert(s.handle.value()).second) << test::hexOf(s.handle);
            largest = std::max(largest, s.handle.value());
        });
        EXPECT_GT(r.database->impl().handseed(), largest);
    }
}

TEST(ExternalDrawings, RepairedHandlesAreReportedWithTheirLine) {
    struct Case {
        const char* file;
        const char* firstWarning;
    } cases[] = {
        {"duplicate_handles.dxf", "line 1443: the handle 2 of LINE is already taken; the object got "},
        {"empty_handles.dxf", "line 37: LINE has an empty handle; it got "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ReadResult r = readDxf(std::string(ZEL_DRAWINGS_DIR) + "/" + c.file);
        ASSERT_TRUE(r.ok()) << r.error;
        ASSERT_FALSE(r.warnings.empty());
        EXPECT_EQ(r.warnings.front().rfind(c.firstWarning, 0), 0u) << r.warnings.front();
    }
}

class IndependentLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        test::CheckResult probe = test::runEzdxfCheck({}, mScratch.path());
        if (probe.status == 3)
            GTEST_SKIP() << "python3-ezdxf is not installed (tools/bootstrap.sh installs it)";
    }
    TempFolder mScratch;
};

// ezdxf reads every file we write and its auditor finds no error.
TEST_F(IndependentLibrary, AcceptsEveryFileWeWrite) {
    std::vector<std::string> args = {"audit"};
    for (const auto& path : externalDrawings()) {
        if (refused(path)) continue;
        ReadResult r = readDxf(path.string());
        ASSERT_TRUE(r.ok()) << r.error;
        auto out = mScratch / path.filename().string();
        SaveResult saved = writeDxf(*r.database, out.string());
        ASSERT_TRUE(saved.ok) << saved.error;
        args.push_back(out.string());
    }
    test::CheckResult check = test::runEzdxfCheck(args, mScratch.path());
    EXPECT_EQ(check.status, 0) << check.output;
}

// What ezdxf reads from the original it reads from our file too: header, tables, blocks with
// their entities in order, sub-entities, extended data, objects.
// Off until two known losses are mended: the text style of a DIMSTYLE (group 340) and the
// geometry of ELLIPSE entities of one R2000 drawing come back empty.
TEST_F(IndependentLibrary, SeesEverythingOfTheOriginal) {
    int compared = 0;
    for (const auto& path : externalDrawings()) {
        if (refused(path)) continue;
        std::string name = path.filename().string();
        SCOPED_TRACE(name);
        ReadResult r = readDxf(path.string());
        ASSERT_TRUE(r.ok()) << r.error;
        auto out = mScratch / name;
        ASSERT_TRUE(writeDxf(*r.database, out.string()).ok);
        std::vector<std::string> args = {"compare"};
        if (kHandlesRepaired.count(name)) args.push_back("--no-handles");
        args.push_back(path.string());
        args.push_back(out.string());
        test::CheckResult check = test::runEzdxfCheck(args, mScratch.path());
        if (check.status == 4) continue; // the original is beyond ezdxf itself
        ++compared;
        EXPECT_EQ(check.status, 0) << check.output;
    }
    EXPECT_GE(compared, 25);
}

} // namespace
} // namespace zel::dxf
