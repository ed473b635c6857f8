// ELLIPSE: P(t) = C + cos t A + sin t B, B = ratio (N x A); t runs from the start to the end
// parameter (the end plus 2 pi when it is not above the start).
#include "db/curvegeom.h"
#include "db/schema.h"

#include "core/tolerance.h"

#include <cmath>

using zel::db::FieldKind;
using zel::db::kSkipDefault;
namespace geom = zel::db::geom;

ZEL_DEFINE_MEMBERS(AcDbEllipse, AcDbCurve)

namespace {

bool validRatio(const ZelGroupValue& v) {
    return std::isfinite(v.real) && v.real > 0 && v.real <= 1 + zel::tol::kParam;
}

bool validParam(const ZelGroupValue& v) {
    return std::isfinite(v.real);
}

} // namespace

const zel::db::ObjectSchema& AcDbEllipse::kindSchema() {
    using E = AcDbEllipse;
    static const zel::db::ObjectSchema s{
        "ELLIPSE",
        true,
        {AcDbEntity::commonSchema(),
         {"AcDbEllipse",
          {
              {10, FieldKind::Point3, ZEL_FIELD(E, mCenter)},
              {11, FieldKind::Point3, ZEL_FIELD(E, mMajorAxis), 0, 0, L"",
               zel::db::validNonZeroVector},
              {210, FieldKind::Vector3, ZEL_FIELD(E, mNormal), kSkipDefault, 1, L"",
               zel::db::validNonZeroVector},
              {40, FieldKind::Real, ZEL_FIELD(E, mRatio), 0, 1, L"", validRatio},
              {41, FieldKind::Real, ZEL_FIELD(E, mStartParam), 0, 0, L"", validParam},
              {42, FieldKind::Real, ZEL_FIELD(E, mEndParam), 0, 2 * M_PI, L"", validParam},
          },
          {}}},
        &zel::db::createKind<E>};
    return s;
}

namespace {

struct Shape {
    AcGePoint3d c;
    AcGeVector3d a, b;
    double s = 0, e = 0; // parameter range, e > s
    AcGePoint3d at(double t) const { return c + a * std::cos(t) + b * std::sin(t); }
    AcGeVector3d d1(double t) const { return a * -std::sin(t) + b * std::cos(t); }
    bool inRange(double t) const { return t >= s - zel::tol::kParam && t <= e + zel::tol::kParam; }
    double speed(double t) const { return d1(t).length(); }
};

Shape shapeOf(const AcDbEllipse& el) {
    Shape sh;
    sh.c = el.center();
    sh.a = el.majorAxis();
    sh.b = el.minorAxis();
    el.getStartParam(sh.s);
    el.getEndParam(sh.e);
    return sh;
}

// The t in [lo, hi] closest to q: the best of a sampling, refined by Newton on
// (P(t) - q) . P'(t) = 0.
double closestParam(const Shape& sh, const AcGePoint3d& q, double lo, double hi) {
    auto dist2 = [&](double t) { return (sh.at(t) - q).lengthSqrd(); };
    double t = geom::minimize(dist2, lo, hi, 128);
    for (int i = 0; i < 50; ++i) {
        AcGeVector3d r = sh.at(t) - q, d1 = sh.d1(t), d2 = sh.c - sh.at(t);
        double g = r.dotProduct(d1), dg = d1.dotProduct(d1) + r.dotProduct(d2);
        if (dg <= 0) break;
        double next = std::clamp(t - g / dg, lo, hi);
        if (dist2(next) > dist2(t)) break;
        bool done = std::fabs(next - t) <= zel::tol::kParam;
        t = next;
        if (done) break;
    }
    return t;
}

} // namespace

AcDbEllipse::AcDbEllipse(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                         const AcGeVector3d& majorAxis, double radiusRatio, double startAngle,
                         double endAngle) {
    if (set(center, unitNormal, majorAxis, radiusRatio, startAngle, endAngle) != Acad::eOk)
        *this = AcDbEllipse();
}

Acad::ErrorStatus AcDbEllipse::set(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                                   const AcGeVector3d& majorAxis, double radiusRatio,
                                   double startAngle, double endAngle) {
    if (unitNormal.isZeroLength() || majorAxis.isZeroLength()) return Acad::eDegenerateGeometry;
    if (!(radiusRatio > 0 && radiusRatio <= 1 + zel::tol::kParam)) return Acad::eInvalidInput;
    if (std::fabs(unitNormal.normal().dotProduct(majorAxis.normal())) > zel::tol::kOnCurve)
        return Acad::eInvalidInput; // the major axis must lie in the plane
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mCenter = center;
    mNormal = unitNormal.normal();
    mMajorAxis = majorAxis;
    mRatio = std::min(radiusRatio, 1.0);
    mStartParam = paramAtAngle(startAngle);
    mEndParam = paramAtAngle(endAngle);
    if (std::fabs(endAngle - startAngle) >= geom::kTwoPi - zel::tol::kAngle) {
        mStartParam = 0;
        mEndParam = geom::kTwoPi;
    }
    return Acad::eOk;
}

AcGeVector3d AcDbEllipse::minorAxis() const {
    return mNormal.normal().crossProduct(mMajorAxis) * mRatio;
}

