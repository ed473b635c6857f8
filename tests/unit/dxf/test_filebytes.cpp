// The memory of reading: the bytes of a file are given back as the reader passes them, and
// nothing is read from them once given back; polylines keep no room for vertices they lack.
#include "dbcompare.h"
#include "dxf/dxf.h"
#include "dxf/filebytes.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace zel::dxf {
namespace {

using test::TempFolder;

// A drawing of another program with bytes after its 0/EOF, which the reader never reaches.
constexpr const char* kTrailingBytes = "R12_with_trash_beyond_EOF.dxf";

size_t pageSize() {
    return size_t(sysconf(_SC_PAGESIZE));
}

// Bytes that differ from one place to the next, so that a byte read from the wrong place shows.
std::string patterned(size_t size) {
    std::string out(size, '\0');
    for (size_t i = 0; i < size; ++i)
        out[i] = char('a' + (i * 7 + i / 251) % 26);
    return out;
}

// Overwrites every byte the reader says it has passed, so that a read of one gives another
// drawing (or an error); checks that the offsets only grow and stay inside the data.
class Poison : public PassedBytes {
public:
    explicit Poison(std::string& bytes) : mBytes(bytes) {}
    void passed(size_t offset) override {
        EXPECT_GE(offset, mPoisoned) << "an offset once passed is passed for good";
        EXPECT_LE(offset, mBytes.size());
        for (size_t i = mPoisoned; i < offset && i < mBytes.size(); ++i)
            mBytes[i] = 'X';
        mPoisoned = std::max(mPoisoned, offset);
        ++mCalls;
    }
    size_t poisoned() const { return mPoisoned; }
    size_t calls() const { return mCalls; }

private:
    std::string& mBytes;
    size_t mPoisoned = 0;
    size_t mCalls = 0;
};

void expectSameRead(const ReadResult& expected, const ReadResult& actual) {
    EXPECT_EQ(actual.error, expected.error);
    EXPECT_EQ(actual.warnings, expected.warnings);
    ASSERT_EQ(actual.ok(), expected.ok());
    if (!expected.ok()) return;
    EXPECT_EQ(test::differences(*expected.database, *actual.database), std::vector<std::string>());
}

// A drawing of the kinds the reader meets most: lines, arcs, polylines, texts, multiline texts
// of several chunks; large enough to span many pages.
std::string generatedDrawing(int count) {
    AcDbDatabase db;
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    std::wstring longText(700, L'長');
    for (int i = 0; i < count; ++i) {
        AcGePoint3d p(i * 1.5, i % 17, 0);
        std::unique_ptr<AcDbEntity> e;
        switch (i % 5) {
        case 0:
            e = std::make_unique<AcDbLine>(p, p + AcGeVector3d(3, 4, 0));
            break;
        case 1:
            e = std::make_unique<AcDbArc>(p, 2.5, 0.5, 2.0);
            break;
        case 2: {
            auto pl = std::make_unique<AcDbPolyline>();
            for (unsigned v = 0; v < 5; ++v)
                pl->addVertexAt(v, AcGePoint2d(p.x + v, p.y), 0.25);
            e = std::move(pl);
            break;
        }
        case 3:
            e = std::make_unique<AcDbText>(p, L"部品番号 ｵﾌﾞｼﾞｪｸﾄ", AcDbObjectId(), 3.5, 0.25);
            break;
        case 4: {
            auto mt = std::make_unique<AcDbMText>();
            mt->setLocation(p);
            mt->setContents((longText + std::to_wstring(i)).c_str());
            e = std::move(mt);
            break;
        }
        }
        AcDbObjectId id;
        space->appendAcDbEntity(id, e.get());
        e.release()->close();
    }
    space->close();
    return writeDxfBuffer(db);
}

TEST(FileBytes, ReadsEveryByte) {
    TempFolder dir;
    size_t page = pageSize();
    for (size_t size : {size_t(0), size_t(1), page - 1, page, page + 1, 5 * page + 123}) {
        SCOPED_TRACE(size);
        std::string content = patterned(size);
        test::writeBytes(dir / "f.dxf", content);
        FileBytes file;
        std::string error;
        ASSERT_TRUE(file.read((dir / "f.dxf").string(), error)) << error;
        EXPECT_EQ(error, "");
        EXPECT_TRUE(file.bytes() == content);
        EXPECT_EQ(file.released(), 0u);
    }
}

// Pages go back whole, only once a step of them is passed, never beyond the data, never again;
// the bytes after them are still the file's.
TEST(FileBytes, GivesBackWholePagesInSteps) {
    TempFolder dir;
    size_t page = pageSize();
    std::string content = patterned(10 * page + 77);
    test::writeBytes(dir / "f.dxf", content);
    FileBytes file(3 * page);
    std::string error;
    ASSERT_TRUE(file.read((dir / "f.dxf").string(), error)) << error;
    struct Step {
        size_t offset;
        size_t released;
    };
    const Step steps[] = {
        {page, 0},                   // less than a step
        {3 * page - 1, 0},           // the third page is not passed whole
        {3 * page + 10, 3 * page},   // a step of whole pages
        {2 * page, 3 * page},        // an offset behind changes nothing
        {5 * page, 3 * page},        // two pages more: less than a step
        {7 * page + 5, 7 * page},    // whole pages up to the offset
        {100 * page, 7 * page},      // beyond the data: nothing
        {10 * page + 77, 10 * page}, // the end of the data: its whole pages
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.offset);
        file.passed(s.offset);
        EXPECT_EQ(file.released(), s.released);
        EXPECT_TRUE(file.bytes().substr(file.released()) ==
                    std::string_view(content).substr(file.released()));
    }
}

