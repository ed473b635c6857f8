// LINE: a segment; its parameter is the distance from the start point.
#include "db/schema.h"

#include "core/tolerance.h"

#include <cmath>

using zel::db::FieldKind;
using zel::db::kSkipDefault;

ZEL_DEFINE_MEMBERS(AcDbLine, AcDbCurve)

const zel::db::ObjectSchema& AcDbLine::kindSchema() {
    static const zel::db::ObjectSchema s{
        "LINE",
        true,
        {AcDbEntity::commonSchema(),
         {"AcDbLine",
          {
              {39, FieldKind::Real, ZEL_FIELD(AcDbLine, mThickness), kSkipDefault},
              {10, FieldKind::Point3, ZEL_FIELD(AcDbLine, mStart)},
              {11, FieldKind::Point3, ZEL_FIELD(AcDbLine, mEnd)},
              {210, FieldKind::Vector3, ZEL_FIELD(AcDbLine, mNormal), kSkipDefault, 1, L"",
               zel::db::validNonZeroVector},
          },
          {}}},
        &zel::db::createKind<AcDbLine>};
    return s;
}

Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& p) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mStart = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& p) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mEnd = p;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::setThickness(double t) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mThickness = t;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength()) return Acad::eDegenerateGeometry;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mNormal = n.normal();
    return Acad::eOk;
}

namespace {

bool withinLength(double d, double length) {
    return d >= -zel::tol::kPoint && d <= length + zel::tol::kPoint;
}

} // namespace

Acad::ErrorStatus AcDbLine::getStartParam(double& param) const {
    param = 0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getEndParam(double& param) const {
    param = mStart.distanceTo(mEnd);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getStartPoint(AcGePoint3d& point) const {
    point = mStart;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getEndPoint(AcGePoint3d& point) const {
    point = mEnd;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getPointAtParam(double param, AcGePoint3d& point) const {
    double length = mStart.distanceTo(mEnd);
    if (!withinLength(param, length)) return Acad::eInvalidInput;
    point = length > 0 ? mStart + (mEnd - mStart) * (param / length) : mStart;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    AcGePoint3d closest;
    getClosestPointTo(point, closest, false);
    if (closest.distanceTo(point) > zel::tol::kOnCurve) return Acad::eInvalidInput;
    param = mStart.distanceTo(closest);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getDistAtParam(double param, double& dist) const {
    if (!withinLength(param, mStart.distanceTo(mEnd))) return Acad::eInvalidInput;
    dist = param;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getParamAtDist(double dist, double& param) const {
    if (!withinLength(dist, mStart.distanceTo(mEnd))) return Acad::eInvalidInput;
    param = dist;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getFirstDeriv(double param, AcGeVector3d& deriv) const {
    double length = mStart.distanceTo(mEnd);
    if (!withinLength(param, length)) return Acad::eInvalidInput;
    if (length <= zel::tol::kPoint) return Acad::eDegenerateGeometry;
    deriv = (mEnd - mStart) / length;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                              bool extend) const {
    AcGeVector3d d = mEnd - mStart;
    double len2 = d.lengthSqrd();
    if (len2 <= zel::tol::kPoint * zel::tol::kPoint) {
        closest = mStart;
        return Acad::eOk;
    }
    double t = (given - mStart).dotProduct(d) / len2;
    if (!extend) t = std::clamp(t, 0.0, 1.0);
    closest = mStart + d * t;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getArea(double& area) const {
    area = 0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    extents.addPoint(mStart);
    extents.addPoint(mEnd);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::transformBy(const AcGeMatrix3d& xform) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    AcGeVector3d n = xform.apply(mNormal);
    if (n.isZeroLength()) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    mStart = xform.apply(mStart);
    mEnd = xform.apply(mEnd);
    mNormal = n.normal();
    return Acad::eOk;
}