Acad::ErrorStatus AcDbEllipse::setCenter(const AcGePoint3d& c) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mCenter = c;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::setRadiusRatio(double ratio) {
    if (!(ratio > 0 && ratio <= 1 + zel::tol::kParam)) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mRatio = std::min(ratio, 1.0);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::setMajorAxis(const AcGeVector3d& axis) {
    if (axis.isZeroLength()) return Acad::eDegenerateGeometry;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mMajorAxis = axis;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::setStartParam(double param) {
    if (!std::isfinite(param)) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    mStartParam = geom::normalizeAngle(param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::setEndParam(double param) {
    if (!std::isfinite(param)) return Acad::eInvalidInput;
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    assertWriteEnabled();
    double p = geom::normalizeAngle(param);
    mEndParam = p == 0 && param > 0 ? geom::kTwoPi : p;
    return Acad::eOk;
}

// The point at angle a from the major axis satisfies tan a = ratio tan t.
double AcDbEllipse::paramAtAngle(double angle) const {
    double t = std::atan2(std::sin(angle), mRatio * std::cos(angle));
    return geom::normalizeAngle(t);
}

double AcDbEllipse::angleAtParam(double param) const {
    return geom::normalizeAngle(std::atan2(mRatio * std::sin(param), std::cos(param)));
}

bool AcDbEllipse::isFull() const {
    double sweep = std::fabs(mEndParam - mStartParam);
    return std::fabs(sweep - geom::kTwoPi) <= zel::tol::kParam || sweep <= zel::tol::kParam;
}

Acad::ErrorStatus AcDbEllipse::getStartParam(double& param) const {
    param = isFull() ? 0 : geom::normalizeAngle(mStartParam);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getEndParam(double& param) const {
    if (isFull()) {
        param = geom::kTwoPi;
        return Acad::eOk;
    }
    double s = geom::normalizeAngle(mStartParam);
    param = s + geom::sweepBetween(s, mEndParam);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getStartPoint(AcGePoint3d& point) const {
    Shape sh = shapeOf(*this);
    point = sh.at(sh.s);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getEndPoint(AcGePoint3d& point) const {
    Shape sh = shapeOf(*this);
    point = sh.at(sh.e);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getPointAtParam(double param, AcGePoint3d& point) const {
    Shape sh = shapeOf(*this);
    if (!sh.inRange(param)) return Acad::eInvalidInput;
    point = sh.at(param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    Shape sh = shapeOf(*this);
    double t = closestParam(sh, point, sh.s, sh.e);
    if (sh.at(t).distanceTo(point) > zel::tol::kOnCurve) return Acad::eInvalidInput;
    param = t;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getDistAtParam(double param, double& dist) const {
    Shape sh = shapeOf(*this);
    if (!sh.inRange(param)) return Acad::eInvalidInput;
    dist = geom::integrate([&](double t) { return sh.speed(t); }, sh.s, param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getParamAtDist(double dist, double& param) const {
    Shape sh = shapeOf(*this);
    auto lengthTo = [&](double t) {
        return geom::integrate([&](double u) { return sh.speed(u); }, sh.s, t);
    };
    double total = lengthTo(sh.e);
    if (dist < -zel::tol::kPoint || dist > total + zel::tol::kPoint) return Acad::eInvalidInput;
    // Newton on length(t) = dist, kept inside a shrinking bracket.
    if (total <= zel::tol::kPoint) {
        param = sh.s;
        return Acad::eOk;
    }
    double lo = sh.s, hi = sh.e, t = sh.s + (sh.e - sh.s) * (dist / total);
    for (int i = 0; i < 100; ++i) {
        double f = lengthTo(t) - dist;
        if (std::fabs(f) <= zel::tol::kPoint) break;
        (f > 0 ? hi : lo) = t;
        double next = t - f / std::max(sh.speed(t), zel::tol::kVectorLength);
        t = next > lo && next < hi ? next : (lo + hi) / 2;
        if (hi - lo <= zel::tol::kParam) break;
    }
    param = t;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getFirstDeriv(double param, AcGeVector3d& deriv) const {
    Shape sh = shapeOf(*this);
    if (!sh.inRange(param)) return Acad::eInvalidInput;
    deriv = sh.d1(param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                                 bool extend) const {
    Shape sh = shapeOf(*this);
    double lo = extend ? 0 : sh.s, hi = extend ? geom::kTwoPi : sh.e;
    closest = sh.at(closestParam(sh, given, lo, hi));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getArea(double& area) const {
    Shape sh = shapeOf(*this);
    double ab = sh.a.length() * sh.b.length();
    double sweep = sh.e - sh.s;
    // The affine image of a circular segment: (ab / 2)(sweep - sin sweep); pi ab when full.
    area = isFull() ? M_PI * ab : ab / 2 * (sweep - std::sin(sweep));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    Shape sh = shapeOf(*this);
    extents.addPoint(sh.at(sh.s));
    extents.addPoint(sh.at(sh.e));
    for (int i = 0; i < 3; ++i) {
        double base = std::atan2(sh.b[i], sh.a[i]);
        for (double t : {base, base + M_PI}) {
            double d = geom::normalizeAngle(t - sh.s);
            if (sh.s + d <= sh.e) extents.addPoint(sh.at(sh.s + d));
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::transformBy(const AcGeMatrix3d& xform) {
    if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
    double scale = 1;
    AcGeVector3d minor = minorAxis();
    if (!geom::scalesUniformly(xform, mMajorAxis.normal(), minor.normal(), scale))
        return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    bool full = isFull();
    mCenter = xform.apply(mCenter);
    mMajorAxis = xform.apply(mMajorAxis);
    mNormal = xform.apply(mNormal).normal();
    if (!xform.isMirror() || full) return Acad::eOk;
    // A mirror maps t to -t (the minor axis turns over): the range runs the other way.
    double s = mStartParam, e = mEndParam;
    mStartParam = geom::normalizeAngle(-e);
    mEndParam = geom::normalizeAngle(-s);
    if (mEndParam == 0) mEndParam = geom::kTwoPi;
    return Acad::eOk;
}
