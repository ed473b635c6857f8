// Damaged files: cut short or garbled, they give one message with the line (or byte offset)
// where the damage is, and never crash the reader.
#include "dxf/dxf.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace zel::dxf {
namespace {

std::string load(const char* name) {
    return test::readBytes(std::string(ZEL_DRAWINGS_DIR) + "/" + name);
}

size_t lineCount(std::string_view data) { return size_t(std::count(data.begin(), data.end(), '\n')) + 1; }

// The message names a line within the file, or a byte offset within it, and is one line.
void expectPositionedMessage(const std::string& error, std::string_view data, bool binary) {
    ASSERT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    std::string_view prefix = binary ? "byte offset " : "line ";
    ASSERT_EQ(error.rfind(prefix, 0), 0u) << error;
    size_t digits = error.find_first_not_of("0123456789", prefix.size());
    ASSERT_NE(digits, prefix.size()) << error;
    ASSERT_EQ(error.compare(digits, 2, ": "), 0) << error;
    size_t where = std::stoul(error.substr(prefix.size(), digits - prefix.size()));
    EXPECT_LE(where, binary ? data.size() : lineCount(data)) << error;
}

// Where the last section ends: a cut before it leaves a section open or loses sections.
size_t lastEndsec(std::string_view data) { return data.rfind("ENDSEC"); }

struct CutCase {
    const char* file;
    bool binary;
};

TEST(DamagedFiles, CutShortFailsWithItsPosition) {
    for (CutCase c : {CutCase{"ASCII_R12.dxf", false}, CutCase{"text.dxf", false},
                      CutCase{"groups.dxf", false}, CutCase{"bin_dxf_r14.dxf", true},
                      CutCase{"bin_dxf_r12.dxf", true}}) {
        SCOPED_TRACE(c.file);
        std::string data = load(c.file);
        ASSERT_FALSE(data.empty());
        std::mt19937 rng(20240601);
        for (int i = 0; i < 40; ++i) {
            size_t cut = rng() % lastEndsec(data);
            SCOPED_TRACE(cut);
            std::string_view part(data.data(), cut);
            ReadResult r = readDxfBuffer(part);
            EXPECT_FALSE(r.ok()) << "a file cut before its last section end was read";
            expectPositionedMessage(r.error, part, c.binary && cut >= 22);
        }
    }
}

// Bytes changed at random: either the file still reads (the change hit a text) or it gives one
// positioned message; a drawing that was read can be written and read back.
TEST(DamagedFiles, GarbledBytesNeverCrash) {
    for (CutCase c : {CutCase{"ASCII_R12.dxf", false}, CutCase{"multi_insert_with_attribs.dxf", false},
                      CutCase{"hatches_1.dxf", false}, CutCase{"bin_dxf_r14.dxf", true}}) {
        SCOPED_TRACE(c.file);
        std::string original = load(c.file);
        std::mt19937 rng(99);
        int refused = 0;
        for (int i = 0; i < 60; ++i) {
            std::string data = original;
            for (int k = 0; k < 1 + int(rng() % 8); ++k)
                data[rng() % data.size()] = "0 \n\r-9.eA\x00\xff"[rng() % 12];
            ReadResult r = readDxfBuffer(data);
            if (!r.ok()) {
                ++refused;
                expectPositionedMessage(r.error, data, c.binary);
                continue;
            }
            ReadResult again = readDxfBuffer(writeDxfBuffer(*r.database));
            EXPECT_TRUE(again.ok()) << again.error;
        }
        EXPECT_GT(refused, 0) << "some damage must be noticed";
    }
}

struct BrokenCase {
    const char* name;
    std::string data;
    const char* error;
};

std::string lines(std::initializer_list<const char*> ls) {
    std::string out;
    for (const char* l : ls) (out += l) += '\n';
    return out;
}

TEST(DamagedFiles, MessagesSayWhatWasExpected) {
    const BrokenCase cases[] = {
        {"not a number", lines({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "10", "x"}),
         "line 8: expected a real number as the value of group code 10, found 'x'"},
        {"wrong record in a table",
         lines({"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER", "0", "LTYPE", "2",
                "X", "0", "ENDTAB", "0", "ENDSEC", "0", "EOF"}),
         "line 9: expected 0/LAYER in the LAYER table, found 0/LTYPE"},
        {"block without a name",
         lines({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "8", "0", "0", "ENDBLK", "0",
                "ENDSEC", "0", "EOF"}),
         "line 5: expected 2/<block name> in 0/BLOCK"},
        {"empty file", "", "line 1: the file ends without 0/EOF (expected more sections or 0/EOF)"},
        {"not a DXF file", "%PDF-1.4\n1 0 obj\n",
         "line 1: expected a group code (an integer from 0 to 1071), found '%PDF-1.4'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReadResult r = readDxfBuffer(c.data);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.error, c.error);
    }
}

TEST(DamagedFiles, FileThatCannotBeOpened) {
    ReadResult r = readDxf("/nonexistent/folder/drawing.dxf");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error, "/nonexistent/folder/drawing.dxf: cannot read the file: No such file or "
                       "directory");
}

} // namespace
} // namespace zel::dxf
