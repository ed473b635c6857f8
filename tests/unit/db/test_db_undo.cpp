// The undo journal: seeded random edits in steps, then every step undone, give back exactly
// the drawing we started from (ids, handles, data, xdata, draw order, erased flags).
#include "arx/db.h"
#include "core/resbuf.h"
#include "db/database_impl.h"
#include "db/debugdump.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using zel::core::RbBuilder;

class RandomEditor {
public:
    RandomEditor(AcDbDatabase& db, unsigned seed) : mDb(db), mRng(seed) {}

    void edit() {
        switch (pick(11)) {
        case 0:
        case 1:
            addEntity();
            break;
        case 2:
        case 3:
            modifyGeometry();
            break;
        case 4:
            eraseOrUnerase();
            break;
        case 5:
            setXData();
            break;
        case 6:
            transform();
            break;
        case 7:
            changeProperties();
            break;
        case 8:
            headerOrTables();
            break;
        case 9:
            entMod();
            break;
        case 10:
            reorder();
            break;
        }
        ASSERT_EQ(zel::db::openObjectCount(mDb), 0);
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(mRng); }
    double real(double lo = -100, double hi = 100) {
        return std::uniform_real_distribution<double>(lo, hi)(mRng);
    }
    AcGePoint3d point() { return {real(), real(), 0}; }

    std::vector<AcDbObjectId> entities() {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(mDb.modelSpaceId(), AcDb::kForRead);
        return ms->entityIds();
    }

    AcDbObjectId anyEntity() {
        std::vector<AcDbObjectId> ids = entities();
        return ids.empty() ? AcDbObjectId() : ids[size_t(pick(int(ids.size())))];
    }

    void addEntity() {
        AcDbEntity* e = nullptr;
        switch (pick(5)) {
        case 0:
            e = new AcDbLine(point(), point());
            break;
        case 1:
            e = new AcDbCircle(point(), AcGeVector3d::kZAxis, real(1, 50));
            break;
        case 2:
            e = new AcDbArc(point(), real(1, 50), real(0, 6), real(0, 6));
            break;
        case 3:
            e = new AcDbEllipse(point(), AcGeVector3d::kZAxis, AcGeVector3d(real(1, 30), real(), 0),
                                real(0.1, 1), real(0, 6), real(0, 6));
            break;
        case 4:
            e = new AcDbPoint(point());
            break;
        }
        AcDbObjectPointer<AcDbBlockTableRecord> ms(mDb.modelSpaceId(), AcDb::kForWrite);
        ASSERT_EQ(ms->appendAcDbEntity(e), Acad::eOk);
        e->close();
    }

    void modifyGeometry() {
        AcDbObjectPointer<AcDbEntity> e(anyEntity(), AcDb::kForWrite, true);
        if (!e) return;
        if (auto* line = AcDbLine::cast(e.object())) line->setEndPoint(point());
        if (auto* arc = AcDbArc::cast(e.object()))
            arc->setEndAngle(real(0, 6));
        else if (auto* circle = AcDbCircle::cast(e.object()))
            circle->setRadius(real(1, 9));
        if (auto* el = AcDbEllipse::cast(e.object())) el->setRadiusRatio(real(0.1, 1));
        if (auto* pt = AcDbPoint::cast(e.object())) pt->setPosition(point());
    }

    void eraseOrUnerase() {
        AcDbObjectPointer<AcDbEntity> e(anyEntity(), AcDb::kForWrite, true);
        if (e) e->erase(!e->isErased());
    }

    void setXData() {
        const wchar_t* apps[] = {L"ZEL_ONE", L"ZEL_TWO", L"ZEL_THREE"};
        const wchar_t* app = apps[pick(3)];
        acdbRegApp(app); // a step may register it; undo takes it out again
        AcDbObjectPointer<AcDbEntity> e(anyEntity(), AcDb::kForWrite, true);
        if (!e) return;
        RbBuilder b;
        b.addString(1001, app);
        if (pick(3) != 0)
            b.addString(1000, L"v" + std::to_wstring(pick(100))).addReal(1040, real());
        zel::core::RbPtr list = b.take();
        ASSERT_EQ(e->setXData(list.get()), Acad::eOk);
    }

    void transform() {
        AcGeMatrix3d m;
        switch (pick(4)) {
        case 0:
            m = AcGeMatrix3d::translation({real(), real(), 0});
            break;
        case 1:
            m = AcGeMatrix3d::rotation(real(0, 6), AcGeVector3d::kZAxis, point());
            break;
        case 2:
            m = AcGeMatrix3d::mirroring(point(), point());
            break;
        case 3:
            m = AcGeMatrix3d::scaling(real(0.5, 2), point());
            break;
        }
        AcDbObjectPointer<AcDbEntity> e(anyEntity(), AcDb::kForWrite, true);
        if (e) e->transformBy(m);
    }

    void changeProperties() {
        AcDbObjectPointer<AcDbEntity> e(anyEntity(), AcDb::kForWrite, true);
        if (!e) return;
        e->setColorIndex(int16_t(pick(257)));
        if (pick(2)) e->setLayer(pick(2) ? L"0" : L"ZEL_EXTRA");
        e->setLinetypeScale(real(0.5, 3));
    }

    void headerOrTables() {
        switch (pick(3)) {
        case 0:
            mDb.setFilletrad(real(0, 20));
            break;
        case 1:
            mDb.setLuprec(int16_t(pick(9)));
            break;
        case 2: {
            AcDbObjectPointer<AcDbLayerTable> layers(mDb.layerTableId(), AcDb::kForWrite);
            if (layers->has(L"ZEL_EXTRA")) return;
            auto* rec = new AcDbLayerTableRecord;
            rec->setName(L"ZEL_EXTRA");
            rec->setColorIndex(int16_t(1 + pick(255)));
            ASSERT_EQ(layers->add(rec), Acad::eOk);
            rec->close();
            break;
        }
        }
    }

