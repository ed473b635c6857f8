// The simple kinds' geometry in their planes (circles with tilted normals, solids in plane
// coordinates, faces in world coordinates), lines, rays, extension dictionaries and
// non-graphical objects through the data lists.
#include "arx/db.h"
#include "core/resbuf.h"
#include "db/database_impl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

TEST(Circle, TiltedPlaneKeepsTheWorldCentreAndExtents) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int i = 0; i < 50; ++i) {
        AcGeVector3d n(u(rng), u(rng), u(rng));
        if (n.length() < 0.1) continue;
        AcGePoint3d c(u(rng) * 10, u(rng) * 10, u(rng) * 10);
        AcDbCircle circle(c, n, 2);
        EXPECT_LT(circle.center().distanceTo(c), 1e-12);
        AcDbExtents ext;
        ASSERT_EQ(circle.getGeomExtents(ext), Acad::eOk);
        AcDbExtents sampled;
        for (int k = 0; k < 3600; ++k) {
            AcGePoint3d p;
            circle.getPointAtParam(2 * M_PI * k / 3600, p);
            EXPECT_NEAR(p.distanceTo(c), 2, 1e-12);
            EXPECT_NEAR((p - c).dotProduct(n.normal()), 0, 1e-12);
            sampled.addPoint(p);
        }
        for (int a = 0; a < 3; ++a) {
            EXPECT_NEAR(ext.minPoint()[a], sampled.minPoint()[a], 1e-5);
            EXPECT_NEAR(ext.maxPoint()[a], sampled.maxPoint()[a], 1e-5);
        }
        // Changing the normal keeps the world centre.
        ASSERT_EQ(circle.setNormal(AcGeVector3d::kZAxis), Acad::eOk);
        EXPECT_LT(circle.center().distanceTo(c), 1e-12);
    }
}

TEST(Line, ParametersAreDistancesFromTheStart) {
    AcDbLine line({1, 1, 0}, {4, 5, 0});
    double end = 0, param = 0, dist = 0;
    ASSERT_EQ(line.getEndParam(end), Acad::eOk);
    EXPECT_DOUBLE_EQ(end, 5);
    AcGePoint3d p;
    ASSERT_EQ(line.getPointAtParam(2.5, p), Acad::eOk);
    EXPECT_EQ(p, AcGePoint3d(2.5, 3, 0));
    EXPECT_EQ(line.getParamAtPoint({2.5, 3, 0}, param), Acad::eOk);
    EXPECT_DOUBLE_EQ(param, 2.5);
    EXPECT_EQ(line.getParamAtPoint({2.5, 3.1, 0}, param), Acad::eInvalidInput);
    EXPECT_EQ(line.getParamAtPoint({7, 9, 0}, param), Acad::eInvalidInput) << "past the end";
    EXPECT_EQ(line.getPointAtParam(5.5, p), Acad::eInvalidInput);
    EXPECT_EQ(line.getDistAtPoint({4, 5, 0}, dist), Acad::eOk);
    EXPECT_DOUBLE_EQ(dist, 5);
    AcGePoint3d closest;
    line.getClosestPointTo({10, 10, 0}, closest);
    EXPECT_EQ(closest, AcGePoint3d(4, 5, 0));
    line.getClosestPointTo({10, 10, 0}, closest, true);
    EXPECT_GT(closest.x, 4);
    AcGeVector3d d;
    ASSERT_EQ(line.getFirstDeriv(0, d), Acad::eOk);
    EXPECT_EQ(d, AcGeVector3d(0.6, 0.8, 0));
}

TEST(Ray, BoundedAtItsBasePoint) {
    AcDbRay ray;
    ray.setBasePoint({1, 0, 0});
    ray.setUnitDir({0, 2, 0});
    EXPECT_EQ(ray.unitDir(), AcGeVector3d(0, 1, 0));
    double s = -1, param = 0;
    EXPECT_EQ(ray.getStartParam(s), Acad::eOk);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(ray.getParamAtPoint({1, -3, 0}, param), Acad::eInvalidInput);
    AcGePoint3d closest;
    ray.getClosestPointTo({5, -3, 0}, closest);
    EXPECT_EQ(closest, AcGePoint3d(1, 0, 0));
    AcDbXline xline;
    EXPECT_EQ(xline.getStartParam(s), Acad::eNotApplicable);
    EXPECT_EQ(xline.getParamAtPoint({-3, 0, 0}, param), Acad::eOk);
    EXPECT_EQ(param, -3);
    AcDbExtents ext;
    EXPECT_EQ(xline.getGeomExtents(ext), Acad::eInvalidExtents);
}

