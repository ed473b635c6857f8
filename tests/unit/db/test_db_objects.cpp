// Object model: open/close rules, handles, ids, erase, the new drawing's contents.
#include "arx/db.h"
#include "db/database_impl.h"

#include <gtest/gtest.h>

#include <set>

namespace {

AcDbObjectId addLine(AcDbDatabase& db, AcGePoint3d a = {0, 0, 0}, AcGePoint3d b = {10, 0, 0}) {
    AcDbBlockTableRecord* ms = nullptr;
    EXPECT_EQ(acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    EXPECT_EQ(ms->appendAcDbEntity(id, new AcDbLine(a, b)), Acad::eOk);
    ms->close();
    AcDbObject* line = nullptr;
    // The appended entity is still open for write: close it through the id's object.
    EXPECT_EQ(acdbOpenAcDbObject(line, id, AcDb::kForRead), Acad::eWasOpenForWrite);
    id.slot()->object->close();
    return id;
}

TEST(DbOpen, RulesOfOpeningAndClosing) {
    AcDbDatabase db;
    AcDbObjectId id = addLine(db);
    struct Step {
        const char* what;
        AcDb::OpenMode mode; // kForNotify: close instead of open
        Acad::ErrorStatus expected;
    };
    const AcDb::OpenMode kClose = AcDb::kForNotify;
    const Step steps[] = {
        {"first read", AcDb::kForRead, Acad::eOk},
        {"reads stack", AcDb::kForRead, Acad::eOk},
        {"write while read", AcDb::kForWrite, Acad::eWasOpenForRead},
        {"close one read", kClose, Acad::eOk},
        {"close other read", kClose, Acad::eOk},
        {"close too often", kClose, Acad::eInvalidOpenState},
        {"write", AcDb::kForWrite, Acad::eOk},
        {"second write", AcDb::kForWrite, Acad::eWasOpenForWrite},
        {"read while write", AcDb::kForRead, Acad::eWasOpenForWrite},
        {"close write", kClose, Acad::eOk},
        {"close after write", kClose, Acad::eInvalidOpenState},
    };
    AcDbObject* object = id.slot()->object.get();
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.mode == kClose) {
            EXPECT_EQ(object->close(), s.expected);
            continue;
        }
        AcDbObject* opened = nullptr;
        EXPECT_EQ(acdbOpenAcDbObject(opened, id, s.mode), s.expected);
        EXPECT_EQ(opened != nullptr, s.expected == Acad::eOk);
    }
    EXPECT_EQ(zel::db::openObjectCount(db), 0);
}

TEST(DbOpen, UpgradeAndDowngrade) {
    AcDbDatabase db;
    AcDbObjectId id = addLine(db);
    AcDbLine* line = nullptr;
    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForRead), Acad::eOk);
    EXPECT_FALSE(line->isWriteEnabled());
    EXPECT_EQ(line->setStartPoint({1, 1, 0}), Acad::eNotOpenForWrite);
    AcDbLine* again = nullptr;
    ASSERT_EQ(acdbOpenObject(again, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(line->upgradeOpen(), Acad::eHadMultipleReaders);
    again->close();
    ASSERT_EQ(line->upgradeOpen(), Acad::eOk);
    EXPECT_EQ(line->setStartPoint({1, 1, 0}), Acad::eOk);
    EXPECT_EQ(line->downgradeOpen(), Acad::eOk);
    EXPECT_EQ(line->setStartPoint({2, 2, 0}), Acad::eNotOpenForWrite);
    EXPECT_EQ(line->startPoint(), AcGePoint3d(1, 1, 0));
    line->close();
    EXPECT_EQ(zel::db::openObjectCount(db), 0);
}

TEST(DbOpen, WrongClassAndNullIds) {
    AcDbDatabase db;
    AcDbObjectId id = addLine(db);
    AcDbCircle* circle = nullptr;
    EXPECT_EQ(acdbOpenObject(circle, id, AcDb::kForRead), Acad::eNotThatKindOfClass);
    EXPECT_EQ(circle, nullptr);
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(object, AcDbObjectId(), AcDb::kForRead), Acad::eNullObjectId);
    EXPECT_EQ(zel::db::openObjectCount(db), 0);
}

