// Reading into the database: old files with their code page, sequences of sub-entities (also
// broken ones), and everything the host does not model kept and written back.
#include "dbcompare.h"
#include "dxf/dxf.h"
#include "dxf/tablekinds.h"
#include "tagbuilder.h"
#include "testfiles.h"

#include <gtest/gtest.h>

namespace zel::dxf {
namespace {

ReadResult readFixture(const char* name) {
    return readDxf(std::string(ZEL_FIXTURES_DIR) + "/dxf/" + name);
}

std::vector<AcDbObjectId> spaceEntities(const AcDbDatabase& db, bool paper = false) {
    auto* space = db::peekAs<AcDbBlockTableRecord>(paper ? db.paperSpaceId() : db.modelSpaceId());
    return space ? space->entityIds() : std::vector<AcDbObjectId>();
}

std::string typeOf(AcDbObjectId id) {
    const AcDbObject* o = db::peek(id);
    return o ? std::string(o->dxfName()) : "?";
}

std::vector<std::string> typesOf(const std::vector<AcDbObjectId>& ids) {
    std::vector<std::string> out;
    for (AcDbObjectId id : ids) out.push_back(typeOf(id));
    return out;
}

// The first group of a code that the object writes.
ZelGroupValue groupOf(AcDbObjectId id, int16_t code) {
    for (const ZelGroupValue& g : test::groupsOf(*db::peek(id)))
        if (g.code == code) return g;
    return {};
}

bool hasRecord(const AcDbDatabase& db, db::DatabaseImpl::Table t, const wchar_t* name) {
    auto* table = db::peekAs<AcDbSymbolTable>(db.impl().tableId(t));
    return table && table->has(name);
}

TEST(Reader, Release12InShiftJis) {
    ReadResult r = readFixture("r12_shift_jis.dxf");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.warnings, std::vector<std::string>());
    const AcDbDatabase& db = *r.database;
    EXPECT_TRUE(hasRecord(db, db::DatabaseImpl::kLayer, L"図面"));
    EXPECT_TRUE(hasRecord(db, db::DatabaseImpl::kBlock, L"部品"));
    EXPECT_EQ(db.impl().header().text(L"$CLAYER", L""), L"図面");
    auto ids = spaceEntities(db);
    ASSERT_EQ(typesOf(ids), (std::vector<std::string>{"TEXT", "POLYLINE", "INSERT"}));
    EXPECT_EQ(groupOf(ids[0], 1).text, L"寸法 \u2205 25") << "\\U+2205 of an old file";
    EXPECT_EQ(groupOf(ids[0], 8).text, L"図面");
    auto* polyline = AcDbEntity::cast(db::peek(ids[1]));
    EXPECT_EQ(typesOf(polyline->subEntityIds()),
              (std::vector<std::string>{"VERTEX", "VERTEX", "VERTEX", "SEQEND"}));
    auto* insert = AcDbEntity::cast(db::peek(ids[2]));
    EXPECT_EQ(typesOf(insert->subEntityIds()), (std::vector<std::string>{"ATTRIB", "SEQEND"}));
    AcDbObjectId block;
    db::peekAs<AcDbSymbolTable>(db.blockTableId())->getAt(L"部品", block);
    EXPECT_EQ(typesOf(db::peekAs<AcDbBlockTableRecord>(block)->entityIds()),
              (std::vector<std::string>{"LINE", "ATTDEF"}));
}

// An old file comes out as a file of release 2013: UTF-8, handles, owners, subclass markers,
// block records and layouts.
TEST(Reader, Release12ComesOutAs2013) {
    ReadResult r = readFixture("r12_shift_jis.dxf");
    ASSERT_TRUE(r.ok()) << r.error;
    std::string out = writeDxfBuffer(*r.database);
    EXPECT_NE(out.find("$ACADVER\n  1\nAC1027\n"), std::string::npos);
    EXPECT_NE(out.find("\n  2\n\xE5\x9B\xB3\xE9\x9D\xA2\n"), std::string::npos) << "UTF-8 name";
    EXPECT_NE(out.find("寸法 \xE2\x88\x85 25"), std::string::npos);
    EXPECT_EQ(out.find("\\U+"), std::string::npos);
    for (const char* part : {"\nBLOCK_RECORD\n", "\n*Model_Space\n", "\n*Paper_Space\n",
                             "\nLAYOUT\n", "\nACAD_LAYOUT\n", "\nACAD_GROUP\n",
                             "\nAcDbEntity\n", "\nAcDbText\n", "\n  0\nSEQEND\n  5\n"})
        EXPECT_NE(out.find(part), std::string::npos) << part;
    ReadResult again = readDxfBuffer(out);
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(test::differences(*r.database, *again.database), std::vector<std::string>());
}

TEST(Reader, CarelessSequencesAreRepairedWithWarnings) {
    ReadResult r = readFixture("careless_sequences.dxf");
    ASSERT_TRUE(r.ok()) << r.error;
    std::vector<std::string> want = {
        "line 5: the sequence of this entity has no 0/SEQEND; one was added",
        "line 55: 0/VERTEX does not follow an entity it can belong to; it is kept on its own",
        "line 65: the sequence of this entity has no 0/SEQEND; one was added",
    };
    EXPECT_EQ(r.warnings, want);
    auto ids = spaceEntities(*r.database);
    ASSERT_EQ(typesOf(ids), (std::vector<std::string>{"POLYLINE", "LINE", "VERTEX", "INSERT"}));
    EXPECT_EQ(typesOf(AcDbEntity::cast(db::peek(ids[0]))->subEntityIds()),
              (std::vector<std::string>{"VERTEX", "VERTEX", "SEQEND"}));
    EXPECT_EQ(typesOf(AcDbEntity::cast(db::peek(ids[3]))->subEntityIds()),
              (std::vector<std::string>{"ATTRIB", "SEQEND"}));
}

// Kinds, tables, sections, application data and extended data the host does not model come
// back as they were.
TEST(Reader, UnmodelledPartsAreKept) {
    ReadResult r = readFixture("unmodelled_parts.dxf");
    ASSERT_TRUE(r.ok()) << r.error;
    std::string out = writeDxfBuffer(*r.database);
    for (const char* part :
         {"$ACME_SETTING\n  1\nkept\n", "  0\nCLASS\n  1\nACME_WIDGET\n",
          "  0\nTABLE\n  2\nACME_TABLE\n", "  0\nACME_TABLE\n  5\n16\n",
          "  0\nSECTION\n  2\nACME_SECTION\n  0\nACME_RECORD\n  1\nanything\n",
          "102\n{ACME_APP\n  1\napp data\n102\n}\n", "102\n{ACAD_REACTORS\n330\n30\n102\n}\n",
          "102\n{ACAD_XDICTIONARY\n360\n31\n102\n}\n",
          "1001\nACME\n1000\ntext\n1002\n{\n1070\n7\n1040\n2.5\n1010\n1.0\n1020\n2.0\n1030\n3.0\n"
          "1005\n20\n1002\n}\n1001\nOTHER\n1071\n123456\n1004\n0AFF\n",
          "  0\nACME_WIDGET\n  5\n21\n", "100\nAcmeWidget\n 10\n5.0\n 20\n6.0\n 40\n1.5\n"
                                      "300\nwidget text\n",
          "  0\nACME_DATA\n  5\n32\n330\n30\n100\nAcmeData\n 90\n42\n", "310\n00FF10\n"})
        EXPECT_NE(out.find(part), std::string::npos) << part;
    ReadResult again = readDxfBuffer(out);
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(test::differences(*r.database, *again.database), std::vector<std::string>());
}

// Some writers give an entity only the common marker: its own groups follow "AcDbEntity".
TEST(Reader, EntityWithoutItsOwnSubclassMarker) {
    std::string file = "  0\nSECTION\n  2\nENTITIES\n"
                       "  0\nELLIPSE\n  5\n6E\n100\nAcDbEntity\n  8\nEDGE\n 62\n15\n"
                       " 10\n-97.5\n 20\n2.0\n 30\n0\n 11\n24.75\n 21\n0\n 31\n0\n"
                       " 40\n0.5\n 41\n3.14159\n 42\n4.71239\n"
                       "  0\nENDSEC\n  0\nEOF\n";
    ReadResult r = readDxfBuffer(file);
    ASSERT_TRUE(r.ok()) << r.error;
    auto ids = spaceEntities(*r.database);
    ASSERT_EQ(ids.size(), 1u);
    auto* e = db::peekAs<AcDbEllipse>(ids[0]);
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->center().isEqualTo(AcGePoint3d(-97.5, 2, 0)));
    EXPECT_TRUE(e->majorAxis().isEqualTo(AcGeVector3d(24.75, 0, 0)));
    EXPECT_DOUBLE_EQ(e->radiusRatio(), 0.5);
    EXPECT_EQ(e->colorIndex(), 15);
    EXPECT_EQ(groupOf(ids[0], 8).text, L"EDGE");
}

