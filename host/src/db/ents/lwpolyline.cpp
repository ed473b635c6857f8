// LWPOLYLINE: vertices with bulges and widths in the plane of the normal.
#include "arx/db.h"
#include "core/tolerance.h"
#include "db/ents/bulgechain.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"

#include <algorithm>
#include <cmath>

using zel::db::curve::BulgeChain;
using zel::db::curve::BulgeSegment;
using zel::db::curve::BulgeVertex;
using zel::db::curve::SegmentKind;
namespace ents = zel::db::ents;

ZEL_DEFINE_MEMBERS(AcDbPolyline, AcDbCurve)

namespace {

BulgeChain chainOf(const AcDbPolyline& pl) {
    std::vector<BulgeVertex> v;
    v.reserve(pl.numVerts());
    for (const AcDbPolyline::Vertex& x : pl.vertices())
        v.push_back({x.point, x.bulge});
    return BulgeChain(std::move(v), pl.isClosed());
}

} // namespace

// ---- vertices -----------------------------------------------------------------------------

Acad::ErrorStatus AcDbPolyline::addVertexAt(unsigned int index, const AcGePoint2d& pt, double bulge,
                                            double startWidth, double endWidth,
                                            int32_t vertexIdentifier) {
    if (index > mVertices.size()) return Acad::eInvalidIndex;
    if (!std::isfinite(pt.x) || !std::isfinite(pt.y) || !std::isfinite(bulge))
        return Acad::eInvalidInput;
    assertWriteEnabled();
    Vertex v;
    v.point = pt;
    v.bulge = bulge;
    v.startWidth = startWidth < 0 ? mConstantWidth : startWidth;
    v.endWidth = endWidth < 0 ? mConstantWidth : endWidth;
    v.id = vertexIdentifier;
    if ((startWidth >= 0 || endWidth >= 0) &&
        (v.startWidth != mConstantWidth || v.endWidth != mConstantWidth))
        mHasConstantWidth = false;
    mVertices.insert(mVertices.begin() + index, v);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::removeVertexAt(unsigned int index) {
    if (index >= mVertices.size()) return Acad::eInvalidIndex;
    assertWriteEnabled();
    mVertices.erase(mVertices.begin() + index);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::reset(bool reuse, unsigned int numVerts) {
    assertWriteEnabled();
    if (!reuse) numVerts = 0;
    if (numVerts < mVertices.size()) mVertices.resize(numVerts);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint2d& pt) const {
    if (index >= mVertices.size()) return Acad::eInvalidIndex;
    pt = mVertices[index].point;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint3d& pt) const {
    if (index >= mVertices.size()) return Acad::eInvalidIndex;
    const AcGePoint2d& p = mVertices[index].point;
    pt = ents::planeToWorld(mNormal, AcGePoint3d(p.x, p.y, mElevation));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setPointAt(unsigned int index, const AcGePoint2d& pt) {
    if (index >= mVertices.size()) return Acad::eInvalidIndex;
    assertWriteEnabled();
    mVertices[index].point = pt;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getBulgeAt(unsigned int index, double& bulge) const {
    if (index >= mVertices.size()) return Acad::eInvalidIndex;
    bulge = mVertices[index].bulge;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setBulgeAt(unsigned int index, double bulge) {
    if (index >= mVertices.size()) return Acad::eInvalidIndex;
    if (!std::isfinite(bulge)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mVertices[index].bulge = bulge;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getWidthsAt(unsigned int index, double& startWidth,
                                            double& endWidth) const {
    if (index >= mVertices.size()) return Acad::eInvalidIndex;
    startWidth = mVertices[index].startWidth;
    endWidth = mVertices[index].endWidth;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setWidthsAt(unsigned int index, double startWidth,
                                            double endWidth) {
    if (index >= mVertices.size()) return Acad::eInvalidIndex;
    if (!(startWidth >= 0) || !(endWidth >= 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mVertices[index].startWidth = startWidth;
    mVertices[index].endWidth = endWidth;
    mHasConstantWidth = false;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getVertexIdentifierAt(unsigned int index, int32_t& id) const {
    if (index >= mVertices.size()) return Acad::eInvalidIndex;
    id = mVertices[index].id;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getConstantWidth(double& width) const {
    if (mVertices.empty()) {
        width = mConstantWidth;
        return Acad::eOk;
    }
    width = mVertices.front().startWidth;
    for (const Vertex& v : mVertices)
        if (v.startWidth != width || v.endWidth != width) return Acad::eInvalidInput;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setConstantWidth(double width) {
    if (!(width >= 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mConstantWidth = width;
    mHasConstantWidth = true;
    for (Vertex& v : mVertices)
        v.startWidth = v.endWidth = width;
    return Acad::eOk;
}

bool AcDbPolyline::hasWidth() const {
    return std::any_of(mVertices.begin(), mVertices.end(),
                       [](const Vertex& v) { return v.startWidth != 0 || v.endWidth != 0; });
}

bool AcDbPolyline::hasBulges() const {
    return std::any_of(mVertices.begin(), mVertices.end(),
                       [](const Vertex& v) { return v.bulge != 0; });
}

// ---- segments -----------------------------------------------------------------------------

AcDbPolyline::SegType AcDbPolyline::segType(unsigned int index) const {
    unsigned n = numVerts();
    if (index >= n) return kEmpty;
    if (n == 1) return kPoint;
    if (index == n - 1 && !isClosed()) return kEmpty;
    BulgeSegment s{mVertices[index].point, mVertices[(index + 1) % n].point,
                   mVertices[index].bulge};
    switch (s.kind()) {
    case SegmentKind::Line:
        return kLine;
    case SegmentKind::Arc:
        return kArc;
    case SegmentKind::Coincident:
        return kCoincident;
    }
    return kEmpty;
}

Acad::ErrorStatus AcDbPolyline::getLineSegAt(unsigned int index, AcGeLineSeg2d& seg) const {
    if (segType(index) != kLine) return Acad::eNotApplicable;
    seg.set(mVertices[index].point, mVertices[(index + 1) % numVerts()].point);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getLineSegAt(unsigned int index, AcGeLineSeg3d& seg) const {
    if (segType(index) != kLine) return Acad::eNotApplicable;
    AcGePoint3d a, b;
    getPointAt(index, a);
    getPointAt((index + 1) % numVerts(), b);
    seg.set(a, b);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getArcSegAt(unsigned int index, AcGeCircArc2d& arc) const {
    if (segType(index) != kArc) return Acad::eNotApplicable;
    BulgeSegment s{mVertices[index].point, mVertices[(index + 1) % numVerts()].point,
                   mVertices[index].bulge};
    zel::db::curve::ArcOfBulge a = s.arc();
    bool clockwise = a.sweep < 0;
    // Angles of a clockwise arc are measured clockwise from the reference vector.
    double start = clockwise ? -a.startAngle : a.startAngle;
    arc = AcGeCircArc2d(a.center, a.radius, start, start + std::fabs(a.sweep), AcGeVector2d(1, 0),
                        clockwise);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getArcSegAt(unsigned int index, AcGeCircArc3d& arc) const {
    if (segType(index) != kArc) return Acad::eNotApplicable;
    BulgeSegment s{mVertices[index].point, mVertices[(index + 1) % numVerts()].point,
                   mVertices[index].bulge};
    zel::db::curve::ArcOfBulge a = s.arc();
    AcGePoint3d center =
        ents::planeToWorld(mNormal, AcGePoint3d(a.center.x, a.center.y, mElevation));
    AcGeVector3d normal = a.sweep >= 0 ? mNormal.normal() : -mNormal.normal();
    // Counter-clockwise about the arc's own normal from the start point.
    AcGePoint2d start = s.a;
    AcGeVector3d ref =
        ents::planeToWorld(mNormal, AcGeVector3d(start.x - a.center.x, start.y - a.center.y, 0));
    arc = AcGeCircArc3d(center, normal, ref.normal(), a.radius, 0, std::fabs(a.sweep));
    return Acad::eOk;
}

void AcDbPolyline::setClosed(bool closed) {
    assertWriteEnabled();
    mFlags = int16_t(closed ? (mFlags | 1) : (mFlags & ~1));
}

void AcDbPolyline::setPlinegen(bool on) {
    assertWriteEnabled();
    mFlags = int16_t(on ? (mFlags | 128) : (mFlags & ~128));
}

void AcDbPolyline::setElevation(double elevation) {
    assertWriteEnabled();
    mElevation = elevation;
}

Acad::ErrorStatus AcDbPolyline::setThickness(double thickness) {
    if (!std::isfinite(thickness)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mThickness = thickness;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setNormal(const AcGeVector3d& normal) {
    if (normal.isZeroLength()) return Acad::eInvalidInput;
    assertWriteEnabled();
    mNormal = normal.normal();
    return Acad::eOk;
}

// ---- curve queries --------------------------------------------------------------------------

namespace {

AcGePoint3d toWorld(const AcDbPolyline& pl, const AcGePoint2d& p) {
    return ents::planeToWorld(pl.normal(), AcGePoint3d(p.x, p.y, pl.elevation()));
}

AcGePoint2d toPlane(const AcDbPolyline& pl, const AcGePoint3d& p) {
    return ents::worldToPlane(pl.normal(), p).convert2d();
}

} // namespace

Acad::ErrorStatus AcDbPolyline::getStartParam(double& param) const {
    if (mVertices.empty()) return Acad::eDegenerateGeometry;
    param = 0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getEndParam(double& param) const {
    if (mVertices.empty()) return Acad::eDegenerateGeometry;
    param = chainOf(*this).endParam();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getStartPoint(AcGePoint3d& point) const {
    return getPointAtParam(0, point);
}

Acad::ErrorStatus AcDbPolyline::getEndPoint(AcGePoint3d& point) const {
    double end;
    if (Acad::ErrorStatus es = getEndParam(end); es != Acad::eOk) return es;
    return getPointAtParam(end, point);
}

Acad::ErrorStatus AcDbPolyline::getPointAtParam(double param, AcGePoint3d& point) const {
    AcGePoint2d p;
    if (!chainOf(*this).pointAt(param, p)) return Acad::eInvalidInput;
    point = toWorld(*this, p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    AcGePoint3d local = ents::worldToPlane(mNormal, point);
    if (std::fabs(local.z - mElevation) > zel::tol::kPoint) return Acad::eInvalidInput;
    AcGePoint2d closest;
    if (!chainOf(*this).closestParam(local.convert2d(), param, closest))
        return Acad::eDegenerateGeometry;
    return closest.distanceTo(local.convert2d()) <= zel::tol::kPoint ? Acad::eOk
                                                                     : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbPolyline::getDistAtParam(double param, double& dist) const {
    return chainOf(*this).distAt(param, dist) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbPolyline::getParamAtDist(double dist, double& param) const {
    return chainOf(*this).paramAtDist(dist, param) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbPolyline::getDistAtPoint(const AcGePoint3d& point, double& dist) const {
    double param;
    if (Acad::ErrorStatus es = getParamAtPoint(point, param); es != Acad::eOk) return es;
    return getDistAtParam(param, dist);
}

Acad::ErrorStatus AcDbPolyline::getPointAtDist(double dist, AcGePoint3d& point) const {
    double param;
    if (Acad::ErrorStatus es = getParamAtDist(dist, param); es != Acad::eOk) return es;
    return getPointAtParam(param, point);
}

Acad::ErrorStatus AcDbPolyline::getFirstDeriv(double param, AcGeVector3d& deriv) const {
    AcGeVector2d d;
    if (!chainOf(*this).derivAt(param, d)) return Acad::eInvalidInput;
    deriv = ents::planeToWorld(mNormal, AcGeVector3d(d.x, d.y, 0));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                                  bool) const {
    double param;
    AcGePoint2d p;
    if (!chainOf(*this).closestParam(toPlane(*this, given), param, p))
        return Acad::eDegenerateGeometry;
    closest = toWorld(*this, p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getArea(double& area) const {
    area = chainOf(*this).signedArea();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getGeomExtents(AcDbExtents& extents) const {
    AcGePoint2d mn, mx;
    if (!chainOf(*this).extents(mn, mx)) return Acad::eInvalidExtents;
    extents = AcDbExtents();
    for (double x : {mn.x, mx.x})
        for (double y : {mn.y, mx.y})
            for (double h : {0.0, mThickness})
                extents.addPoint(ents::planeToWorld(mNormal, AcGePoint3d(x, y, mElevation + h)));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::transformBy(const AcGeMatrix3d& xform) {
    ents::PlanarTransform t = ents::planarTransform(xform, mNormal);
    if (!t.uniform && hasBulges()) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    double elevation = 0;
    for (Vertex& v : mVertices) {
        AcGePoint3d w = xform * toWorld(*this, v.point);
        AcGePoint3d local = ents::worldToPlane(t.normal, w);
        v.point = local.convert2d();
        elevation = local.z;
        if (t.mirrored) v.bulge = -v.bulge;
        v.startWidth *= t.scale;
        v.endWidth *= t.scale;
    }
    if (mVertices.empty())
        elevation = ents::worldToPlane(t.normal, xform * toWorld(*this, {0, 0})).z;
    mElevation = elevation;
    mConstantWidth *= t.scale;
    mThickness *= t.scale;
    mNormal = t.normal;
    return Acad::eOk;
}

// ---- schema --------------------------------------------------------------------------------

namespace zel::db {

template <> struct KindSchema<AcDbPolyline> {
    static constexpr size_t kReservedVertices = 4096;

    static AcDbPolyline& self(AcDbObject& o) { return static_cast<AcDbPolyline&>(o); }

    // Room for the vertices the file announces, so that they are not copied as they come;
    // a count beyond reason (a damaged file) reserves no more than kReservedVertices.
    static void reserveDeclared(AcDbPolyline& p) {
        if (p.mDeclaredCount <= 0 || !p.mVertices.empty()) return;
        p.mVertices.reserve(std::min(size_t(p.mDeclaredCount), kReservedVertices));
    }

    static bool read(AcDbObject& o, const ZelGroupValue& v) {
        AcDbPolyline& p = self(o);
        auto& vs = p.mVertices;
        switch (v.code) {
        case 90:
            p.mDeclaredCount = int32_t(v.integer);
            reserveDeclared(p);
            return true;
        case 43:
            p.mConstantWidth = v.real;
            p.mHasConstantWidth = true;
            return true;
        case 10:
            vs.push_back({});
            vs.back().point = v.point.convert2d();
            return true;
        case 40:
        case 41:
        case 42:
        case 91:
            break;
        default:
            return false;
        }
        if (vs.empty()) return false; // a vertex value before any vertex: kept unknown
        AcDbPolyline::Vertex& last = vs.back();
        if (v.code == 40) last.startWidth = v.real;
        if (v.code == 41) last.endWidth = v.real;
        if (v.code == 42) last.bulge = v.real;
        if (v.code == 91) last.id = int32_t(v.integer);
        return true;
    }

    static void write(const AcDbObject& o, const GroupSink& sink) {
        const AcDbPolyline& p = static_cast<const AcDbPolyline&>(o);
        sink(ents::intGroup(90, int64_t(p.mVertices.size())));
        double constant = 0;
        bool isConstant = p.getConstantWidth(constant) == Acad::eOk;
        bool constantWritten = p.mHasConstantWidth && isConstant;
        if (constantWritten) sink(ents::realGroup(43, constant));
        bool widths = !constantWritten && p.hasWidth();
        for (const AcDbPolyline::Vertex& v : p.mVertices) {
            sink(ents::point2Group(10, v.point));
            if (v.id != 0) sink(ents::intGroup(91, v.id));
            if (widths) {
                sink(ents::realGroup(40, v.startWidth));
                sink(ents::realGroup(41, v.endWidth));
            }
            if (v.bulge != 0) sink(ents::realGroup(42, v.bulge));
        }
    }

    // A constant width (43) applies to vertices that give no width of their own.
    static void finish(AcDbObject& o) {
        AcDbPolyline& p = self(o);
        // A drawing holds many polylines: none keeps room for vertices it does not have.
        if (p.mVertices.capacity() > p.mVertices.size()) p.mVertices.shrink_to_fit();
        if (!p.mHasConstantWidth || p.hasWidth()) return;
        for (AcDbPolyline::Vertex& v : p.mVertices)
            v.startWidth = v.endWidth = p.mConstantWidth;
    }

    static void clear(AcDbObject& o) {
        AcDbPolyline& p = self(o);
        p.mVertices.clear();
        p.mHasConstantWidth = false;
        p.mConstantWidth = 0;
    }

    static const ObjectSchema& get() {
        static const ObjectSchema s{
            "LWPOLYLINE", true,
            ents::entitySubclasses(
                {{"AcDbPolyline",
                  {{70, FieldKind::Int16, ZEL_FIELD(AcDbPolyline, mFlags)},
                   {38, FieldKind::Real, ZEL_FIELD(AcDbPolyline, mElevation), kSkipDefault},
                   {39, FieldKind::Real, ZEL_FIELD(AcDbPolyline, mThickness), kSkipDefault},
                   {210, FieldKind::Vector3, ZEL_FIELD(AcDbPolyline, mNormal), kSkipDefault, 1.0,
                    L"", validNonZeroVector}},
                  {read, write, finish, clear}}}),
            createKind<AcDbPolyline>};
        return s;
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDbPolyline::kindSchema() {
    return zel::db::KindSchema<AcDbPolyline>::get();
}

namespace zel::db::ents {
const ObjectSchema& lwpolylineSchema() {
    return KindSchema<AcDbPolyline>::get();
}
} // namespace zel::db::ents
