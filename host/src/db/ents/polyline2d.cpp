// POLYLINE: a 2-D polyline whose vertices are VERTEX objects owned by it.
#include "arx/db.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "db/ents/bulgechain.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"

#include <cmath>
#include <cstring>

using zel::db::curve::BulgeChain;
using zel::db::curve::BulgeVertex;
namespace ents = zel::db::ents;

ZEL_DEFINE_MEMBERS(AcDb2dPolyline, AcDbCurve)

AcDb2dPolyline::AcDb2dPolyline(AcDb::Poly2dType type, const std::vector<AcGePoint3d>& vertices,
                               double elevation, bool closed, double defStartWidth,
                               double defEndWidth, const std::vector<double>* bulges)
    : mFlags(closed ? 1 : 0), mElevation(0, 0, elevation), mDefaultStartWidth(defStartWidth),
      mDefaultEndWidth(defEndWidth) {
    setPolyType(type);
    for (size_t i = 0; i < vertices.size(); ++i) {
        double bulge = bulges && i < bulges->size() ? (*bulges)[i] : 0.0;
        AcGePoint3d p(vertices[i].x, vertices[i].y, elevation);
        mSub.append(*this, std::make_unique<AcDb2dVertex>(p, bulge, defStartWidth, defEndWidth),
                    nullptr);
    }
}

std::unique_ptr<AcDb2dPolyline> AcDb2dPolyline::withFlavour(Flavour flavour) {
    auto p = std::make_unique<AcDb2dPolyline>();
    static constexpr int16_t kFlags[] = {0, 8, 16, 64};
    p->mFlags = kFlags[flavour];
    return p;
}

AcDb2dPolyline::Flavour AcDb2dPolyline::flavour() const {
    if (mFlags & 64) return kPolyFaceMesh;
    if (mFlags & 16) return kPolygonMesh;
    if (mFlags & 8) return k3d;
    return k2d;
}

AcDb::Poly2dType AcDb2dPolyline::polyType() const {
    if (mFlags & 2) return AcDb::k2dFitCurvePoly;
    if (!(mFlags & 4)) return AcDb::k2dSimplePoly;
    return mCurveType == 5 ? AcDb::k2dQuadSplinePoly : AcDb::k2dCubicSplinePoly;
}

