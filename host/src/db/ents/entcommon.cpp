#include "db/ents/entcommon.h"

#include "core/tolerance.h"
#include "db/database_impl.h"

#include <cmath>
#include <cstring>

namespace zel::db::ents {

std::vector<SubclassSchema> entitySubclasses(std::vector<SubclassSchema> own) {
    std::vector<SubclassSchema> all;
    all.reserve(own.size() + 1);
    all.push_back(AcDbEntity::commonSchema());
    for (SubclassSchema& s : own)
        all.push_back(std::move(s));
    return all;
}

AcGePoint3d planeToWorld(const AcGeVector3d& normal, const AcGePoint3d& p) {
    return AcGeMatrix3d::planeToWorld(normal) * p;
}
AcGePoint3d worldToPlane(const AcGeVector3d& normal, const AcGePoint3d& p) {
    return AcGeMatrix3d::worldToPlane(normal) * p;
}
AcGeVector3d planeToWorld(const AcGeVector3d& normal, const AcGeVector3d& v) {
    return AcGeMatrix3d::planeToWorld(normal) * v;
}
AcGeVector3d worldToPlane(const AcGeVector3d& normal, const AcGeVector3d& v) {
    return AcGeMatrix3d::worldToPlane(normal) * v;
}

PlanarTransform planarTransform(const AcGeMatrix3d& xform, const AcGeVector3d& normal) {
    AcGeMatrix3d frame = AcGeMatrix3d::planeToWorld(normal);
    AcGeVector3d ox = frame * AcGeVector3d::kXAxis, oy = frame * AcGeVector3d::kYAxis;
    AcGeVector3d lx = xform * ox, ly = xform * oy;
    PlanarTransform t;
    AcGeVector3d oriented = lx.crossProduct(ly).normal();
    t.mirrored = xform.det() < 0;
    t.normal = t.mirrored ? -oriented : oriented;
    double a = lx.length(), b = ly.length();
    t.scale = a;
    double size = std::max({1.0, a, b});
    t.uniform = std::fabs(a - b) <= tol::kPoint * size &&
                std::fabs(lx.dotProduct(ly)) <= tol::kPoint * size * size;
    return t;
}

double angleInPlane(const AcGeVector3d& normal, const AcGeVector3d& direction) {
    AcGeVector3d d = worldToPlane(normal, direction);
    double a = std::atan2(d.y, d.x);
    return a < 0 ? a + 2 * M_PI : a;
}

AcGeVector3d directionInPlane(const AcGeVector3d& normal, double angle) {
    return planeToWorld(normal, AcGeVector3d(std::cos(angle), std::sin(angle), 0));
}

ACHAR* copyText(const std::wstring& text) {
    auto* out = new ACHAR[text.size() + 1];
    std::wmemcpy(out, text.c_str(), text.size() + 1);
    return out;
}

std::wstring recordName(AcDbObjectId id) {
    auto* record = peekAs<AcDbSymbolTableRecord>(id);
    return record ? record->name() : std::wstring();
}

namespace {

AcDbObjectId recordByName(const AcDbDatabase* db, DatabaseImpl::Table table,
                          const std::wstring& name) {
    if (!db || name.empty()) return {};
    auto* t = peekAs<AcDbSymbolTable>(db->impl().tableId(table));
    AcDbObjectId id;
    if (!t || t->getAt(name.c_str(), id) != Acad::eOk) return {};
    return id;
}

} // namespace

AcDbObjectId textStyleByName(const AcDbDatabase* db, const std::wstring& name) {
    return recordByName(db, DatabaseImpl::kStyle, name);
}
AcDbObjectId dimStyleByName(const AcDbDatabase* db, const std::wstring& name) {
    return recordByName(db, DatabaseImpl::kDimStyle, name);
}
AcDbObjectId blockByName(const AcDbDatabase* db, const std::wstring& name) {
    return recordByName(db, DatabaseImpl::kBlock, name);
}

} // namespace zel::db::ents
