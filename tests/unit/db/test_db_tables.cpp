// Symbol tables (names without regard to case, iterators, duplicates), dictionaries,
// xrecords, groups, extended data, and the header variables.
#include "arx/db.h"
#include "core/resbuf.h"
#include "core/text.h"
#include "db/database_impl.h"
#include "db/schema.h"

#include <gtest/gtest.h>

namespace {

using zel::core::RbBuilder;
using zel::core::RbPtr;

template <class R>
AcDbObjectId addRecord(AcDbDatabase& db, AcDbObjectId tableId, const wchar_t* name,
                       Acad::ErrorStatus expected = Acad::eOk) {
    AcDbObjectPointer<AcDbSymbolTable> table(tableId, AcDb::kForWrite);
    auto* rec = new R;
    rec->setName(name);
    AcDbObjectId id;
    Acad::ErrorStatus es = table->add(id, rec);
    EXPECT_EQ(es, expected) << name;
    if (es == Acad::eOk)
        rec->close();
    else
        delete rec;
    return id;
}

TEST(Tables, NamesCompareWithoutRegardToCase) {
    AcDbDatabase db;
    AcDbObjectId id = addRecord<AcDbLayerTableRecord>(db, db.layerTableId(), L"Gaikei");
    addRecord<AcDbLayerTableRecord>(db, db.layerTableId(), L"GAIKEI", Acad::eDuplicateRecordName);
    addRecord<AcDbTextStyleTableRecord>(db, db.layerTableId(), L"Style", Acad::eNotThatKindOfClass);
    const wchar_t* spellings[] = {L"gaikei", L"GAIKEI", L"GaIkEi"};
    AcDbObjectPointer<AcDbLayerTable> table(db.layerTableId(), AcDb::kForRead);
    for (const wchar_t* s : spellings) {
        AcDbObjectId found;
        EXPECT_EQ(table->getAt(s, found), Acad::eOk) << s;
        EXPECT_EQ(found, id);
        EXPECT_TRUE(table->has(s));
    }
    AcDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(table->getAt(L"gaikei", rec, AcDb::kForRead), Acad::eOk);
    EXPECT_STREQ(rec->getName(), L"Gaikei");
    rec->close();
}

TEST(Tables, BadNamesAreRefused) {
    AcDbDatabase db;
    const wchar_t* bad[] = {L"",    L"a<b", L"a>b", L"a/b", L"a\\b", L"a\"b", L"a:b",
                            L"a;b", L"a?b", L"a*b", L"a|b", L"a,b",  L"a=b",  L"a`b"};
    auto* rec = new AcDbLayerTableRecord;
    for (const wchar_t* name : bad)
        EXPECT_EQ(rec->setName(name), Acad::eInvalidSymbolTableName);
    EXPECT_EQ(rec->setName(L"中心線 1-2_$"), Acad::eOk);
    delete rec;
}

TEST(Tables, RenameToATakenNameIsRefused) {
    AcDbDatabase db;
    AcDbObjectId a = addRecord<AcDbLayerTableRecord>(db, db.layerTableId(), L"A");
    addRecord<AcDbLayerTableRecord>(db, db.layerTableId(), L"B");
    AcDbObjectPointer<AcDbLayerTableRecord> rec(a, AcDb::kForWrite);
    EXPECT_EQ(rec->setName(L"b"), Acad::eDuplicateRecordName);
    EXPECT_EQ(rec->setName(L"a"), Acad::eOk) << "its own name in another case";
    EXPECT_EQ(rec->setName(L"C"), Acad::eOk);
}

TEST(Tables, IteratorsSkipErasedRecordsWhenAsked) {
    AcDbDatabase db;
    AcDbObjectId ids[3];
    const wchar_t* names[] = {L"L1", L"L2", L"L3"};
    for (int i = 0; i < 3; ++i)
        ids[i] = addRecord<AcDbLayerTableRecord>(db, db.layerTableId(), names[i]);
    {
        AcDbObjectPointer<AcDbLayerTableRecord> rec(ids[1], AcDb::kForWrite);
        ASSERT_EQ(rec->erase(), Acad::eOk);
    }
    auto collect = [&](bool skipDeleted, bool forward) {
        AcDbLayerTableIterator* it = nullptr;
        AcDbObjectPointer<AcDbLayerTable> table(db.layerTableId(), AcDb::kForRead);
        table->newIterator(it, forward, skipDeleted);
        std::vector<std::wstring> out;
        for (; !it->done(); it->step(forward, skipDeleted)) {
            AcDbLayerTableRecord* rec = nullptr;
            EXPECT_EQ(it->getRecord(rec, AcDb::kForRead, true), Acad::eOk);
            out.push_back(rec->getName());
            rec->close();
        }
        delete it;
        return out;
    };
    EXPECT_EQ(collect(true, true), (std::vector<std::wstring>{L"0", L"L1", L"L3"}));
    EXPECT_EQ(collect(false, true), (std::vector<std::wstring>{L"0", L"L1", L"L2", L"L3"}));
    EXPECT_EQ(collect(true, false), (std::vector<std::wstring>{L"L3", L"L1", L"0"}));
    AcDbObjectPointer<AcDbLayerTable> table(db.layerTableId(), AcDb::kForRead);
    AcDbObjectId found;
    EXPECT_EQ(table->getAt(L"L2", found), Acad::eKeyNotFound);
    EXPECT_EQ(table->getAt(L"L2", found, true), Acad::eOk);
    table.close();
    // An erased name may be used again.
    addRecord<AcDbLayerTableRecord>(db, db.layerTableId(), L"l2");
}

TEST(Tables, LayerFlagsAndColour) {
    AcDbLayerTableRecord layer;
    EXPECT_EQ(layer.setColorIndex(3), Acad::eOk);
    EXPECT_EQ(layer.setIsOff(true), Acad::eOk);
    EXPECT_TRUE(layer.isOff());
    EXPECT_EQ(layer.colorIndex(), 3);
    EXPECT_EQ(layer.setColorIndex(5), Acad::eOk);
    EXPECT_TRUE(layer.isOff()) << "a new colour keeps the layer off";
    EXPECT_EQ(layer.setIsFrozen(true), Acad::eOk);
    EXPECT_EQ(layer.setIsLocked(true), Acad::eOk);
    EXPECT_EQ(layer.flags(), 5);
    EXPECT_EQ(layer.setIsFrozen(false), Acad::eOk);
    EXPECT_EQ(layer.flags(), 4);
    EXPECT_EQ(layer.setColorIndex(0), Acad::eOutOfRange);
    EXPECT_EQ(layer.setColorIndex(256), Acad::eOutOfRange);
}

TEST(Dictionaries, SetGetRemoveAndIterate) {
    AcDbDatabase db;
    AcDbObjectPointer<AcDbDictionary> nod(db.namedObjectsDictionaryId(), AcDb::kForWrite);
    auto* mine = new AcDbDictionary;
    AcDbObjectId dictId;
    ASSERT_EQ(nod->setAt(L"ZEL_SETTINGS", mine, dictId), Acad::eOk);
    EXPECT_EQ(mine->ownerId(), db.namedObjectsDictionaryId());
    auto* x1 = new AcDbXrecord;
    auto* x2 = new AcDbXrecord;
    AcDbObjectId id1, id2;
    ASSERT_EQ(mine->setAt(L"First", x1, id1), Acad::eOk);
    ASSERT_EQ(mine->setAt(L"Second", x2, id2), Acad::eOk);
    x1->close();
    x2->close();
    AcDbObjectId found;
    EXPECT_EQ(mine->getAt(L"FIRST", found), Acad::eOk);
    EXPECT_EQ(found, id1);
    std::wstring name;
    EXPECT_EQ(mine->nameAt(id2, name), Acad::eOk);
    EXPECT_EQ(name, L"Second");
    // Replacing an entry erases the object it held.
    auto* x3 = new AcDbXrecord;
    AcDbObjectId id3;
    ASSERT_EQ(mine->setAt(L"first", x3, id3), Acad::eOk);
    x3->close();
    EXPECT_TRUE(id1.isErased());
    EXPECT_EQ(mine->numEntries(), 2u);
    std::vector<std::wstring> names;
    std::unique_ptr<AcDbDictionaryIterator> it(mine->newIterator());
    for (; !it->done(); it->next())
        names.push_back(it->name());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"First", L"Second"}));
    EXPECT_EQ(mine->remove(L"second"), Acad::eOk);
    EXPECT_FALSE(mine->has(L"Second"));
    EXPECT_EQ(mine->remove(L"second"), Acad::eKeyNotFound);
    EXPECT_EQ(mine->setName(L"First", L"Renamed"), Acad::eOk);
    EXPECT_TRUE(mine->has(L"renamed"));
    mine->close();
}