Acad::ErrorStatus AcDb2dPolyline::setPolyType(AcDb::Poly2dType type) {
    assertWriteEnabled();
    mFlags = int16_t(mFlags & ~6);
    mCurveType = 0;
    switch (type) {
    case AcDb::k2dSimplePoly:
        break;
    case AcDb::k2dFitCurvePoly:
        mFlags = int16_t(mFlags | 2);
        break;
    case AcDb::k2dQuadSplinePoly:
        mFlags = int16_t(mFlags | 4);
        mCurveType = 5;
        break;
    case AcDb::k2dCubicSplinePoly:
        mFlags = int16_t(mFlags | 4);
        mCurveType = 6;
        break;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::makeClosed() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags | 1);
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::makeOpen() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags & ~1);
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::setLinetypeGenerationOn() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags | 128);
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::setLinetypeGenerationOff() {
    assertWriteEnabled();
    mFlags = int16_t(mFlags & ~128);
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::setDefaultStartWidth(double w) {
    if (!(w >= 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mDefaultStartWidth = w;
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::setDefaultEndWidth(double w) {
    if (!(w >= 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mDefaultEndWidth = w;
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::setElevation(double elevation) {
    assertWriteEnabled();
    mElevation.z = elevation;
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::setThickness(double thickness) {
    assertWriteEnabled();
    mThickness = thickness;
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::setNormal(const AcGeVector3d& normal) {
    if (normal.isZeroLength()) return Acad::eInvalidInput;
    assertWriteEnabled();
    mNormal = normal.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::appendVertex(AcDb2dVertex* vertex) {
    AcDbObjectId id;
    return appendVertex(id, vertex);
}

Acad::ErrorStatus AcDb2dPolyline::appendVertex(AcDbObjectId& vertexId, AcDb2dVertex* vertex) {
    if (!vertex) return Acad::eNullEntityPointer;
    if (!vertex->objectId().isNull()) return Acad::eAlreadyInDb;
    // The polyline owns the vertex from here on (as the API's contract says).
    return mSub.append(*this, std::unique_ptr<AcDbEntity>(vertex), &vertexId);
}

std::vector<AcDb2dPolyline::VertexData> AcDb2dPolyline::vertexData() const {
    std::vector<VertexData> out;
    auto add = [&](const AcDb2dVertex* v) {
        if (!v || (v->vertexFlags() & 128 && !(v->vertexFlags() & 64))) return; // face records
        if (v->vertexFlags() & 16) return; // spline frame points are not on the curve
        out.push_back({v->position(), v->bulge(), v->startWidth(), v->endWidth()});
    };
    for (const auto& e : mSub.pending())
        add(AcDb2dVertex::cast(e.get()));
    for (AcDbObjectId id : mSub.ids())
        if (!id.isErased()) add(zel::db::peekAs<AcDb2dVertex>(id));
    return out;
}

AcGePoint3d AcDb2dPolyline::vertexPosition(const AcDb2dVertex& vertex) const {
    AcGePoint3d p = vertex.position();
    return ents::planeToWorld(mNormal, AcGePoint3d(p.x, p.y, mElevation.z));
}

// ---- curve queries --------------------------------------------------------------------------

namespace {

BulgeChain chainOf(const AcDb2dPolyline& pl) {
    std::vector<BulgeVertex> v;
    for (const AcDb2dPolyline::VertexData& d : pl.vertexData())
        v.push_back({d.position.convert2d(), d.bulge});
    return BulgeChain(std::move(v), pl.isClosed());
}

AcGePoint3d toWorld(const AcDb2dPolyline& pl, const AcGePoint2d& p) {
    return ents::planeToWorld(pl.normal(), AcGePoint3d(p.x, p.y, pl.elevation()));
}

} // namespace

Acad::ErrorStatus AcDb2dPolyline::getStartParam(double& param) const {
    param = 0;
    return chainOf(*this).vertexCount() > 0 ? Acad::eOk : Acad::eDegenerateGeometry;
}

Acad::ErrorStatus AcDb2dPolyline::getEndParam(double& param) const {
    BulgeChain c = chainOf(*this);
    if (c.vertexCount() == 0) return Acad::eDegenerateGeometry;
    param = c.endParam();
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::getStartPoint(AcGePoint3d& point) const {
    return getPointAtParam(0, point);
}

Acad::ErrorStatus AcDb2dPolyline::getEndPoint(AcGePoint3d& point) const {
    double end;
    if (Acad::ErrorStatus es = getEndParam(end); es != Acad::eOk) return es;
    return getPointAtParam(end, point);
}

Acad::ErrorStatus AcDb2dPolyline::getPointAtParam(double param, AcGePoint3d& point) const {
    AcGePoint2d p;
    if (!chainOf(*this).pointAt(param, p)) return Acad::eInvalidInput;
    point = toWorld(*this, p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    AcGePoint3d local = ents::worldToPlane(mNormal, point);
    if (std::fabs(local.z - mElevation.z) > zel::tol::kPoint) return Acad::eInvalidInput;
    AcGePoint2d closest;
    if (!chainOf(*this).closestParam(local.convert2d(), param, closest))
        return Acad::eDegenerateGeometry;
    return closest.distanceTo(local.convert2d()) <= zel::tol::kPoint ? Acad::eOk
                                                                     : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDb2dPolyline::getDistAtParam(double param, double& dist) const {
    return chainOf(*this).distAt(param, dist) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDb2dPolyline::getParamAtDist(double dist, double& param) const {
    return chainOf(*this).paramAtDist(dist, param) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDb2dPolyline::getDistAtPoint(const AcGePoint3d& point, double& dist) const {
    double param;
    if (Acad::ErrorStatus es = getParamAtPoint(point, param); es != Acad::eOk) return es;
    return getDistAtParam(param, dist);
}

Acad::ErrorStatus AcDb2dPolyline::getPointAtDist(double dist, AcGePoint3d& point) const {
    double param;
    if (Acad::ErrorStatus es = getParamAtDist(dist, param); es != Acad::eOk) return es;
    return getPointAtParam(param, point);
}

Acad::ErrorStatus AcDb2dPolyline::getFirstDeriv(double param, AcGeVector3d& deriv) const {
    AcGeVector2d d;
    if (!chainOf(*this).derivAt(param, d)) return Acad::eInvalidInput;
    deriv = ents::planeToWorld(mNormal, AcGeVector3d(d.x, d.y, 0));
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                                    bool) const {
    double param;
    AcGePoint2d p;
    AcGePoint2d local = ents::worldToPlane(mNormal, given).convert2d();
    if (!chainOf(*this).closestParam(local, param, p)) return Acad::eDegenerateGeometry;
    closest = toWorld(*this, p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::getArea(double& area) const {
    area = chainOf(*this).signedArea();
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::getGeomExtents(AcDbExtents& extents) const {
    AcGePoint2d mn, mx;
    if (!chainOf(*this).extents(mn, mx)) return Acad::eInvalidExtents;
    extents = AcDbExtents();
    for (double x : {mn.x, mx.x})
        for (double y : {mn.y, mx.y})
            for (double h : {0.0, mThickness})
                extents.addPoint(ents::planeToWorld(mNormal, AcGePoint3d(x, y, mElevation.z + h)));
    return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::transformBy(const AcGeMatrix3d& xform) {
    ents::PlanarTransform t = ents::planarTransform(xform, mNormal);
    std::vector<AcDb2dVertex*> vertices;
    for (const auto& e : mSub.pending())
        vertices.push_back(AcDb2dVertex::cast(e.get()));
    for (AcDbObjectId id : mSub.ids())
        if (AcDb2dVertex* v = zel::db::peekAs<AcDb2dVertex>(id)) vertices.push_back(v);
    bool bulges = false;
    for (AcDb2dVertex* v : vertices)
        bulges = bulges || (v && v->bulge() != 0);
    if (!t.uniform && bulges) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    AcGePoint3d newElevation =
        ents::worldToPlane(t.normal, xform * ents::planeToWorld(mNormal, mElevation));
    for (AcDb2dVertex* v : vertices) {
        if (!v) continue;
        if (!v->objectId().isNull()) zel::db::noteChange(*v);
        AcGePoint3d p = v->position();
        AcGePoint3d w = xform * ents::planeToWorld(mNormal, AcGePoint3d(p.x, p.y, mElevation.z));
        AcGePoint3d local = ents::worldToPlane(t.normal, w);
        newElevation.z = local.z;
        v->setPositionRaw(AcGePoint3d(local.x, local.y, local.z));
        if (t.mirrored) v->setBulgeRaw(-v->bulge());
        v->setWidthsRaw(v->startWidth() * t.scale, v->endWidth() * t.scale);
    }
    mElevation = AcGePoint3d(0, 0, newElevation.z);
    mDefaultStartWidth *= t.scale;
    mDefaultEndWidth *= t.scale;
    mThickness *= t.scale;
    mNormal = t.normal;
    return Acad::eOk;
}

// ---- schema --------------------------------------------------------------------------------

namespace zel::db {

template <> struct KindSchema<AcDb2dPolyline> {
    static std::vector<FieldDesc> fields() {
        using P = AcDb2dPolyline;
        return {
            {66, FieldKind::Int16, ZEL_FIELD(P, mHasVerticesFollow)},
            {10, FieldKind::Point3, ZEL_FIELD(P, mElevation)},
            {39, FieldKind::Real, ZEL_FIELD(P, mThickness), kSkipDefault},
            {70, FieldKind::Int16, ZEL_FIELD(P, mFlags)},
            {40, FieldKind::Real, ZEL_FIELD(P, mDefaultStartWidth), kSkipDefault, 0, L"",
             validNonNegative},
            {41, FieldKind::Real, ZEL_FIELD(P, mDefaultEndWidth), kSkipDefault, 0, L"",
             validNonNegative},
            {71, FieldKind::Int16, ZEL_FIELD(P, mMeshM), kSkipDefault},
            {72, FieldKind::Int16, ZEL_FIELD(P, mMeshN), kSkipDefault},
            {73, FieldKind::Int16, ZEL_FIELD(P, mSmoothM), kSkipDefault},
            {74, FieldKind::Int16, ZEL_FIELD(P, mSmoothN), kSkipDefault},
            {75, FieldKind::Int16, ZEL_FIELD(P, mCurveType), kSkipDefault},
            {210, FieldKind::Vector3, ZEL_FIELD(P, mNormal), kSkipDefault, 1.0, L"",
             validNonZeroVector},
        };
    }

    template <AcDb2dPolyline::Flavour F> static std::unique_ptr<AcDbObject> create() {
        return AcDb2dPolyline::withFlavour(F);
    }

    static ObjectSchema make(const char* marker, std::unique_ptr<AcDbObject> (*create)()) {
        ObjectSchema s{"POLYLINE", true, ents::entitySubclasses({{marker, fields(), {}}}), create};
        s.variant = ents::polylineVariant;
        return s;
    }

    static const ObjectSchema& get(AcDb2dPolyline::Flavour f) {
        using P = AcDb2dPolyline;
        static const ObjectSchema schemas[] = {
            make("AcDb2dPolyline", create<P::k2d>),
            make("AcDb3dPolyline", create<P::k3d>),
            make("AcDbPolygonMesh", create<P::kPolygonMesh>),
            make("AcDbPolyFaceMesh", create<P::kPolyFaceMesh>),
        };
        return schemas[f];
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDb2dPolyline::schema() const {
    return zel::db::KindSchema<AcDb2dPolyline>::get(flavour());
}

namespace zel::db::ents {

const ObjectSchema& polylineSchema(AcDb2dPolyline::Flavour flavour) {
    return KindSchema<AcDb2dPolyline>::get(flavour);
}

const ObjectSchema* polylineVariant(const std::vector<ZelGroupValue>& groups) {
    static const wchar_t* const markers[] = {L"AcDb2dPolyline", L"AcDb3dPolyline",
                                             L"AcDbPolygonMesh", L"AcDbPolyFaceMesh"};
    int16_t flags = 0;
    for (const ZelGroupValue& g : groups) {
        if (g.code == 70) flags = int16_t(g.integer);
        if (g.code != 100) continue;
        for (int i = 0; i < 4; ++i)
            if (g.text == markers[i]) return &polylineSchema(AcDb2dPolyline::Flavour(i));
    }
    AcDb2dPolyline::Flavour f = (flags & 64)   ? AcDb2dPolyline::kPolyFaceMesh
                                : (flags & 16) ? AcDb2dPolyline::kPolygonMesh
                                : (flags & 8)  ? AcDb2dPolyline::k3d
                                               : AcDb2dPolyline::k2d;
    return &polylineSchema(f);
}

} // namespace zel::db::ents

namespace zel::db::ents {
void addPendingSubEntities(AcDbEntity& owner, ZelSubEntities& list);
}

void AcDb2dPolyline::subEntitiesJoinDatabase() {
    ents::addPendingSubEntities(*this, mSub);
}