// The same drawing in the release 12 and release 13+ binary layouts reads to the same values.
TEST(Reader, BinaryLayoutsAgree) {
    std::vector<std::vector<std::string>> dumps;
    for (bool twoByte : {false, true}) {
        test::BinaryBuilder b(twoByte);
        b.text(0, "SECTION").text(2, "HEADER").text(9, "$ACADVER").text(1, "AC1015");
        b.text(9, "$DWGCODEPAGE").text(3, "ANSI_1252").text(0, "ENDSEC");
        b.text(0, "SECTION").text(2, "ENTITIES");
        b.text(0, "LINE").text(8, "W\xE4nde").real(10, 1.5).real(20, 2.5).real(30, 0);
        b.real(11, -4).real(21, 8.25).real(31, 0).integer(62, 3);
        b.text(1001, "ACAD").integer(1071, 70000).chunk(1004, std::string("\x01\xfe", 2));
        b.text(0, "ENDSEC").text(0, "EOF");
        ReadResult r = readDxfBuffer(b.data());
        ASSERT_TRUE(r.ok()) << r.error;
        auto ids = spaceEntities(*r.database);
        ASSERT_EQ(ids.size(), 1u);
        std::vector<std::string> dump;
        for (const ZelGroupValue& g : test::groupsOf(*db::peek(ids[0])))
            if (g.code != 5 && g.code != 330) dump.push_back(test::show(g));
        dumps.push_back(dump);
        EXPECT_EQ(groupOf(ids[0], 8).text, L"W\u00e4nde") << "ANSI_1252 text";
        EXPECT_EQ(groupOf(ids[0], 1004).text, L"01FE");
    }
    EXPECT_EQ(dumps[0], dumps[1]);
}

