// LEADER: vertices from the arrow to the note, the note's handle and the directions kept.
#include "arx/db.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "db/ents/bulgechain.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"

namespace ents = zel::db::ents;
using zel::db::curve::BulgeChain;
using zel::db::curve::BulgeVertex;

ZEL_DEFINE_MEMBERS(AcDbLeader, AcDbCurve)

AcGePoint3d AcDbLeader::vertexAt(int index) const {
    if (index < 0 || index >= numVertices()) return AcGePoint3d::kOrigin;
    return mVertices[index];
}

Acad::ErrorStatus AcDbLeader::setVertexAt(int index, const AcGePoint3d& p) {
    if (index < 0 || index >= numVertices()) return Acad::eInvalidIndex;
    assertWriteEnabled();
    mVertices[index] = p;
    return Acad::eOk;
}

bool AcDbLeader::appendVertex(const AcGePoint3d& p) {
    assertWriteEnabled();
    mVertices.push_back(p);
    return true;
}

void AcDbLeader::removeLastVertex() {
    if (mVertices.empty()) return;
    assertWriteEnabled();
    mVertices.pop_back();
}

AcGePoint3d AcDbLeader::firstVertex() const {
    return vertexAt(0);
}
AcGePoint3d AcDbLeader::lastVertex() const {
    return vertexAt(numVertices() - 1);
}

void AcDbLeader::enableArrowHead() {
    assertWriteEnabled();
    mArrow = 1;
}

void AcDbLeader::disableArrowHead() {
    assertWriteEnabled();
    mArrow = 0;
}

void AcDbLeader::setToSplineLeader() {
    assertWriteEnabled();
    mPathType = 1;
}

void AcDbLeader::setToStraightLeader() {
    assertWriteEnabled();
    mPathType = 0;
}

AcDbObjectId AcDbLeader::annotationObjId() const {
    AcDbDatabase* db = database();
    if (!db || mAnnotation.isNull()) return {};
    return db->impl().idOf(mAnnotation);
}