TEST(DbOpen, ErasedObjectsOpenOnlyWhenAsked) {
    AcDbDatabase db;
    AcDbObjectId id = addLine(db);
    {
        AcDbObjectPointer<AcDbLine> line(id, AcDb::kForWrite);
        ASSERT_EQ(line.openStatus(), Acad::eOk);
        EXPECT_EQ(line->erase(), Acad::eOk);
        EXPECT_EQ(line->erase(), Acad::eWasErased);
    }
    EXPECT_TRUE(id.isErased());
    AcDbLine* line = nullptr;
    EXPECT_EQ(acdbOpenObject(line, id, AcDb::kForRead), Acad::eWasErased);
    ASSERT_EQ(acdbOpenObject(line, id, AcDb::kForWrite, true), Acad::eOk);
    EXPECT_EQ(line->erase(false), Acad::eOk);
    EXPECT_EQ(line->erase(false), Acad::eWasNotErased);
    line->close();
    EXPECT_FALSE(id.isErased());
}

TEST(DbOpen, LockedLayerRefusesWrite) {
    AcDbDatabase db;
    AcDbObjectId id = addLine(db);
    {
        AcDbObjectPointer<AcDbLayerTableRecord> layer(db.layerZero(), AcDb::kForWrite);
        ASSERT_EQ(layer->setIsLocked(true), Acad::eOk);
    }
    AcDbEntity* ent = nullptr;
    EXPECT_EQ(acdbOpenAcDbEntity(ent, id, AcDb::kForWrite), Acad::eOnLockedLayer);
    ASSERT_EQ(acdbOpenAcDbEntity(ent, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(ent->upgradeOpen(), Acad::eOnLockedLayer);
    ent->close();
}

TEST(DbOpen, PermanentObjectsCannotBeErased) {
    AcDbDatabase db;
    const AcDbObjectId ids[] = {db.layerZero(), db.modelSpaceId(), db.layerTableId(),
                                db.continuousLinetype(), db.namedObjectsDictionaryId()};
    for (AcDbObjectId id : ids) {
        AcDbObjectPointer<AcDbObject> object(id, AcDb::kForWrite);
        ASSERT_EQ(object.openStatus(), Acad::eOk);
        EXPECT_EQ(object->erase(), Acad::eCannotBeErasedByCaller);
    }
}

TEST(DbOpen, LeakCheckReportsObjectsLeftOpen) {
    static std::wstring reported;
    zel::db::setOpenObjectLeakHandler([](const std::wstring& r) { reported = r; });
    {
        AcDbDatabase db;
        AcDbObjectId id = addLine(db);
        AcDbObject* object = nullptr;
        ASSERT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(zel::db::openObjectCount(db), 1);
    }
    zel::db::setOpenObjectLeakHandler(nullptr);
    EXPECT_NE(reported.find(L"LINE"), std::wstring::npos) << "report: " << reported.size();
    EXPECT_NE(reported.find(L"open for read"), std::wstring::npos);
}

TEST(DbHandles, FreshHandlesAreUniqueAndFoundAgain) {
    AcDbDatabase db;
    std::vector<AcDbObjectId> ids;
    for (int i = 0; i < 50; ++i)
        ids.push_back(addLine(db, {double(i), 0, 0}));
    std::set<uint64_t> seen;
    for (AcDbObjectId id : ids) {
        EXPECT_TRUE(seen.insert(id.handle().value()).second);
        AcDbObjectId found;
        EXPECT_EQ(db.getAcDbObjectId(found, false, id.handle()), Acad::eOk);
        EXPECT_EQ(found, id);
        EXPECT_LT(id.handle().value(), db.handseed().value());
    }
    AcDbObjectId none;
    EXPECT_EQ(db.getAcDbObjectId(none, false, db.handseed()), Acad::eKeyNotFound);
}

TEST(DbHandles, WantedHandlesAreKeptAndDuplicatesReassigned) {
    AcDbDatabase db(false);
    auto& impl = db.impl();
    auto* a = impl.add(std::make_unique<AcDbLine>(), AcDbHandle(0x500));
    auto* b = impl.add(std::make_unique<AcDbLine>(), AcDbHandle(0x500));
    auto* c = impl.add(std::make_unique<AcDbLine>(), AcDbHandle(0x20));
    for (auto* s : {a, b, c})
        s->object->close();
    EXPECT_EQ(a->handle.value(), 0x500u);
    EXPECT_NE(b->handle.value(), 0x500u);
    EXPECT_EQ(c->handle.value(), 0x20u);
    EXPECT_GT(db.handseed().value(), 0x500u);
    ASSERT_EQ(impl.handleWarnings().size(), 1u);
    EXPECT_EQ(impl.handleWarnings()[0].wanted.value(), 0x500u);
    EXPECT_EQ(impl.handleWarnings()[0].given, b->handle);
    EXPECT_EQ(impl.handleWarnings()[0].dxfName, "LINE");
}

TEST(DbHandles, HexText) {
    const std::pair<const wchar_t*, uint64_t> cases[] = {
        {L"0", 0},     {L"1F", 0x1F},
        {L"1f", 0x1F}, {L"FFFFFFFFFFFFFFFF", ~0ull},
        {L"G1", 0},    {L"10000000000000000", 0},
        {L"", 0}};
    for (auto [text, value] : cases) {
        AcDbHandle h(text);
        EXPECT_EQ(h.value(), value) << text;
        if (value) {
            EXPECT_EQ(AcDbHandle(h.text().c_str()), h);
        }
    }
    ACHAR buf[4];
    AcDbHandle(0x12345).getIntoAsciiBuffer(buf, 4);
    EXPECT_STREQ(buf, L"123");
}

TEST(DbNewDrawing, StandardTablesAndRecords) {
    AcDbDatabase db;
    struct Expect {
        AcDbObjectId table;
        const wchar_t* name;
    };
    const Expect records[] = {{db.layerTableId(), L"0"},
                              {db.linetypeTableId(), L"BYLAYER"},
                              {db.linetypeTableId(), L"byblock"},
                              {db.linetypeTableId(), L"Continuous"},
                              {db.textStyleTableId(), L"STANDARD"},
                              {db.dimStyleTableId(), L"Standard"},
                              {db.regAppTableId(), L"acad"},
                              {db.viewportTableId(), L"*ACTIVE"},
                              {db.blockTableId(), L"*model_space"},
                              {db.blockTableId(), L"*Paper_Space"}};
    for (const Expect& e : records) {
        AcDbObjectPointer<AcDbSymbolTable> table(e.table, AcDb::kForRead);
        ASSERT_TRUE(table) << "table of " << e.name;
        AcDbObjectId id;
        EXPECT_EQ(table->getAt(e.name, id), Acad::eOk) << e.name;
        EXPECT_EQ(zel::db::peek(id)->ownerId(), e.table) << e.name;
    }
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForRead);
        EXPECT_FALSE(ms->blockBeginId().isNull());
        EXPECT_FALSE(ms->blockEndId().isNull());
        EXPECT_EQ(zel::db::peek(ms->blockBeginId())->ownerId(), db.modelSpaceId());
    }
    EXPECT_FALSE(db.groupDictionaryId().isNull());
    EXPECT_EQ(db.clayer(), db.layerZero());
    EXPECT_EQ(db.celtype(), db.byLayerLinetype());
    EXPECT_EQ(std::wstring(db.acadver()), L"AC1027");
    EXPECT_EQ(zel::db::openObjectCount(db), 0);
}