// The release 12 and release 14 binary files of other programs hold the same drawing.
TEST(Reader, BinaryFixturesOfOtherPrograms) {
    std::vector<std::vector<std::string>> types;
    for (const char* name : {"bin_dxf_r12.dxf", "bin_dxf_r14.dxf"}) {
        ReadResult r = readDxf(std::string(ZEL_DRAWINGS_DIR) + "/" + name);
        ASSERT_TRUE(r.ok()) << r.error;
        types.push_back(typesOf(spaceEntities(*r.database)));
    }
    EXPECT_FALSE(types[0].empty());
    EXPECT_EQ(types[0], types[1]);
}

TEST(Reader, EveryTableInItsPlace) {
    ReadResult r = readDxf(std::string(ZEL_DRAWINGS_DIR) + "/text.dxf");
    ASSERT_TRUE(r.ok()) << r.error;
    for (const TableKind& kind : kTableKinds) {
        SCOPED_TRACE(kind.name);
        auto* table = db::peekAs<AcDbSymbolTable>(r.database->impl().tableId(kind.table));
        ASSERT_NE(table, nullptr);
        for (AcDbObjectId id : table->recordIds()) {
            EXPECT_EQ(typeOf(id), kind.name);
            EXPECT_EQ(db::peek(id)->ownerHandle(), table->getAcDbHandle());
        }
    }
    EXPECT_TRUE(hasRecord(*r.database, db::DatabaseImpl::kLayer, L"0"));
    EXPECT_FALSE(r.database->namedObjectsDictionaryId().isNull());
}

} // namespace
} // namespace zel::dxf
