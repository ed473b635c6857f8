// SPLINE: NURBS data (degree, knots, control points, weights) and fit data.
#include "arx/db.h"
#include "core/tolerance.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"
#include "db/ents/nurbs.h"

#include <cmath>

using zel::db::curve::Nurbs;
namespace ents = zel::db::ents;

ZEL_DEFINE_MEMBERS(AcDbSpline, AcDbCurve)

namespace {

// Samples per knot span for the area of a closed spline.
constexpr int kAreaSamplesPerSpan = 64;

} // namespace

AcDbSpline::AcDbSpline(const std::vector<AcGePoint3d>& fitPoints, int order, double fitTolerance) {
    setFitData(fitPoints, order - 1, fitTolerance, AcGeVector3d(), AcGeVector3d());
}

AcDbSpline::AcDbSpline(const std::vector<AcGePoint3d>& fitPoints, const AcGeVector3d& startTangent,
                       const AcGeVector3d& endTangent, int order, double fitTolerance) {
    setFitData(fitPoints, order - 1, fitTolerance, startTangent, endTangent);
}

AcDbSpline::AcDbSpline(int degree, bool rational, bool closed, bool periodic,
                       const std::vector<AcGePoint3d>& controlPoints,
                       const std::vector<double>& knots, const std::vector<double>& weights,
                       double controlPtTol, double knotTol) {
    setNurbsData(degree, rational, closed, periodic, controlPoints, knots, weights, controlPtTol,
                 knotTol);
}

const Nurbs* AcDbSpline::curve() const {
    if (mCurve) return mCurve.get();
    std::string why;
    std::optional<Nurbs> c;
    if (!mControlPoints.empty())
        c = Nurbs::make(mDegree, mKnots, mControlPoints,
                        isRational() ? mWeights : std::vector<double>{}, &why);
    else if (!mFitPoints.empty())
        c = Nurbs::interpolate(mFitPoints, mStartTangent, mEndTangent, &why);
    else
        why = "a spline needs control points or fit points";
    mCurveError = why;
    if (!c) return nullptr;
    mCurve = std::make_shared<const Nurbs>(std::move(*c));
    return mCurve.get();
}

bool AcDbSpline::isNull() const {
    return curve() == nullptr;
}

std::string AcDbSpline::nurbsError() const {
    curve();
    return mCurveError;
}

int AcDbSpline::degree() const {
    return mDegree;
}

bool AcDbSpline::isClosed() const {
    if (mFlags & kClosed) return true;
    const Nurbs* c = curve();
    if (!c) return false;
    return c->point(c->startParam()).isEqualTo(c->point(c->endParam()));
}

