// Complex entities in a database: VERTEX and ATTRIB sub-entities become objects of their own,
// owned by their entity, with a SEQEND last; queries and transforms reach them; block
// references place their block.
#include "arx/db.h"
#include "db/database_impl.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class ComplexEntities : public ::testing::Test {
protected:
    AcDbDatabase db;

    // Appends an entity to model space; returns its id (the entity is closed).
    AcDbObjectId append(AcDbEntity* e) {
        AcDbBlockTableRecord* ms = nullptr;
        EXPECT_EQ(acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
        AcDbObjectId id;
        EXPECT_EQ(ms->appendAcDbEntity(id, e), Acad::eOk);
        e->close();
        ms->close();
        return id;
    }

    void TearDown() override { EXPECT_EQ(zel::db::openObjectCount(db), 0); }
};

TEST_F(ComplexEntities, VerticesGivenBeforeJoinBecomeOwnedObjects) {
    auto* pl = new AcDb2dPolyline();
    for (AcGePoint3d p : {AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0), AcGePoint3d(10, 5, 0)})
        ASSERT_EQ(pl->appendVertex(new AcDb2dVertex(p)), Acad::eOk);
    pl->setLayer(L"0");
    AcDbObjectId id = append(pl);

    AcDbObjectPointer<AcDb2dPolyline> p(id, AcDb::kForRead);
    ASSERT_EQ(p.openStatus(), Acad::eOk);
    std::vector<AcDbObjectId> subs = p->subEntityIds();
    ASSERT_EQ(subs.size(), 4u); // three vertices, then the SEQEND
    for (size_t i = 0; i < subs.size(); ++i) {
        AcDbObjectPointer<AcDbEntity> e(subs[i], AcDb::kForRead);
        ASSERT_EQ(e.openStatus(), Acad::eOk);
        EXPECT_EQ(e->ownerId(), id);
        EXPECT_FALSE(e->getAcDbHandle().isNull());
        EXPECT_EQ(i == 3, AcDbSequenceEnd::cast(e.object()) != nullptr);
    }
    double length;
    ASSERT_EQ(p->getLength(length), Acad::eOk);
    EXPECT_NEAR(length, 15, 1e-12);
}

TEST_F(ComplexEntities, VertexAppendedToAPolylineInTheDatabase) {
    AcDbObjectId id = append(new AcDb2dPolyline());
    AcDbObjectPointer<AcDb2dPolyline> p(id, AcDb::kForWrite);
    auto* v = new AcDb2dVertex(AcGePoint3d(1, 2, 0), 1.0);
    AcDbObjectId vid;
    ASSERT_EQ(p->appendVertex(vid, v), Acad::eOk);
    v->close();
    auto* w = new AcDb2dVertex(AcGePoint3d(5, 2, 0));
    ASSERT_EQ(p->appendVertex(w), Acad::eOk);
    w->close();
    EXPECT_EQ(p->vertexIds().front(), vid);
    EXPECT_FALSE(p->sequenceEndId().isNull());
    EXPECT_EQ(p->subEntityIds().back(), p->sequenceEndId());
    // The curve comes from the vertex objects: a half circle of radius 2.
    double length;
    p->getLength(length);
    EXPECT_NEAR(length, 2 * M_PI, 1e-12);
    // A vertex changed through its own object changes the curve.
    {
        AcDbObjectPointer<AcDb2dVertex> vertex(vid, AcDb::kForWrite);
        vertex->setBulge(0);
    }
    p->getLength(length);
    EXPECT_NEAR(length, 4, 1e-12);
}

TEST_F(ComplexEntities, TransformMovesTheVertexObjects) {
    auto* pl = new AcDb2dPolyline(AcDb::k2dSimplePoly, {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}}, 0, true);
    AcDbObjectId id = append(pl);
    AcDbObjectPointer<AcDb2dPolyline> p(id, AcDb::kForWrite);
    ASSERT_EQ(p->transformBy(AcGeMatrix3d::translation({1, 2, 0})), Acad::eOk);
    AcDbObjectPointer<AcDb2dVertex> last(p->vertexIds().back(), AcDb::kForRead);
    EXPECT_TRUE(p->vertexPosition(*last.object()).isEqualTo({5, 5, 0}));
    double area;
    p->getArea(area);
    EXPECT_NEAR(area, 6, 1e-12);
}

TEST_F(ComplexEntities, AttributesOfABlockReference) {
    auto* ref = new AcDbBlockReference(AcGePoint3d(1, 1, 0), db.modelSpaceId());
    auto* att = new AcDbAttribute(AcGePoint3d(1, 2, 0), L"42", L"NUMBER");
    ASSERT_EQ(ref->appendAttribute(att), Acad::eOk);
    AcDbObjectId id = append(ref);
    AcDbObjectPointer<AcDbBlockReference> r(id, AcDb::kForWrite);
    ASSERT_EQ(r->attributeIds().size(), 1u);
    AcDbObjectId attId = r->attributeIds().front();
    ASSERT_EQ(r->transformBy(AcGeMatrix3d::translation({10, 0, 0})), Acad::eOk);
    AcDbObjectPointer<AcDbAttribute> a(attId, AcDb::kForRead);
    EXPECT_TRUE(a->position().isEqualTo({11, 2, 0}));
    EXPECT_EQ(a->ownerId(), id);
    EXPECT_EQ(std::wstring(a->tagConst()), L"NUMBER");
}

TEST_F(ComplexEntities, BlockReferencePlacesItsBlock) {
    // A block with its base point at (1, 0) holding a line from (1, 0) to (3, 0).
    AcDbBlockTable* bt = nullptr;
    ASSERT_EQ(db.getBlockTable(bt, AcDb::kForWrite), Acad::eOk);
    auto* record = new AcDbBlockTableRecord();
    record->setName(L"ARM");
    AcDbObjectId blockId;
    ASSERT_EQ(bt->add(blockId, record), Acad::eOk);
    bt->close();
    record->setOrigin({1, 0, 0});
    auto* line = new AcDbLine({1, 0, 0}, {3, 0, 0});
    ASSERT_EQ(record->appendAcDbEntity(line), Acad::eOk);
    line->close();
    record->close();

    auto* ref = new AcDbBlockReference(AcGePoint3d(10, 10, 0), blockId);
    ref->setRotation(M_PI / 2);
    ref->setScaleFactors(AcGeScale3d(2));
    AcDbObjectId id = append(ref);
    AcDbObjectPointer<AcDbBlockReference> r(id, AcDb::kForRead);
    EXPECT_EQ(r->blockTableRecord(), blockId);
    // The base point goes to the position; the line's end (2 further on x) to 4 up.
    EXPECT_TRUE((r->blockTransform() * AcGePoint3d(1, 0, 0)).isEqualTo({10, 10, 0}));
    EXPECT_TRUE((r->blockTransform() * AcGePoint3d(3, 0, 0)).isEqualTo({10, 14, 0}));
    AcDbExtents e;
    ASSERT_EQ(r->getGeomExtents(e), Acad::eOk);
    EXPECT_TRUE(e.minPoint().isEqualTo({10, 10, 0}));
    EXPECT_TRUE(e.maxPoint().isEqualTo({10, 14, 0}));
}

} // namespace
