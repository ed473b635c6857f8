// The section structure of DXF files: every section, table and block closed, roles of records.
#include "dxf/filestructure.h"

#include <gtest/gtest.h>

#include <fstream>

namespace zel::dxf {
namespace {

// Lines joined with '\n' (tests read better with one tag per pair of strings).
std::string dxf(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines) (out += l) += '\n';
    return out;
}

class RecordingSink : public FileSink {
public:
    bool take(Role role, const std::string& section, Record& record) override {
        log.push_back(roleName(role) + ":" + section + ":" + record.type);
        return true;
    }
    static std::string roleName(Role r) {
        switch (r) {
        case Role::SectionStart: return "start";
        case Role::Kept: return "kept";
        case Role::SectionEnd: return "end";
        case Role::Header: return "header";
        case Role::TableStart: return "table";
        case Role::TableRecord: return "record";
        case Role::TableEnd: return "endtab";
        case Role::BlockStart: return "block";
        case Role::BlockEnd: return "endblk";
        case Role::Entity: return "entity";
        case Role::SubEntity: return "sub";
        case Role::Object: return "object";
        }
        return "?";
    }
    std::vector<std::string> log;
};

struct Parsed {
    bool ok;
    std::string error;
    std::vector<std::string> log;
};

Parsed parse(std::string_view data) {
    TagReader tags(data);
    RecordReader records(tags, TextDecoder());
    RecordingSink sink;
    FileParser parser(records, sink);
    bool ok = parser.run();
    return {ok, parser.error(), sink.log};
}

TEST(FileParser, RolesOfEveryPart) {
    Parsed p = parse(dxf({"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1009", "0",
                          "ENDSEC", "0", "SECTION", "2", "CLASSES", "0", "CLASS", "1", "X", "0",
                          "ENDSEC", "0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER",
                          "0", "LAYER", "2", "0", "0", "ENDTAB", "0", "ENDSEC", "0", "SECTION",
                          "2", "BLOCKS", "0", "BLOCK", "2", "B", "0", "INSERT", "66", "1", "0",
                          "ATTRIB", "0", "SEQEND", "0", "ENDBLK", "0", "ENDSEC", "0", "SECTION",
                          "2", "ENTITIES", "0", "POLYLINE", "0", "VERTEX", "0", "SEQEND", "0",
                          "LINE", "0", "ENDSEC", "0", "SECTION", "2", "OBJECTS", "0",
                          "DICTIONARY", "0", "ENDSEC", "0", "EOF"}));
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<std::string> want = {
        "header:HEADER:SECTION",     "start:CLASSES:SECTION",   "kept:CLASSES:CLASS",
        "end:CLASSES:ENDSEC",        "table:TABLES:TABLE",      "record:TABLES:LAYER",
        "endtab:TABLES:ENDTAB",      "block:BLOCKS:BLOCK",      "entity:BLOCKS:INSERT",
        "sub:BLOCKS:ATTRIB",         "sub:BLOCKS:SEQEND",       "endblk:BLOCKS:ENDBLK",
        "entity:ENTITIES:POLYLINE",  "sub:ENTITIES:VERTEX",     "sub:ENTITIES:SEQEND",
        "entity:ENTITIES:LINE",      "object:OBJECTS:DICTIONARY"};
    EXPECT_EQ(p.log, want);
}

struct BrokenCase {
    const char* name;
    std::string data;
    const char* error;
};

TEST(FileParser, StructuralErrorsNameLineAndExpectation) {
    const BrokenCase cases[] = {
        {"section not closed", dxf({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "8", "0"}),
         "line 8: the file ends inside the ENTITIES section (expected 0/ENDSEC)"},
        {"table not closed",
         dxf({"0", "SECTION", "2", "TABLES", "0", "TABLE", "2", "LAYER", "0", "LAYER", "0",
              "ENDSEC"}),
         "line 11: expected 0/ENDTAB, found 0/ENDSEC"},
        {"block not closed",
         dxf({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "B1", "0", "BLOCK", "2", "B2"}),
         "line 9: expected 0/ENDBLK, found 0/BLOCK"},
        {"block cut short", dxf({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "B1"}),
         "line 8: the file ends inside the block B1 (expected 0/ENDBLK)"},
        {"entity between sections", dxf({"0", "LINE", "8", "0"}),
         "line 1: expected 0/SECTION or 0/EOF, found 0/LINE"},
        {"section without name", dxf({"0", "SECTION", "0", "ENDSEC"}),
         "line 1: expected 2/<section name> after 0/SECTION"},
        {"header runs into a table", dxf({"0", "SECTION", "2", "HEADER", "0", "TABLE"}),
         "line 5: expected 0/ENDSEC, found 0/TABLE"},
        {"entity in the tables", dxf({"0", "SECTION", "2", "TABLES", "0", "LINE"}),
         "line 5: expected 0/TABLE or 0/ENDSEC, found 0/LINE"},
        {"damaged tag inside", dxf({"0", "SECTION", "2", "ENTITIES", "0", "LINE", "10", "x"}),
         "line 8: expected a real number as the value of group code 10, found 'x'"},
        {"kept section not closed", dxf({"0", "SECTION", "2", "THUMBNAILIMAGE", "0", "EOF"}),
         "line 5: expected 0/ENDSEC, found 0/EOF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed p = parse(c.data);
        EXPECT_FALSE(p.ok);
        EXPECT_EQ(p.error, c.error);
    }
}

// A file that stops between sections may have lost the sections after the cut.
TEST(FileParser, MissingEofIsAnError) {
    Parsed p = parse(dxf({"0", "SECTION", "2", "ENTITIES", "0", "ENDSEC"}));
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, "line 6: the file ends without 0/EOF (expected more sections or 0/EOF)");
}

TEST(FileParser, NothingAfterEofIsRead) {
    Parsed p = parse(dxf({"0", "SECTION", "2", "ENTITIES", "0", "ENDSEC", "0", "EOF", "junk",
                          "more junk", "0"}));
    EXPECT_TRUE(p.ok) << p.error;
}

TEST(FileParser, BrokenFixtureOfAnotherProgram) {
    std::ifstream in(std::string(ZEL_DRAWINGS_DIR) + "/recover01.dxf", std::ios::binary);
    std::string data(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(data.empty());
    Parsed p = parse(data);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.error, "line 1157: expected 0/SECTION or 0/EOF, found 0/ENDSEC");
}

} // namespace
} // namespace zel::dxf