Acad::ErrorStatus AcDbSpline::getControlPointAt(int index, AcGePoint3d& point) const {
    if (index < 0 || index >= numControlPoints()) return Acad::eInvalidIndex;
    point = mControlPoints[index];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::setControlPointAt(int index, const AcGePoint3d& point) {
    if (index < 0 || index >= numControlPoints()) return Acad::eInvalidIndex;
    assertWriteEnabled();
    mControlPoints[index] = point;
    mFitPoints.clear(); // the fit data no longer describes the curve
    changed();
    return Acad::eOk;
}

double AcDbSpline::weightAt(int index) const {
    if (index < 0 || index >= numControlPoints()) return 0;
    return index < int(mWeights.size()) ? mWeights[index] : 1.0;
}

Acad::ErrorStatus AcDbSpline::setWeightAt(int index, double weight) {
    if (index < 0 || index >= numControlPoints()) return Acad::eInvalidIndex;
    if (!(weight > 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    if (mWeights.size() != mControlPoints.size()) mWeights.assign(mControlPoints.size(), 1.0);
    mWeights[index] = weight;
    mFlags = int16_t(mFlags | kRational);
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getFitPointAt(int index, AcGePoint3d& point) const {
    if (index < 0 || index >= numFitPoints()) return Acad::eInvalidIndex;
    point = mFitPoints[index];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::setFitPointAt(int index, const AcGePoint3d& point) {
    if (index < 0 || index >= numFitPoints()) return Acad::eInvalidIndex;
    std::vector<AcGePoint3d> fit = mFitPoints;
    fit[index] = point;
    return setFitData(fit, mDegree, mFitTolerance, mStartTangent, mEndTangent);
}

Acad::ErrorStatus AcDbSpline::getFitTangents(AcGeVector3d& startTangent,
                                             AcGeVector3d& endTangent) const {
    if (!hasFitData()) return Acad::eNotApplicable;
    startTangent = mStartTangent;
    endTangent = mEndTangent;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::setFitTangents(const AcGeVector3d& startTangent,
                                             const AcGeVector3d& endTangent) {
    if (!hasFitData()) return Acad::eNotApplicable;
    return setFitData(mFitPoints, mDegree, mFitTolerance, startTangent, endTangent);
}

Acad::ErrorStatus AcDbSpline::getNurbsData(int& degree, bool& rational, bool& closed,
                                           bool& periodic, std::vector<AcGePoint3d>& controlPoints,
                                           std::vector<double>& knots, std::vector<double>& weights,
                                           double& controlPtTol, double& knotTol) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    degree = c->degree();
    rational = isRational();
    closed = isClosed();
    periodic = isPeriodic();
    controlPoints = c->controlPoints();
    knots = c->knots();
    weights = rational ? c->weights() : std::vector<double>{};
    controlPtTol = mControlTolerance;
    knotTol = mKnotTolerance;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::setNurbsData(int degree, bool rational, bool closed, bool periodic,
                                           const std::vector<AcGePoint3d>& controlPoints,
                                           const std::vector<double>& knots,
                                           const std::vector<double>& weights, double controlPtTol,
                                           double knotTol) {
    std::vector<double> w = rational ? weights : std::vector<double>{};
    if (!Nurbs::make(degree, knots, controlPoints, w, nullptr)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mDegree = int16_t(degree);
    mControlPoints = controlPoints;
    mKnots = knots;
    mWeights = w;
    mFitPoints.clear();
    mStartTangent = mEndTangent = AcGeVector3d();
    int16_t keep = int16_t(mFlags & (kPlanar | kLinear));
    mFlags = int16_t(keep | (closed ? kClosed : 0) | (periodic ? kPeriodic : 0) |
                     (rational ? kRational : 0));
    if (controlPtTol > 0) mControlTolerance = controlPtTol;
    if (knotTol > 0) mKnotTolerance = knotTol;
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::setFitData(const std::vector<AcGePoint3d>& fitPoints, int degree,
                                         double fitTolerance, const AcGeVector3d& startTangent,
                                         const AcGeVector3d& endTangent) {
    std::optional<Nurbs> c = Nurbs::interpolate(fitPoints, startTangent, endTangent, nullptr);
    if (!c || degree < 1) return Acad::eInvalidInput;
    assertWriteEnabled();
    mFitPoints = fitPoints;
    // Tangents are kept as directions (unit vectors, or zero when not given).
    mStartTangent = startTangent.isZeroLength() ? AcGeVector3d() : startTangent.normal();
    mEndTangent = endTangent.isZeroLength() ? AcGeVector3d() : endTangent.normal();
    if (fitTolerance > 0) mFitTolerance = fitTolerance;
    mDegree = int16_t(c->degree());
    mKnots = c->knots();
    mControlPoints = c->controlPoints();
    mWeights.clear();
    mFlags = int16_t(mFlags & ~(kRational | kPeriodic));
    changed();
    return Acad::eOk;
}

// ---- curve queries --------------------------------------------------------------------------

Acad::ErrorStatus AcDbSpline::getStartParam(double& param) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    param = c->startParam();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getEndParam(double& param) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    param = c->endParam();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getStartPoint(AcGePoint3d& point) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    point = c->point(c->startParam());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getEndPoint(AcGePoint3d& point) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    point = c->point(c->endParam());
    return Acad::eOk;
}

namespace {

bool inDomain(const Nurbs& c, double u) {
    return u >= c.startParam() - zel::tol::kParam && u <= c.endParam() + zel::tol::kParam;
}

} // namespace

Acad::ErrorStatus AcDbSpline::getPointAtParam(double param, AcGePoint3d& point) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    if (!inDomain(*c, param)) return Acad::eInvalidInput;
    point = c->point(param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    double u = c->closestParam(point);
    if (c->point(u).distanceTo(point) > zel::tol::kPoint) return Acad::eInvalidInput;
    param = u;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getDistAtParam(double param, double& dist) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    if (!inDomain(*c, param)) return Acad::eInvalidInput;
    dist = c->length(c->startParam(), param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getParamAtDist(double dist, double& param) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    if (dist < -zel::tol::kPoint || dist > c->length() + zel::tol::kPoint)
        return Acad::eInvalidInput;
    param = c->paramAtLength(dist);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getDistAtPoint(const AcGePoint3d& point, double& dist) const {
    double param;
    if (Acad::ErrorStatus es = getParamAtPoint(point, param); es != Acad::eOk) return es;
    return getDistAtParam(param, dist);
}

Acad::ErrorStatus AcDbSpline::getPointAtDist(double dist, AcGePoint3d& point) const {
    double param;
    if (Acad::ErrorStatus es = getParamAtDist(dist, param); es != Acad::eOk) return es;
    return getPointAtParam(param, point);
}

Acad::ErrorStatus AcDbSpline::getFirstDeriv(double param, AcGeVector3d& deriv) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    if (!inDomain(*c, param)) return Acad::eInvalidInput;
    deriv = c->firstDeriv(param);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                                bool) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    closest = c->point(c->closestParam(given));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getArea(double& area) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eDegenerateGeometry;
    // Shoelace sum over a dense sampling, in the plane of the normal.
    std::vector<double> knots = c->knots();
    int spans = 0;
    for (size_t i = 1; i < knots.size(); ++i)
        if (knots[i] > knots[i - 1]) ++spans;
    int n = std::max(1, spans) * kAreaSamplesPerSpan;
    double twice = 0, u0 = c->startParam(), u1 = c->endParam();
    AcGePoint3d prev = ents::worldToPlane(mNormal, c->point(u0)), first = prev;
    for (int i = 1; i <= n; ++i) {
        AcGePoint3d p = ents::worldToPlane(mNormal, c->point(u0 + (u1 - u0) * i / n));
        twice += prev.x * p.y - p.x * prev.y;
        prev = p;
    }
    twice += prev.x * first.y - first.x * prev.y;
    area = twice / 2;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::getGeomExtents(AcDbExtents& extents) const {
    const Nurbs* c = curve();
    if (!c) return Acad::eInvalidExtents;
    extents = c->extents();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSpline::transformBy(const AcGeMatrix3d& xform) {
    assertWriteEnabled();
    for (AcGePoint3d& p : mControlPoints)
        p = xform * p;
    for (AcGePoint3d& p : mFitPoints)
        p = xform * p;
    if (!mStartTangent.isZeroLength()) mStartTangent = (xform * mStartTangent).normal();
    if (!mEndTangent.isZeroLength()) mEndTangent = (xform * mEndTangent).normal();
    mNormal = ents::planarTransform(xform, mNormal).normal;
    changed();
    return Acad::eOk;
}

// ---- schema --------------------------------------------------------------------------------

namespace zel::db {

template <> struct KindSchema<AcDbSpline> {
    static AcDbSpline& self(AcDbObject& o) { return static_cast<AcDbSpline&>(o); }

    static bool read(AcDbObject& o, const ZelGroupValue& v) {
        AcDbSpline& s = self(o);
        switch (v.code) {
        case 72:
            s.mReadKnotCount = int32_t(v.integer);
            return true;
        case 73:
            s.mReadControlCount = int32_t(v.integer);
            return true;
        case 74:
            s.mReadFitCount = int32_t(v.integer);
            return true;
        case 40:
            s.mKnots.push_back(v.real);
            break;
        case 41:
            s.mWeights.push_back(v.real);
            break;
        case 10:
            s.mControlPoints.push_back(v.point);
            break;
        case 11:
            s.mFitPoints.push_back(v.point);
            break;
        default:
            return false;
        }
        s.changed();
        return true;
    }

    static void write(const AcDbObject& o, const GroupSink& sink) {
        const AcDbSpline& s = static_cast<const AcDbSpline&>(o);
        sink(ents::intGroup(72, int64_t(s.mKnots.size())));
        sink(ents::intGroup(73, int64_t(s.mControlPoints.size())));
        sink(ents::intGroup(74, int64_t(s.mFitPoints.size())));
        for (double k : s.mKnots)
            sink(ents::realGroup(40, k));
        bool weights = s.mWeights.size() == s.mControlPoints.size() && s.isRational();
        for (size_t i = 0; i < s.mControlPoints.size(); ++i) {
            sink(ents::pointGroup(10, s.mControlPoints[i]));
            if (weights) sink(ents::realGroup(41, s.mWeights[i]));
        }
        for (const AcGePoint3d& p : s.mFitPoints)
            sink(ents::pointGroup(11, p));
    }

    // Weights of a curve that is not rational, or that are all 1, describe nothing.
    static void finish(AcDbObject& o) {
        AcDbSpline& s = self(o);
        if (!s.isRational() && !s.mWeights.empty()) {
            bool allOne = true;
            for (double w : s.mWeights)
                allOne = allOne && w == 1.0;
            if (allOne)
                s.mWeights.clear();
            else
                s.mFlags = int16_t(s.mFlags | AcDbSpline::kRational);
        }
        s.mReadKnotCount = s.mReadControlCount = s.mReadFitCount = -1;
        s.changed();
    }

    static void clear(AcDbObject& o) {
        AcDbSpline& s = self(o);
        s.mKnots.clear();
        s.mWeights.clear();
        s.mControlPoints.clear();
        s.mFitPoints.clear();
        s.changed();
    }

    static bool validDegree(const ZelGroupValue& v) { return v.integer >= 1 && v.integer <= 25; }

    static const ObjectSchema& get() {
        using S = AcDbSpline;
        static const ObjectSchema s{
            "SPLINE", true,
            ents::entitySubclasses(
                {{"AcDbSpline",
                  {{210, FieldKind::Vector3, ZEL_FIELD(S, mNormal), kSkipDefault, 1.0, L"",
                    validNonZeroVector},
                   {70, FieldKind::Int16, ZEL_FIELD(S, mFlags)},
                   {71, FieldKind::Int16, ZEL_FIELD(S, mDegree), kAlways, 0, L"", validDegree},
                   {42, FieldKind::Real, ZEL_FIELD(S, mKnotTolerance), kAlways, 0, L"",
                    validNonNegative},
                   {43, FieldKind::Real, ZEL_FIELD(S, mControlTolerance), kAlways, 0, L"",
                    validNonNegative},
                   {44, FieldKind::Real, ZEL_FIELD(S, mFitTolerance), kSkipDefault,
                    AcDbSpline::kDxfDefaultTolerance, L"", validNonNegative},
                   {12, FieldKind::Vector3, ZEL_FIELD(S, mStartTangent), kSkipDefault},
                   {13, FieldKind::Vector3, ZEL_FIELD(S, mEndTangent), kSkipDefault}},
                  {read, write, finish, clear}}}),
            createKind<AcDbSpline>};
        return s;
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDbSpline::kindSchema() {
    return zel::db::KindSchema<AcDbSpline>::get();
}

namespace zel::db::ents {
const ObjectSchema& splineSchema() {
    return KindSchema<AcDbSpline>::get();
}
} // namespace zel::db::ents