TEST(Dictionaries, XrecordDataRoundTripsThroughResbufs) {
    AcDbDatabase db;
    AcDbXrecord x;
    RbPtr data = [] {
        RbBuilder b;
        b.addString(1, L"文字").addReal(40, 2.5).addShort(70, 3).addPoint(10, 1, 2, 3);
        b.addShort(280, 9).addLong(90, 123456);
        return b.take();
    }();
    ASSERT_EQ(x.setFromRbChain(data.get()), Acad::eOk);
    resbuf* back = nullptr;
    ASSERT_EQ(x.rbChain(&back), Acad::eOk);
    RbPtr owned(back);
    EXPECT_TRUE(zel::core::rbEqual(owned.get(), data.get()));
    // Groups written and read again keep the cloning flag apart from a 280 of the data.
    std::vector<ZelGroupValue> groups;
    zel::db::writeGroups(
        x, [&](const ZelGroupValue& v) { groups.push_back(v); }, true);
    AcDbXrecord y;
    zel::db::GroupReader reader(y);
    for (const ZelGroupValue& v : groups)
        reader.take(v);
    reader.finish();
    EXPECT_EQ(y.data(), x.data());
    EXPECT_EQ(y.mergeStyle(), x.mergeStyle());
}

TEST(Groups, MembersByIdAndSelectability) {
    AcDbDatabase db;
    AcDbObjectId lines[2];
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForWrite);
        for (auto& id : lines) {
            auto* l = new AcDbLine({0, 0, 0}, {1, 0, 0});
            ms->appendAcDbEntity(id, l);
            l->close();
        }
    }
    AcDbObjectPointer<AcDbDictionary> groups(db.groupDictionaryId(), AcDb::kForWrite);
    auto* g = new AcDbGroup(L"frame");
    AcDbObjectId gid;
    ASSERT_EQ(groups->setAt(L"FRAME", g, gid), Acad::eOk);
    EXPECT_EQ(g->append(lines[0]), Acad::eOk);
    EXPECT_EQ(g->append(lines[1]), Acad::eOk);
    EXPECT_EQ(g->append(lines[1]), Acad::eDuplicateKey);
    EXPECT_EQ(g->append(db.layerZero()), Acad::eInvalidInput);
    EXPECT_TRUE(g->has(lines[1]));
    EXPECT_EQ(g->remove(lines[0]), Acad::eOk);
    AcDbObjectIdArray ids;
    EXPECT_EQ(g->allEntityIds(ids), 1u);
    EXPECT_EQ(ids[0], lines[1]);
    EXPECT_TRUE(g->isSelectable());
    g->setSelectable(false);
    EXPECT_FALSE(g->isSelectable());
    g->close();
}

