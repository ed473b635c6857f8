// Records read ahead on a second thread are the records read in line: same order, same groups,
// same positions, the same damage reported at the same place, and a reader stopped early or
// failing midway neither hangs nor loses what came before.
#include "dxf/dxf.h"
#include "dxf/readahead.h"
#include "dxf/records.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace zel::dxf {
namespace {

struct Stream {
    std::vector<Record> records;
    std::string error;
    uint64_t lastPosition = 0;
};

// Every record of the data, read in line or ahead, with how the reading ended.
Stream readAll(std::string_view data, bool ahead, size_t stopAfter = SIZE_MAX) {
    TagReader tags(data);
    RecordReader records(tags, TextDecoder::forFile("AC1027", ""));
    if (ahead) records.startReadingAhead();
    Stream out;
    Record r;
    while (out.records.size() < stopAfter && records.next(r)) {
        out.records.push_back(r);
        if (r.type == "EOF") break;
    }
    records.stopReadingAhead();
    out.error = records.error();
    out.lastPosition = records.lastPosition();
    return out;
}

void expectSame(const Stream& inLine, const Stream& ahead) {
    ASSERT_EQ(inLine.records.size(), ahead.records.size());
    for (size_t i = 0; i < inLine.records.size(); ++i) {
        SCOPED_TRACE(i);
        const Record& a = inLine.records[i];
        const Record& b = ahead.records[i];
        ASSERT_EQ(a.type, b.type);
        ASSERT_EQ(a.where, b.where);
        ASSERT_EQ(a.groups, b.groups);
        ASSERT_EQ(a.wheres, b.wheres);
    }
    EXPECT_EQ(inLine.error, ahead.error);
}

TEST(ReadAhead, GivesTheRecordsOfEveryDrawingInOrder) {
    for (const auto& path : test::externalDrawings()) {
        SCOPED_TRACE(path.filename().string());
        std::string data = test::readBytes(path);
        Stream inLine = readAll(data, false);
        Stream ahead = readAll(data, true);
        ASSERT_FALSE(inLine.records.empty());
        expectSame(inLine, ahead);
    }
}

TEST(ReadAhead, ReportsDamageWhereReadingInLineDoes) {
    std::string data = test::readBytes(std::string(ZEL_DRAWINGS_DIR) + "/text.dxf");
    ASSERT_FALSE(data.empty());
    std::mt19937 rng(20261208);
    for (int i = 0; i < 30; ++i) {
        std::string damaged = data;
        size_t at = rng() % damaged.size();
        damaged.resize(at);                     // cut short ...
        if (i % 2) damaged += "\n  zz\nLINE\n"; // ... or with a group code that is no number
        SCOPED_TRACE(at);
        Stream inLine = readAll(damaged, false);
        Stream ahead = readAll(damaged, true);
        expectSame(inLine, ahead);
        EXPECT_EQ(inLine.lastPosition, ahead.lastPosition);
    }
}

TEST(ReadAhead, StoppedEarlyGivesWhatItRead) {
    std::string data = test::readBytes(std::string(ZEL_DRAWINGS_DIR) + "/text.dxf");
    for (size_t stop : {size_t(0), size_t(1), size_t(7), size_t(1500)}) {
        SCOPED_TRACE(stop);
        Stream inLine = readAll(data, false, stop);
        Stream ahead = readAll(data, true, stop);
        expectSame(inLine, ahead);
    }
}

// A reading that throws (memory running out) throws in the caller's thread after the records
// before it, and the reading thread is gone by then.
TEST(ReadAhead, FailureOfTheReadingThreadReachesTheCaller) {
    for (int failAt : {0, 5, 1024, 3000}) {
        SCOPED_TRACE(failAt);
        int n = 0;
        ReadAhead ahead([&n, failAt](Record& r) {
            if (n == failAt) throw std::runtime_error("out of memory");
            r.type = std::to_string(n++);
            return true;
        });
        Record r;
        int got = 0;
        try {
            while (ahead.next(r)) {
                ASSERT_EQ(r.type, std::to_string(got));
                ++got;
            }
            FAIL() << "the failure was not passed on";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "out of memory");
        }
        EXPECT_EQ(got, failAt);
    }
}

// A drawing large enough to be read on two threads reads back whole, and cut short it fails
// with the line of the cut, as a small one does.
TEST(ReadAhead, LargeDrawingReadsWholeAndCutShortFails) {
    auto db = std::make_unique<AcDbDatabase>();
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    constexpr int kLines = 12000;
    for (int i = 0; i < kLines; ++i) {
        AcDbObjectId id;
        auto* line = new AcDbLine(AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0));
        ASSERT_EQ(space->appendAcDbEntity(id, line), Acad::eOk);
        line->close();
    }
    space->close();
    std::string bytes = writeDxfBuffer(*db);
    ASSERT_GT(bytes.size(), size_t(1) << 20) << "the drawing is meant to be read ahead";

    ReadResult whole = readDxfBuffer(bytes);
    ASSERT_TRUE(whole.ok()) << whole.error;
    AcDbBlockTableRecord* read = nullptr;
    ASSERT_EQ(acdbOpenObject(read, whole.database->modelSpaceId(), AcDb::kForRead), Acad::eOk);
    int count = 0;
    AcDbBlockTableRecordIterator* it = nullptr;
    read->newIterator(it);
    for (; !it->done(); it->step())
        ++count;
    delete it;
    read->close();
    EXPECT_EQ(count, kLines);

    std::string_view cut(bytes.data(), bytes.size() / 2);
    ReadResult part = readDxfBuffer(cut);
    ASSERT_FALSE(part.ok());
    EXPECT_EQ(part.error.rfind("line ", 0), 0u) << part.error;
}

} // namespace
} // namespace zel::dxf