Acad::ErrorStatus AcDbLeader::attachAnnotation(AcDbObjectId id) {
    AcDbObject* note = zel::db::peek(id);
    if (!note) return Acad::eInvalidInput;
    assertWriteEnabled();
    mAnnotation = id.handle();
    mCreation = AcDbMText::cast(note) ? 0 : AcDbBlockReference::cast(note) ? 2 : 1;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::detachAnnotation() {
    assertWriteEnabled();
    mAnnotation = AcDbHandle();
    mCreation = 3;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::setAnnotationOffset(const AcGeVector3d& offset) {
    assertWriteEnabled();
    mAnnotationOffset = offset;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::setDimensionStyleName(const ACHAR* name) {
    if (!name || !*name) return Acad::eInvalidInput;
    assertWriteEnabled();
    mStyle = name;
    return Acad::eOk;
}

// ---- curve queries: the vertices as a straight chain in the leader's plane -------------------

namespace {

BulgeChain chainOf(const AcDbLeader& l) {
    std::vector<BulgeVertex> v;
    for (const AcGePoint3d& p : l.vertices())
        v.push_back({ents::worldToPlane(l.normal(), p).convert2d(), 0});
    return BulgeChain(std::move(v), false);
}

// The elevation of the plane: the leader's vertices all lie at the first one's.
double elevationOf(const AcDbLeader& l) {
    return l.vertices().empty() ? 0 : ents::worldToPlane(l.normal(), l.vertices().front()).z;
}

AcGePoint3d toWorld(const AcDbLeader& l, const AcGePoint2d& p) {
    return ents::planeToWorld(l.normal(), AcGePoint3d(p.x, p.y, elevationOf(l)));
}

} // namespace

Acad::ErrorStatus AcDbLeader::getStartParam(double& param) const {
    if (mVertices.empty()) return Acad::eDegenerateGeometry;
    param = 0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::getEndParam(double& param) const {
    if (mVertices.empty()) return Acad::eDegenerateGeometry;
    param = chainOf(*this).endParam();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::getStartPoint(AcGePoint3d& point) const {
    if (mVertices.empty()) return Acad::eDegenerateGeometry;
    point = mVertices.front();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::getEndPoint(AcGePoint3d& point) const {
    if (mVertices.empty()) return Acad::eDegenerateGeometry;
    point = mVertices.back();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::getPointAtParam(double param, AcGePoint3d& point) const {
    AcGePoint2d p;
    if (!chainOf(*this).pointAt(param, p)) return Acad::eInvalidInput;
    point = toWorld(*this, p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    AcGePoint3d local = ents::worldToPlane(mNormal, point);
    AcGePoint2d closest;
    if (!chainOf(*this).closestParam(local.convert2d(), param, closest))
        return Acad::eDegenerateGeometry;
    bool on = closest.distanceTo(local.convert2d()) <= zel::tol::kPoint &&
              std::fabs(local.z - elevationOf(*this)) <= zel::tol::kPoint;
    return on ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbLeader::getDistAtParam(double param, double& dist) const {
    return chainOf(*this).distAt(param, dist) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbLeader::getParamAtDist(double dist, double& param) const {
    return chainOf(*this).paramAtDist(dist, param) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbLeader::getFirstDeriv(double param, AcGeVector3d& deriv) const {
    AcGeVector2d d;
    if (!chainOf(*this).derivAt(param, d)) return Acad::eInvalidInput;
    deriv = ents::planeToWorld(mNormal, AcGeVector3d(d.x, d.y, 0));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& closest,
                                                bool) const {
    double param;
    AcGePoint2d p;
    if (!chainOf(*this).closestParam(ents::worldToPlane(mNormal, given).convert2d(), param, p))
        return Acad::eDegenerateGeometry;
    closest = toWorld(*this, p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::getGeomExtents(AcDbExtents& extents) const {
    if (mVertices.empty()) return Acad::eInvalidExtents;
    extents = AcDbExtents();
    for (const AcGePoint3d& p : mVertices)
        extents.addPoint(p);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLeader::transformBy(const AcGeMatrix3d& xform) {
    ents::PlanarTransform t = ents::planarTransform(xform, mNormal);
    assertWriteEnabled();
    for (AcGePoint3d& p : mVertices)
        p = xform * p;
    AcGeVector3d h = xform * mHorizontal;
    if (!h.isZeroLength()) mHorizontal = h.normal();
    mBlockOffset = xform * mBlockOffset;
    mAnnotationOffset = xform * mAnnotationOffset;
    mTextHeight *= t.scale;
    mTextWidth *= t.scale;
    mNormal = t.normal;
    return Acad::eOk;
}

// ---- schema --------------------------------------------------------------------------------

namespace zel::db {

template <> struct KindSchema<AcDbLeader> {
    static bool read(AcDbObject& o, const ZelGroupValue& v) {
        auto& l = static_cast<AcDbLeader&>(o);
        if (v.code == 76) {
            l.mReadCount = int32_t(v.integer);
            return true;
        }
        if (v.code != 10) return false;
        l.mVertices.push_back(v.point);
        return true;
    }

    static void write(const AcDbObject& o, const GroupSink& sink) {
        const auto& l = static_cast<const AcDbLeader&>(o);
        sink(ents::intGroup(76, int64_t(l.mVertices.size())));
        for (const AcGePoint3d& p : l.mVertices)
            sink(ents::pointGroup(10, p));
    }

    static void finish(AcDbObject& o) { static_cast<AcDbLeader&>(o).mReadCount = -1; }
    static void clear(AcDbObject& o) { static_cast<AcDbLeader&>(o).mVertices.clear(); }

    static const ObjectSchema& get() {
        using L = AcDbLeader;
        static const ObjectSchema s{
            "LEADER", true,
            ents::entitySubclasses(
                {{"AcDbLeader",
                  {{3, FieldKind::String, ZEL_FIELD(L, mStyle), kAlways, 0, L"", validName},
                   {71, FieldKind::Int16, ZEL_FIELD(L, mArrow)},
                   {72, FieldKind::Int16, ZEL_FIELD(L, mPathType)},
                   {73, FieldKind::Int16, ZEL_FIELD(L, mCreation)},
                   {74, FieldKind::Int16, ZEL_FIELD(L, mHookDirection)},
                   {75, FieldKind::Int16, ZEL_FIELD(L, mHookLine)},
                   {40, FieldKind::Real, ZEL_FIELD(L, mTextHeight)},
                   {41, FieldKind::Real, ZEL_FIELD(L, mTextWidth)},
                   {77, FieldKind::Int16, ZEL_FIELD(L, mColor), kSkipDefault},
                   {340, FieldKind::Handle, ZEL_FIELD(L, mAnnotation), kSkipDefault},
                   {210, FieldKind::Vector3, ZEL_FIELD(L, mNormal), kSkipDefault, 1.0, L"",
                    validNonZeroVector},
                   {211, FieldKind::Vector3, ZEL_FIELD(L, mHorizontal)},
                   {212, FieldKind::Vector3, ZEL_FIELD(L, mBlockOffset), kSkipDefault},
                   {213, FieldKind::Vector3, ZEL_FIELD(L, mAnnotationOffset), kSkipDefault}},
                  {read, write, finish, clear}}}),
            createKind<AcDbLeader>};
        return s;
    }
};

} // namespace zel::db

const zel::db::ObjectSchema& AcDbLeader::kindSchema() {
    return zel::db::KindSchema<AcDbLeader>::get();
}

namespace zel::db::ents {
const ObjectSchema& leaderSchema() {
    return KindSchema<AcDbLeader>::get();
}
} // namespace zel::db::ents