TEST(XData, SeveralApplicationsSetReplacedAndRemoved) {
    AcDbDatabase db;
    zel::db::setWorkingDatabase(&db);
    ASSERT_EQ(acdbRegApp(L"APP_A"), RTNORM);
    ASSERT_EQ(acdbRegApp(L"APP_B"), RTNORM);
    AcDbObjectId id;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForWrite);
        auto* l = new AcDbLine({0, 0, 0}, {1, 0, 0});
        ms->appendAcDbEntity(id, l);
        l->close();
    }
    AcDbObjectPointer<AcDbLine> line(id, AcDb::kForWrite);
    auto list = [](std::function<void(RbBuilder&)> f) {
        RbBuilder b;
        f(b);
        return b.take();
    };
    struct Step {
        const char* what;
        RbPtr given;
        Acad::ErrorStatus expected;
        std::vector<std::wstring> appsAfter;
    };
    Step steps[] = {
        {"two apps",
         list([](RbBuilder& b) {
             b.addString(1001, L"APP_A").addString(1000, L"a1").addString(1001, L"APP_B");
             b.addShort(1070, 2).addString(1002, L"{").addReal(1041, 1.5).addString(1002, L"}");
         }),
         Acad::eOk,
         {L"APP_A", L"APP_B"}},
        {"replace A only",
         list([](RbBuilder& b) { b.addString(1001, L"app_a").addString(1000, L"a2"); }),
         Acad::eOk,
         {L"APP_A", L"APP_B"}},
        {"unregistered",
         list([](RbBuilder& b) { b.addString(1001, L"APP_X").addShort(1070, 1); }),
         Acad::eRegappIdNotFound,
         {L"APP_A", L"APP_B"}},
        {"values before an app",
         list([](RbBuilder& b) { b.addShort(1070, 1); }),
         Acad::eInvalidInput,
         {L"APP_A", L"APP_B"}},
        {"unbalanced braces",
         list([](RbBuilder& b) { b.addString(1001, L"APP_A").addString(1002, L"{"); }),
         Acad::eInvalidInput,
         {L"APP_A", L"APP_B"}},
        {"not an xdata code",
         list([](RbBuilder& b) { b.addString(1001, L"APP_A").addReal(40, 1); }),
         Acad::eInvalidInput,
         {L"APP_A", L"APP_B"}},
        {"remove B",
         list([](RbBuilder& b) { b.addString(1001, L"APP_B"); }),
         Acad::eOk,
         {L"APP_A"}},
    };
    for (Step& s : steps) {
        SCOPED_TRACE(s.what);
        EXPECT_EQ(line->setXData(s.given.get()), s.expected);
        std::vector<std::wstring> apps;
        for (const AcDbXDataGroup& g : line->xDataGroups())
            apps.push_back(zel::core::toUpper(g.appName));
        EXPECT_EQ(apps, s.appsAfter);
    }
    RbPtr a(line->xData(L"APP_A"));
    ASSERT_TRUE(a);
    EXPECT_STREQ(a->resval.rstring, L"APP_A") << "the name as first set";
    EXPECT_STREQ(a->rbnext->resval.rstring, L"a2");
    EXPECT_EQ(line->xData(L"APP_B"), nullptr);
    zel::db::setWorkingDatabase(nullptr);
}

