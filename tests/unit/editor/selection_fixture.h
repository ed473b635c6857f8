// A current editor on a new drawing with helpers to put entities, layers and blocks into it,
// for the tests of selection. Every test ends with no object open and no selection set left.
#pragma once

#include "db/database_impl.h"
#include "editor/selection.h"
#include "editor_fixture.h"

#include <vector>

class SelectionTest : public EditorTest {
public:
    ~SelectionTest() override {
        EXPECT_EQ(zel::editor::liveSelectionSets(ed), 0u) << "selection sets left unfreed";
        EXPECT_EQ(zel::db::openObjectCount(db), 0) << "objects left open";
    }

    // Appends an entity to a block (model space by default); the entity is closed.
    AcDbObjectId add(AcDbEntity* e, AcDbObjectId block = AcDbObjectId::kNull) {
        AcDbBlockTableRecord* r = nullptr;
        AcDbObjectId owner = block.isNull() ? db.modelSpaceId() : block;
        EXPECT_EQ(acdbOpenObject(r, owner, AcDb::kForWrite), Acad::eOk);
        AcDbObjectId id;
        EXPECT_EQ(r->appendAcDbEntity(id, e), Acad::eOk);
        e->close();
        r->close();
        return id;
    }

    AcDbObjectId line(double x0, double y0, double x1, double y1,
                      AcDbObjectId block = AcDbObjectId::kNull) {
        return add(new AcDbLine(AcGePoint3d(x0, y0, 0), AcGePoint3d(x1, y1, 0)), block);
    }
    AcDbObjectId circle(double x, double y, double r, AcDbObjectId block = AcDbObjectId::kNull) {
        return add(new AcDbCircle(AcGePoint3d(x, y, 0), AcGeVector3d(0, 0, 1), r), block);
    }

    // A layer with its states.
    void layer(const wchar_t* name, bool locked = false, bool off = false, bool frozen = false) {
        AcDbLayerTable* t = nullptr;
        ASSERT_EQ(db.getLayerTable(t, AcDb::kForWrite), Acad::eOk);
        auto* r = new AcDbLayerTableRecord();
        r->setName(name);
        r->setIsLocked(locked);
        r->setIsOff(off);
        r->setIsFrozen(frozen);
        EXPECT_EQ(t->add(r), Acad::eOk);
        r->close();
        t->close();
    }

    // Changes an entity through a write open (as commands do).
    template <class T, class F> void modify(AcDbObjectId id, F&& change) {
        AcDbObjectPointer<T> p(id, AcDb::kForWrite, true);
        ASSERT_EQ(p.openStatus(), Acad::eOk);
        change(*p.object());
    }
    void erase(AcDbObjectId id) {
        modify<AcDbEntity>(id, [](AcDbEntity& e) { e.erase(); });
    }

    // A new block definition (its entities added with add(..., block)).
    AcDbObjectId block(const wchar_t* name) {
        AcDbBlockTable* t = nullptr;
        EXPECT_EQ(db.getBlockTable(t, AcDb::kForWrite), Acad::eOk);
        auto* r = new AcDbBlockTableRecord();
        r->setName(name);
        AcDbObjectId id;
        EXPECT_EQ(t->add(id, r), Acad::eOk);
        r->close();
        t->close();
        return id;
    }

    // The entity name of an id, for the C-style calls.
    static void nameOf(AcDbObjectId id, ads_name out) {
        ads_name n;
        ASSERT_EQ(acdbGetAdsName(n, id), Acad::eOk);
        ads_name_set(n, out);
    }

    // The ids of a selection set, in its order.
    static zel::editor::EntityIds idsOf(const ads_name ss) {
        zel::editor::EntityIds out;
        int32_t n = 0;
        if (acedSSLength(ss, &n) != RTNORM) return out;
        for (int32_t i = 0; i < n; ++i) {
            ads_name e;
            AcDbObjectId id;
            if (acedSSName(ss, i, e) == RTNORM && acdbGetObjectId(id, e) == Acad::eOk)
                out.push_back(id);
        }
        return out;
    }
};