TEST(DbEntity, AppendGivesDatabaseDefaultsToPropertiesNotSet) {
    AcDbDatabase db;
    AcDbObjectId layerId;
    {
        AcDbObjectPointer<AcDbLayerTable> layers(db.layerTableId(), AcDb::kForWrite);
        auto* rec = new AcDbLayerTableRecord;
        ASSERT_EQ(rec->setName(L"Kakou"), Acad::eOk);
        ASSERT_EQ(layers->add(layerId, rec), Acad::eOk);
        rec->close();
    }
    ASSERT_EQ(db.setClayer(layerId), Acad::eOk);
    ASSERT_EQ(db.setCecolor(AcCmColor(3)), Acad::eOk);
    auto* shown = new AcDbLine({0, 0, 0}, {1, 0, 0});
    ASSERT_EQ(shown->setColorIndex(5), Acad::eOk);
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForWrite);
    AcDbObjectId id;
    ASSERT_EQ(ms->appendAcDbEntity(id, shown), Acad::eOk);
    EXPECT_STREQ(shown->layer(), L"Kakou");
    EXPECT_EQ(shown->colorIndex(), 5);
    EXPECT_EQ(shown->layerId(), layerId);
    EXPECT_EQ(shown->ownerId(), db.modelSpaceId());
    EXPECT_EQ(shown->setLayer(L"nothere"), Acad::eKeyNotFound);
    EXPECT_EQ(shown->setLayer(L"kakou"), Acad::eOk);
    EXPECT_STREQ(shown->layer(), L"Kakou") << "the table's spelling is kept";
    EXPECT_EQ(shown->setColorIndex(257), Acad::eOutOfRange);
    EXPECT_EQ(shown->setLinetype(L"dashed"), Acad::eUndefinedLineType);
    shown->close();
    EXPECT_EQ(ms->entityIds().back(), id);
}

} // namespace