TEST(FileBytes, UnreadableFilesSayWhy) {
    TempFolder dir;
    struct Case {
        std::string path;
        std::string error;
    };
    const Case cases[] = {
        {(dir / "missing.dxf").string(), "cannot read the file: No such file or directory"},
        {dir.path().string(), "cannot read the file: Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        FileBytes file;
        std::string error;
        EXPECT_FALSE(file.read(c.path, error));
        EXPECT_EQ(error, c.error);
        ReadResult r = readDxf(c.path);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.error, c.path + ": " + c.error);
    }
}

// Whatever the reader says it has passed, it never reads again: drawings of other programs
// (ASCII and binary, old and new, damaged ones) read the same with those bytes overwritten.
TEST(ReaderMemory, PassedBytesAreNeverReadAgain) {
    auto files = test::externalDrawings();
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        std::string bytes = test::readBytes(path);
        ReadResult expected = readDxfBuffer(bytes);
        Poison poison(bytes);
        ReadResult actual = readDxfBuffer(bytes, poison);
        expectSameRead(expected, actual);
        if (!expected.ok()) continue;
        EXPECT_GT(poison.calls(), 0u);
        if (path.filename() == kTrailingBytes) continue;
        EXPECT_GT(poison.poisoned(), bytes.size() * 9 / 10) << "nearly all is passed at the end";
    }
}

// The bytes of a large drawing go back to the system while it is read (a read of one given back
// would fault), and the drawing is the one read from memory.
TEST(ReaderMemory, FileIsGivenBackWhileTheDrawingIsBuilt) {
    TempFolder dir;
    std::string bytes = generatedDrawing(600);
    ASSERT_GT(bytes.size(), 64 * pageSize());
    test::writeBytes(dir / "big.dxf", bytes);
    ReadResult expected = readDxfBuffer(bytes);
    ASSERT_TRUE(expected.ok()) << expected.error;

    FileBytes file(pageSize());
    std::string error;
    ASSERT_TRUE(file.read((dir / "big.dxf").string(), error)) << error;
    ReadResult actual = readDxfBuffer(file.bytes(), file);
    expectSameRead(expected, actual);
    EXPECT_GT(file.released(), bytes.size() - 2 * pageSize()) << "all but the last pages";

    expectSameRead(expected, readDxf((dir / "big.dxf").string()));
}

// A drawing the host wrote holds only what it models: no entity keeps groups of its file.
TEST(ReaderMemory, ModelledEntitiesKeepNoGroupsOfTheirFile) {
    ReadResult r = readDxfBuffer(generatedDrawing(50));
    ASSERT_TRUE(r.ok()) << r.error;
    auto* space = db::peekAs<AcDbBlockTableRecord>(r.database->modelSpaceId());
    ASSERT_NE(space, nullptr);
    size_t entities = 0;
    for (AcDbObjectId id : space->entityIds()) {
        auto* e = db::peekAs<AcDbEntity>(id);
        ASSERT_NE(e, nullptr);
        ++entities;
        SCOPED_TRACE(std::string(e->dxfName()));
        EXPECT_EQ(e->unknownGroups().size(), 0u);
        EXPECT_EQ(e->appGroups().size(), 0u);
        EXPECT_EQ(e->xDataGroups().size(), 0u);
    }
    EXPECT_EQ(entities, 50u);
}

// A light polyline keeps room for the vertices it has, whatever count its file announces.
TEST(ReaderMemory, PolylinesKeepNoRoomForVerticesTheyLack) {
    struct Case {
        const char* declared;
        size_t vertices;
    };
    const Case cases[] = {
        {"5", 5},          // as announced
        {"2", 5},          // fewer announced than given
        {"9", 3},          // more announced than given
        {"2000000000", 4}, // a damaged count
        {"-7", 2},         // a count that means nothing
        {nullptr, 6},      // no count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.declared ? c.declared : "none");
        std::string dxf = "0\nSECTION\n2\nENTITIES\n0\nLWPOLYLINE\n100\nAcDbEntity\n8\n0\n"
                          "100\nAcDbPolyline\n";
        if (c.declared) dxf += std::string("90\n") + c.declared + "\n";
        dxf += "70\n0\n";
        for (size_t v = 0; v < c.vertices; ++v)
            dxf += "10\n" + std::to_string(v) + "\n20\n" + std::to_string(v * v) + "\n";
        dxf += "0\nENDSEC\n0\nEOF\n";
        ReadResult r = readDxfBuffer(dxf);
        ASSERT_TRUE(r.ok()) << r.error;
        auto* space = db::peekAs<AcDbBlockTableRecord>(r.database->modelSpaceId());
        ASSERT_EQ(space->entityIds().size(), 1u);
        auto* pl = db::peekAs<AcDbPolyline>(space->entityIds().front());
        ASSERT_NE(pl, nullptr);
        EXPECT_EQ(pl->vertices().size(), c.vertices);
        EXPECT_EQ(pl->vertices().capacity(), c.vertices);
        EXPECT_EQ(pl->vertices().back().point,
                  AcGePoint2d(double(c.vertices - 1), double((c.vertices - 1) * (c.vertices - 1))));
    }
}

} // namespace
} // namespace zel::dxf