TEST(XData, SizeLimit) {
    AcDbDatabase db;
    zel::db::setWorkingDatabase(&db);
    acdbRegApp(L"BIG");
    AcDbLine line;
    RbBuilder b;
    b.addString(1001, L"BIG");
    for (int i = 0; i < 80; ++i)
        b.addString(1000, std::wstring(250, L'x'));
    RbPtr big = b.take();
    EXPECT_EQ(line.setXData(big.get()), Acad::eXdataSizeExceeded);
    EXPECT_TRUE(line.xDataGroups().empty());
    zel::db::setWorkingDatabase(nullptr);
}

TEST(Header, TypedVariablesKeepTheirPlaceAndRanges) {
    AcDbDatabase db;
    const auto& header = db.impl().header();
    long place = header.indexOf(L"$LUPREC");
    ASSERT_GE(place, 0);
    EXPECT_EQ(db.setLuprec(2), Acad::eOk);
    EXPECT_EQ(db.luprec(), 2);
    EXPECT_EQ(header.indexOf(L"$luprec"), place);
    EXPECT_EQ(db.setLuprec(9), Acad::eOutOfRange);
    EXPECT_EQ(db.setLunits(0), Acad::eOutOfRange);
    EXPECT_EQ(db.setFilletrad(-1), Acad::eOutOfRange);
    EXPECT_EQ(db.setFilletrad(2.5), Acad::eOk);
    EXPECT_EQ(db.filletrad(), 2.5);
    EXPECT_EQ(db.setClayer(db.continuousLinetype()), Acad::eInvalidInput) << "not a layer";
    EXPECT_EQ(db.setMirrtext(true), Acad::eOk);
    EXPECT_TRUE(db.mirrtext());
    EXPECT_EQ(db.dwgCodePage(), 932);
    // Undo of a header change puts the old value back in its place; a new variable goes.
    auto& journal = db.impl().journal();
    journal.beginStep(L"header");
    db.setLuprec(6);
    ZelGroupValue fresh;
    fresh.code = 70;
    db.impl().setHeader(L"$ZELNEW", {fresh});
    db.impl().eraseHeader(L"$LUNITS");
    journal.endStep();
    ASSERT_EQ(journal.undoStep(), Acad::eOk);
    EXPECT_EQ(db.luprec(), 2);
    EXPECT_EQ(header.indexOf(L"$ZELNEW"), -1);
    EXPECT_GE(header.indexOf(L"$LUNITS"), 0);
    EXPECT_EQ(header.indexOf(L"$LUPREC"), place);
}

} // namespace
