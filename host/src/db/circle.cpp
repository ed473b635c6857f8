// CIRCLE and ARC: the parameter is the angle from the plane's X axis about the normal.
#include "db/curvegeom.h"
#include "db/schema.h"

#include "core/tolerance.h"

#include <cmath>

using zel::db::FieldKind;
using zel::db::kSkipDefault;
namespace geom = zel::db::geom;

ZEL_DEFINE_MEMBERS(AcDbCircle, AcDbCurve)
ZEL_DEFINE_MEMBERS(AcDbArc, AcDbCircle)

#define ZEL_CIRCLE_FIELDS(C)                                                                       \
    {39, FieldKind::Real, ZEL_FIELD(C, mThickness), kSkipDefault},                                 \
        {10, FieldKind::Point3, ZEL_FIELD(C, mCenter)},                                            \
        {40, FieldKind::Real, ZEL_FIELD(C, mRadius), 0, 1, L"", zel::db::validPositive}, {         \
        210, FieldKind::Vector3, ZEL_FIELD(C, mNormal), kSkipDefault, 1, L"",                      \
            zel::db::validNonZeroVector                                                            \
    }

const zel::db::ObjectSchema& AcDbCircle::kindSchema() {
    static const zel::db::ObjectSchema s{
        "CIRCLE",
        true,
        {AcDbEntity::commonSchema(), {"AcDbCircle", {ZEL_CIRCLE_FIELDS(AcDbCircle)}, {}}},
        &zel::db::createKind<AcDbCircle>};
    return s;
}

const zel::db::ObjectSchema& AcDbArc::kindSchema() {
    static const zel::db::ObjectSchema s{
        "ARC",
        true,
        {AcDbEntity::commonSchema(),
         {"AcDbCircle", {ZEL_CIRCLE_FIELDS(AcDbArc)}, {}},
         {"AcDbArc",
          {
              {50, FieldKind::Angle, ZEL_FIELD(AcDbArc, mStartAngle)},
              {51, FieldKind::Angle, ZEL_FIELD(AcDbArc, mEndAngle)},
          },
          {}}},
        &zel::db::createKind<AcDbArc>};
    return s;
}

namespace {

struct Frame {
    AcGePoint3d center;
    AcGeVector3d x, y;
    double radius;
    AcGePoint3d at(double angle) const {
        return center + (x * std::cos(angle) + y * std::sin(angle)) * radius;
    }
    AcGeVector3d derivative(double angle) const {
        return (x * -std::sin(angle) + y * std::cos(angle)) * radius;
    }
    // Angle of the point's projection on the plane; false when it projects on the centre.
    bool angleOf(const AcGePoint3d& p, double& angle) const {
        AcGeVector3d d = p - center;
        double u = d.dotProduct(x), v = d.dotProduct(y);
        if (std::hypot(u, v) <= zel::tol::kPoint) return false;
        angle = geom::normalizeAngle(std::atan2(v, u));
        return true;
    }
};

Frame frameOf(const AcDbCircle& c) {
    Frame f;
    f.center = c.center();
    geom::planeAxes(c.normal(), f.x, f.y);
    f.radius = c.radius();
    return f;
}

// Extremes along each world axis of the circle, where cos/sin of the angle make the
// coordinate extreme: atan2(y_i, x_i) and that plus pi.
void addAxisExtremes(const Frame& f, double start, double sweep, AcDbExtents& ext) {
    for (int i = 0; i < 3; ++i) {
        double a = std::atan2(f.y[i], f.x[i]);
        for (double t : {a, a + M_PI}) {
            double d = geom::normalizeAngle(t - start);
            if (d <= sweep) ext.addPoint(f.at(start + d));
        }
    }
}

} // namespace

AcDbCircle::AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius)
    : mRadius(radius), mNormal(normal.isZeroLength() ? AcGeVector3d::kZAxis : normal.normal()) {
    mCenter = AcGeMatrix3d::worldToPlane(mNormal).apply(center);
}

AcGePoint3d AcDbCircle::center() const {
    return AcGeMatrix3d::planeToWorld(mNormal).apply(mCenter);
}

Acad::ErrorStatus AcDbCircle::setCenter(const AcGePoint3d& c) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mCenter = AcGeMatrix3d::worldToPlane(mNormal).apply(c);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::setRadius(double r) {
    if (!std::isfinite(r) || r <= 0) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mRadius = r;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength()) return Acad::eDegenerateGeometry;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    AcGePoint3d c = center();
    mNormal = n.normal();
    mCenter = AcGeMatrix3d::worldToPlane(mNormal).apply(c);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::setThickness(double t) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mThickness = t;
    return Acad::eOk;
}

double AcDbCircle::circumference() const {
    return geom::kTwoPi * mRadius;
}