    void entMod() {
        AcDbObjectId id = anyEntity();
        if (id.isNull() || id.isErased()) return;
        ads_name name;
        acdbGetAdsName(name, id);
        zel::core::RbPtr list(acdbEntGet(name));
        for (resbuf* rb = list.get(); rb; rb = rb->rbnext) {
            if (rb->restype == 62) rb->resval.rint = int16_t(1 + pick(255));
            if (rb->restype == 10) rb->resval.rpoint[0] += real(-5, 5);
        }
        acdbEntMod(list.get());
    }

    void reorder() {
        std::vector<AcDbObjectId> ids = entities();
        std::shuffle(ids.begin(), ids.end(), mRng);
        AcDbObjectPointer<AcDbBlockTableRecord> ms(mDb.modelSpaceId(), AcDb::kForWrite);
        ASSERT_EQ(ms->setDrawOrder(ids), Acad::eOk);
    }

    AcDbDatabase& mDb;
    std::mt19937 mRng;
};

// The first line where two dumps differ (the whole dumps are too long to read).
std::string firstDifference(const std::string& got, const std::string& expected) {
    size_t i = 0;
    while (i < got.size() && i < expected.size() && got[i] == expected[i])
        ++i;
    size_t from = got.rfind('\n', i);
    from = from == std::string::npos ? 0 : from + 1;
    auto lineAt = [&](const std::string& s) { return s.substr(from, s.find('\n', from) - from); };
    return "got:      " + lineAt(got) + "\nexpected: " + lineAt(expected);
}

class UndoRandom : public testing::TestWithParam<unsigned> {};

TEST_P(UndoRandom, UndoingEveryStepRestoresTheDrawingExactly) {
    AcDbDatabase db;
    zel::db::setWorkingDatabase(&db);
    auto& journal = db.impl().journal();
    RandomEditor editor(db, GetParam());
    // Some content before the first step, which the undos must not touch.
    for (int i = 0; i < 10; ++i)
        editor.edit();
    std::vector<std::string> before;
    std::mt19937 sizes(GetParam() * 7 + 1);
    int edits = 0;
    while (edits < 1000) {
        before.push_back(zel::db::debugDump(db));
        journal.beginStep(L"step " + std::to_wstring(before.size()));
        int n = 1 + int(sizes() % 40);
        for (int i = 0; i < n && edits < 1000; ++i, ++edits) {
            editor.edit();
            if (HasFatalFailure()) return;
        }
        journal.endStep();
    }
    // The last steps one by one, then the rest at once.
    for (size_t undone = 0; !before.empty(); ++undone) {
        ASSERT_EQ(journal.undoStep(), Acad::eOk);
        std::string expected = std::move(before.back());
        before.pop_back();
        if (undone < 3 || before.empty()) {
            std::string got = zel::db::debugDump(db);
            ASSERT_TRUE(got == expected) << "after undoing " << undone + 1 << "\n"
                                         << firstDifference(got, expected);
        }
    }
    EXPECT_EQ(journal.undoStep(), Acad::eNotApplicable);
    zel::db::setWorkingDatabase(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoRandom, testing::Range(1u, 51u));

TEST(Undo, RefusedWhileObjectsAreOpen) {
    AcDbDatabase db;
    auto& journal = db.impl().journal();
    journal.beginStep(L"add");
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForWrite);
    auto* line = new AcDbLine({0, 0, 0}, {1, 1, 0});
    ASSERT_EQ(ms->appendAcDbEntity(line), Acad::eOk);
    line->close();
    journal.endStep();
    EXPECT_EQ(journal.undoStep(), Acad::eWasOpenForWrite);
    ms.close();
    EXPECT_EQ(journal.undoStep(), Acad::eOk);
    AcDbObjectPointer<AcDbBlockTableRecord> again(db.modelSpaceId(), AcDb::kForRead);
    EXPECT_TRUE(again->entityIds().empty());
}

TEST(Undo, AnUndoneAdditionLeavesADeadIdAndTheHandleIsGivenAgain) {
    AcDbDatabase db;
    auto& journal = db.impl().journal();
    AcDbHandle seed = db.handseed();
    journal.beginStep(L"add");
    AcDbObjectId id;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForWrite);
        auto* line = new AcDbLine({0, 0, 0}, {1, 1, 0});
        ASSERT_EQ(ms->appendAcDbEntity(id, line), Acad::eOk);
        line->close();
    }
    journal.endStep();
    AcDbHandle given = id.handle();
    ASSERT_EQ(journal.undoStep(), Acad::eOk);
    EXPECT_TRUE(id.isErased());
    EXPECT_TRUE(id.handle().isNull());
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead), Acad::eWasErased);
    EXPECT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead, true), Acad::eNotInDatabase);
    EXPECT_EQ(db.handseed(), seed);
    AcDbObjectId found;
    EXPECT_EQ(db.getAcDbObjectId(found, false, given), Acad::eKeyNotFound);
    ads_name name;
    acdbGetAdsName(name, id);
    EXPECT_EQ(acdbEntGet(name), nullptr);
}

TEST(Undo, NestedBeginsMakeOneStep) {
    AcDbDatabase db;
    auto& journal = db.impl().journal();
    journal.beginStep(L"outer");
    db.setFilletrad(5);
    journal.beginStep(L"inner");
    db.setFilletrad(7);
    journal.endStep();
    journal.endStep();
    EXPECT_EQ(journal.stepCount(), 1u);
    ASSERT_EQ(journal.undoStep(), Acad::eOk);
    EXPECT_EQ(db.filletrad(), 0);
}

} // namespace