TEST(FourPoints, SolidsLieInTheirPlaneFacesInTheWorld) {
    AcGeVector3d tilted = AcGeVector3d(0, 1, 1).normal();
    AcDbSolid solid;
    ASSERT_EQ(solid.setNormal(tilted), Acad::eOk);
    AcDbFace face;
    const AcGePoint3d corners[] = {{0, 0, 0}, {2, 0, 0}, {0, 1, -1}, {2, 1, -1}};
    for (uint16_t i = 0; i < 4; ++i) {
        ASSERT_EQ(solid.setPointAt(i, corners[i]), Acad::eOk);
        ASSERT_EQ(face.setPointAt(i, corners[i]), Acad::eOk);
    }
    AcGeMatrix3d m = AcGeMatrix3d::rotation(0.7, AcGeVector3d::kZAxis, {1, 1, 0}) *
                     AcGeMatrix3d::translation({3, 0, 2});
    ASSERT_EQ(solid.transformBy(m), Acad::eOk);
    ASSERT_EQ(face.transformBy(m), Acad::eOk);
    for (uint16_t i = 0; i < 4; ++i) {
        AcGePoint3d s, f;
        solid.getPointAt(i, s);
        face.getPointAt(i, f);
        EXPECT_LT(s.distanceTo(m.apply(corners[i])), 1e-12);
        EXPECT_LT(f.distanceTo(m.apply(corners[i])), 1e-12);
    }
    AcGePoint3d p;
    EXPECT_EQ(solid.getPointAt(4, p), Acad::eInvalidIndex);
}

TEST(ExtensionDictionary, CreatedOnceReleasedWhenEmpty) {
    AcDbDatabase db;
    AcDbObjectId id;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForWrite);
        auto* line = new AcDbLine({0, 0, 0}, {1, 0, 0});
        ms->appendAcDbEntity(id, line);
        EXPECT_TRUE(line->isNewObject());
        line->close();
    }
    AcDbObjectPointer<AcDbLine> line(id, AcDb::kForWrite);
    EXPECT_FALSE(line->isNewObject());
    ASSERT_EQ(line->createExtensionDictionary(), Acad::eOk);
    EXPECT_EQ(line->createExtensionDictionary(), Acad::eAlreadyInDb);
    AcDbObjectId dictId = line->extensionDictionary();
    ASSERT_FALSE(dictId.isNull());
    {
        AcDbObjectPointer<AcDbDictionary> dict(dictId, AcDb::kForWrite);
        EXPECT_EQ(dict->ownerId(), id);
        EXPECT_TRUE(dict->isTreatElementsAsHard());
        auto* x = new AcDbXrecord;
        AcDbObjectId xid;
        ASSERT_EQ(dict->setAt(L"DATA", x, xid), Acad::eOk);
        x->close();
    }
    EXPECT_EQ(line->releaseExtensionDictionary(), Acad::eObjectIsReferenced);
    {
        AcDbObjectPointer<AcDbDictionary> dict(dictId, AcDb::kForWrite);
        ASSERT_EQ(dict->remove(L"DATA"), Acad::eOk);
    }
    EXPECT_EQ(line->releaseExtensionDictionary(), Acad::eOk);
    EXPECT_TRUE(line->extensionDictionary().isNull());
    EXPECT_TRUE(dictId.isErased());
}

TEST(DataLists, ObjectsWithoutOwnerAndDictionaries) {
    AcDbDatabase db;
    zel::db::setWorkingDatabase(&db);
    zel::core::RbBuilder b;
    b.addString(0, L"XRECORD").addString(100, L"AcDbXrecord").addString(1, L"value");
    b.addReal(40, 1.25);
    zel::core::RbPtr list = b.take();
    EXPECT_EQ(acdbEntMake(list.get()), RTERROR) << "an object needs acdbEntMakeX";
    ads_name name;
    ASSERT_EQ(acdbEntMakeX(list.get(), name), RTNORM);
    zel::core::RbPtr got(acdbEntGet(name));
    ASSERT_TRUE(got);
    const resbuf* rb = got.get();
    while (rb && rb->restype != 1)
        rb = rb->rbnext;
    ASSERT_TRUE(rb);
    EXPECT_STREQ(rb->resval.rstring, L"value");
    // The named-objects dictionary lists its entries with their objects' names.
    ads_name nod;
    acdbGetAdsName(nod, db.namedObjectsDictionaryId());
    zel::core::RbPtr dict(acdbEntGet(nod));
    int entries = 0;
    for (const resbuf* r = dict.get(); r; r = r->rbnext) {
        if (r->restype != 3) continue;
        ++entries;
        ASSERT_TRUE(r->rbnext);
        EXPECT_TRUE(r->rbnext->restype == 350 || r->rbnext->restype == 360);
        AcDbObjectId entry;
        EXPECT_EQ(acdbGetObjectId(entry, r->rbnext->resval.rlname), Acad::eOk);
    }
    EXPECT_GE(entries, 2);
    zel::db::setWorkingDatabase(nullptr);
}

} // namespace