Acad::ErrorStatus AcDbCircle::getStartParam(double& param) const {
    param = 0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getEndParam(double& param) const {
    param = geom::kTwoPi;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getStartPoint(AcGePoint3d& point) const {
    point = frameOf(*this).at(0);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getEndPoint(AcGePoint3d& point) const {
    return getStartPoint(point);
}

Acad::ErrorStatus AcDbCircle::getPointAtParam(double param, AcGePoint3d& point) const {
    double s = 0, e = 0;
    getStartParam(s);
    getEndParam(e);
    if (param < s - zel::tol::kParam || param > e + zel::tol::kParam) return Acad::eInvalidInput;
    point = frameOf(*this).at(param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    Frame f = frameOf(*this);
    double angle = 0;
    if (!f.angleOf(point, angle) || f.at(angle).distanceTo(point) > zel::tol::kOnCurve)
        return Acad::eInvalidInput;
    param = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getDistAtParam(double param, double& dist) const {
    if (param < -zel::tol::kParam || param > geom::kTwoPi + zel::tol::kParam)
        return Acad::eInvalidInput;
    dist = param * mRadius;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getParamAtDist(double dist, double& param) const {
    if (dist < -zel::tol::kPoint || dist > circumference() + zel::tol::kPoint)
        return Acad::eInvalidInput;
    param = dist / mRadius;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getFirstDeriv(double param, AcGeVector3d& deriv) const {
    deriv = frameOf(*this).derivative(param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                                bool) const {
    Frame f = frameOf(*this);
    double angle = 0;
    f.angleOf(given, angle); // a point over the centre: every point is closest, take angle 0
    closest = f.at(angle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getArea(double& area) const {
    area = M_PI * mRadius * mRadius;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    Frame f = frameOf(*this);
    f.radius = mRadius;
    extents.addPoint(f.at(0));
    addAxisExtremes(f, 0, geom::kTwoPi, extents);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::transformBy(const AcGeMatrix3d& xform) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    Frame f = frameOf(*this);
    double scale = 1;
    if (!geom::scalesUniformly(xform, f.x, f.y, scale)) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    AcGePoint3d c = xform.apply(f.center);
    mNormal = xform.apply(mNormal).normal();
    mCenter = AcGeMatrix3d::worldToPlane(mNormal).apply(c);
    mRadius *= scale;
    return Acad::eOk;
}

// ---- ARC --------------------------------------------------------------------------------

AcDbArc::AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle)
    : AcDbArc(center, AcGeVector3d::kZAxis, radius, startAngle, endAngle) {}

AcDbArc::AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius,
                 double startAngle, double endAngle)
    : AcDbCircle(center, normal, radius), mStartAngle(geom::normalizeAngle(startAngle)),
      mEndAngle(geom::normalizeAngle(endAngle)) {}

Acad::ErrorStatus AcDbArc::setStartAngle(double angle) {
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mStartAngle = geom::normalizeAngle(angle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setEndAngle(double angle) {
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mEndAngle = geom::normalizeAngle(angle);
    return Acad::eOk;
}

double AcDbArc::totalAngle() const {
    return geom::sweepBetween(mStartAngle, mEndAngle);
}

Acad::ErrorStatus AcDbArc::getStartParam(double& param) const {
    param = geom::normalizeAngle(mStartAngle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getEndParam(double& param) const {
    param = geom::normalizeAngle(mStartAngle) + totalAngle();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getStartPoint(AcGePoint3d& point) const {
    point = frameOf(*this).at(mStartAngle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getEndPoint(AcGePoint3d& point) const {
    point = frameOf(*this).at(mEndAngle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    AcGePoint3d closest;
    getClosestPointTo(point, closest, false);
    if (closest.distanceTo(point) > zel::tol::kOnCurve) return Acad::eInvalidInput;
    Frame f = frameOf(*this);
    double angle = 0, start = 0;
    if (!f.angleOf(closest, angle)) return Acad::eInvalidInput;
    getStartParam(start);
    double d = geom::normalizeAngle(angle - start);
    // A point at an end may come out a hair outside the sweep (at the start: a full turn).
    if (d > totalAngle()) d = geom::kTwoPi - d < d - totalAngle() ? 0 : totalAngle();
    param = start + d;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getDistAtParam(double param, double& dist) const {
    double s = 0, e = 0;
    getStartParam(s);
    getEndParam(e);
    if (param < s - zel::tol::kParam || param > e + zel::tol::kParam) return Acad::eInvalidInput;
    dist = (param - s) * radius();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getParamAtDist(double dist, double& param) const {
    if (dist < -zel::tol::kPoint || dist > length() + zel::tol::kPoint) return Acad::eInvalidInput;
    double s = 0;
    getStartParam(s);
    param = s + dist / radius();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                             bool extend) const {
    Frame f = frameOf(*this);
    double angle = mStartAngle;
    f.angleOf(given, angle);
    double d = geom::normalizeAngle(angle - mStartAngle);
    if (extend || d <= totalAngle()) {
        closest = f.at(angle);
        return Acad::eOk;
    }
    AcGePoint3d a = f.at(mStartAngle), b = f.at(mEndAngle);
    closest = a.distanceTo(given) <= b.distanceTo(given) ? a : b;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getArea(double& area) const {
    double sweep = totalAngle();
    area = radius() * radius() / 2 * (sweep - std::sin(sweep));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    Frame f = frameOf(*this);
    extents.addPoint(f.at(mStartAngle));
    extents.addPoint(f.at(mEndAngle));
    addAxisExtremes(f, mStartAngle, totalAngle(), extents);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::transformBy(const AcGeMatrix3d& xform) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    Frame f = frameOf(*this);
    double scale = 1;
    if (!geom::scalesUniformly(xform, f.x, f.y, scale)) return Acad::eCannotScaleNonUniformly;
    AcGePoint3d start = xform.apply(f.at(mStartAngle));
    AcGePoint3d end = xform.apply(f.at(mEndAngle));
    double sweep = totalAngle();
    Acad::ErrorStatus es = AcDbCircle::transformBy(xform);
    if (es != Acad::eOk) return es;
    // A mirror reverses the turn about the (kept) normal: the ends swap.
    if (xform.isMirror()) std::swap(start, end);
    Frame g = frameOf(*this);
    double a = 0, b = 0;
    g.angleOf(start, a);
    g.angleOf(end, b);
    mStartAngle = a;
    mEndAngle = sweep >= geom::kTwoPi - zel::tol::kAngle ? a : b;
    return Acad::eOk;
}
