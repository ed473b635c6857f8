// SOLID, TRACE (corner points in the plane's coordinates) and 3DFACE (world coordinates).
#include "db/schema.h"

#include <cmath>

using zel::db::FieldKind;
using zel::db::kSkipDefault;

ZEL_DEFINE_MEMBERS(AcDbFourPointEntity, AcDbEntity)
ZEL_DEFINE_MEMBERS(AcDbSolid, AcDbFourPointEntity)
ZEL_DEFINE_MEMBERS(AcDbTrace, AcDbFourPointEntity)
ZEL_DEFINE_MEMBERS(AcDbFace, AcDbFourPointEntity)

// Corner I: a lambda in the kind's member function may name the protected array.
#define ZEL_CORNER(C, CODE, I)                                                                     \
    {                                                                                              \
        CODE, FieldKind::Point3,                                                                   \
            [](AcDbObject* o) -> void* { return &static_cast<C*>(o)->mPoints[I]; }                 \
    }
#define ZEL_CORNER_FIELDS(C)                                                                       \
    ZEL_CORNER(C, 10, 0), ZEL_CORNER(C, 11, 1), ZEL_CORNER(C, 12, 2), ZEL_CORNER(C, 13, 3)

#define ZEL_TRACE_SCHEMA(C, NAME)                                                                  \
    {                                                                                              \
        NAME, true,                                                                                \
            {AcDbEntity::commonSchema(),                                                           \
             {"AcDbTrace",                                                                         \
              {ZEL_CORNER_FIELDS(C),                                                               \
               {39, FieldKind::Real, ZEL_FIELD(C, mThickness), kSkipDefault},                      \
               {210, FieldKind::Vector3, ZEL_FIELD(C, mNormal), kSkipDefault, 1, L"",              \
                zel::db::validNonZeroVector}},                                                     \
              {}}},                                                                                \
            &zel::db::createKind<C>                                                                \
    }

const zel::db::ObjectSchema& AcDbSolid::kindSchema() {
    static const zel::db::ObjectSchema s ZEL_TRACE_SCHEMA(AcDbSolid, "SOLID");
    return s;
}

const zel::db::ObjectSchema& AcDbTrace::kindSchema() {
    static const zel::db::ObjectSchema s ZEL_TRACE_SCHEMA(AcDbTrace, "TRACE");
    return s;
}

const zel::db::ObjectSchema& AcDbFace::kindSchema() {
    static const zel::db::ObjectSchema s{
        "3DFACE",
        true,
        {AcDbEntity::commonSchema(),
         {"AcDbFace",
          {ZEL_CORNER_FIELDS(AcDbFace),
           {70, FieldKind::Int16, ZEL_FIELD(AcDbFace, mEdgeFlags), kSkipDefault}},
          {}}},
        &zel::db::createKind<AcDbFace>};
    return s;
}

AcDbSolid::AcDbSolid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                     const AcGePoint3d& p3) {
    mPoints[0] = p0, mPoints[1] = p1, mPoints[2] = p2, mPoints[3] = p3;
}

AcDbSolid::AcDbSolid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2)
    : AcDbSolid(p0, p1, p2, p2) {}

AcDbFace::AcDbFace(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                   const AcGePoint3d& p3) {
    mPoints[0] = p0, mPoints[1] = p1, mPoints[2] = p2, mPoints[3] = p3;
}

Acad::ErrorStatus AcDbFace::setEdgeFlags(int16_t flags) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mEdgeFlags = flags;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFourPointEntity::getPointAt(uint16_t index, AcGePoint3d& point) const {
    if (index > 3) return Acad::eInvalidIndex;
    point = inPlane() ? AcGeMatrix3d::planeToWorld(mNormal).apply(mPoints[index]) : mPoints[index];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFourPointEntity::setPointAt(uint16_t index, const AcGePoint3d& point) {
    if (index > 3) return Acad::eInvalidIndex;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mPoints[index] = inPlane() ? AcGeMatrix3d::worldToPlane(mNormal).apply(point) : point;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFourPointEntity::setThickness(double t) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mThickness = t;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFourPointEntity::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength()) return Acad::eDegenerateGeometry;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mNormal = n.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFourPointEntity::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    for (uint16_t i = 0; i < 4; ++i) {
        AcGePoint3d p;
        getPointAt(i, p);
        extents.addPoint(p);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFourPointEntity::transformBy(const AcGeMatrix3d& xform) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    AcGeVector3d n = xform.apply(mNormal);
    if (n.isZeroLength()) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    AcGePoint3d world[4];
    for (uint16_t i = 0; i < 4; ++i) {
        getPointAt(i, world[i]);
        world[i] = xform.apply(world[i]);
    }
    mNormal = n.normal();
    AcGeMatrix3d toPlane = AcGeMatrix3d::worldToPlane(mNormal);
    for (int i = 0; i < 4; ++i)
        mPoints[i] = inPlane() ? toPlane.apply(world[i]) : world[i];
    return Acad::eOk;
}
