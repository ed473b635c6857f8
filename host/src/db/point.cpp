// POINT, XLINE and RAY.
#include "db/curvegeom.h"
#include "db/schema.h"

#include "core/tolerance.h"

#include <cmath>

using zel::db::FieldKind;
using zel::db::kSkipDefault;

ZEL_DEFINE_MEMBERS(AcDbPoint, AcDbEntity)
ZEL_DEFINE_MEMBERS(AcDbXline, AcDbCurve)
ZEL_DEFINE_MEMBERS(AcDbRay, AcDbXline)

const zel::db::ObjectSchema& AcDbPoint::kindSchema() {
    using P = AcDbPoint;
    static const zel::db::ObjectSchema s{
        "POINT",
        true,
        {AcDbEntity::commonSchema(),
         {"AcDbPoint",
          {
              {10, FieldKind::Point3, ZEL_FIELD(P, mPosition)},
              {39, FieldKind::Real, ZEL_FIELD(P, mThickness), kSkipDefault},
              {210, FieldKind::Vector3, ZEL_FIELD(P, mNormal), kSkipDefault, 1, L"",
               zel::db::validNonZeroVector},
              {50, FieldKind::Angle, ZEL_FIELD(P, mEcsRotation), kSkipDefault},
          },
          {}}},
        &zel::db::createKind<P>};
    return s;
}

Acad::ErrorStatus AcDbPoint::setPosition(const AcGePoint3d& p) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mPosition = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::setThickness(double t) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mThickness = t;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength()) return Acad::eDegenerateGeometry;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mNormal = n.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::setEcsRotation(double angle) {
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mEcsRotation = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents(mPosition, mPosition);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::transformBy(const AcGeMatrix3d& xform) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    AcGeVector3d n = xform.apply(mNormal);
    if (n.isZeroLength()) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    mPosition = xform.apply(mPosition);
    mNormal = n.normal();
    return Acad::eOk;
}

// ---- XLINE and RAY ----------------------------------------------------------------------

#define ZEL_XLINE_SCHEMA(L, NAME, MARKER)                                                          \
    {                                                                                              \
        NAME, true,                                                                                \
            {AcDbEntity::commonSchema(),                                                           \
             {MARKER,                                                                              \
              {                                                                                    \
                  {10, FieldKind::Point3, ZEL_FIELD(L, mBase)},                                    \
                  {11, FieldKind::Vector3, ZEL_FIELD(L, mDir), 0, 0, L"",                          \
                   zel::db::validNonZeroVector},                                                   \
              },                                                                                   \
              {}}},                                                                                \
            &zel::db::createKind<L>                                                                \
    }

const zel::db::ObjectSchema& AcDbXline::kindSchema() {
    static const zel::db::ObjectSchema s ZEL_XLINE_SCHEMA(AcDbXline, "XLINE", "AcDbXline");
    return s;
}

const zel::db::ObjectSchema& AcDbRay::kindSchema() {
    static const zel::db::ObjectSchema s ZEL_XLINE_SCHEMA(AcDbRay, "RAY", "AcDbRay");
    return s;
}

Acad::ErrorStatus AcDbXline::setBasePoint(const AcGePoint3d& p) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mBase = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::setUnitDir(const AcGeVector3d& dir) {
    if (dir.isZeroLength()) return Acad::eDegenerateGeometry;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mDir = dir.normal();
    return Acad::eOk;
}

namespace {

bool inRange(double param, bool boundedAtStart) {
    return std::isfinite(param) && (!boundedAtStart || param >= -zel::tol::kParam);
}

} // namespace

Acad::ErrorStatus AcDbXline::getStartParam(double& param) const {
    if (!boundedAtStart()) return Acad::eNotApplicable;
    param = 0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::getEndParam(double&) const {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbXline::getStartPoint(AcGePoint3d& point) const {
    if (!boundedAtStart()) return Acad::eNotApplicable;
    point = mBase;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::getEndPoint(AcGePoint3d&) const {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbXline::getPointAtParam(double param, AcGePoint3d& point) const {
    if (!inRange(param, boundedAtStart())) return Acad::eInvalidInput;
    point = mBase + mDir * param;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    double t = (point - mBase).dotProduct(mDir);
    if ((mBase + mDir * t).distanceTo(point) > zel::tol::kOnCurve) return Acad::eInvalidInput;
    if (!inRange(t, boundedAtStart())) return Acad::eInvalidInput;
    param = std::max(t, boundedAtStart() ? 0.0 : t);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::getDistAtParam(double param, double& dist) const {
    if (!inRange(param, boundedAtStart())) return Acad::eInvalidInput;
    dist = param;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::getParamAtDist(double dist, double& param) const {
    if (!inRange(dist, boundedAtStart())) return Acad::eInvalidInput;
    param = dist;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::getFirstDeriv(double param, AcGeVector3d& deriv) const {
    if (!inRange(param, boundedAtStart())) return Acad::eInvalidInput;
    deriv = mDir;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                               bool extend) const {
    double t = (given - mBase).dotProduct(mDir);
    if (boundedAtStart() && !extend) t = std::max(t, 0.0);
    closest = mBase + mDir * t;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::getArea(double& area) const {
    area = 0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXline::getGeomExtents(AcDbExtents&) const {
    return Acad::eInvalidExtents;
}

Acad::ErrorStatus AcDbXline::transformBy(const AcGeMatrix3d& xform) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    AcGeVector3d d = xform.apply(mDir);
    if (d.isZeroLength()) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    mBase = xform.apply(mBase);
    mDir = d.normal();
    return Acad::eOk;
}
