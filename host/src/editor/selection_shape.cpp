// Entities as curves for the selection tests (see selection_shape.h).
#include "editor/selection_shape.h"

#include "core/tolerance.h"
#include "db/database_impl.h"
#include "db/planar.h"
#include "db/region_curves.h"

#include <cmath>

namespace zel::editor {

namespace {

using geom::Curve;
using geom::Vec2;

// References inside references deeper than this are drawn as their boxes (a block that
// contains itself, through a damaged drawing, ends here).
constexpr int kMaxNesting = 16;

Vec2 xy(const AcGePoint3d& p) {
    return {p.x, p.y};
}

// A plane not parallel to XY (facing 0) is drawn as its box.
int facing(const AcGeVector3d& n) {
    return db::planeFacing(n);
}

void addOutline(Shape& s, const std::vector<Vec2>& corners, bool closed) {
    geom::Polyline p;
    for (Vec2 c : corners)
        p.vertices.push_back({c, 0});
    p.closed = closed;
    s.curves.push_back(std::move(p));
}

void addBox(Shape& s, const AcDbEntity& e) {
    AcDbExtents ext;
    if (e.getGeomExtents(ext) != Acad::eOk || ext.isEmpty()) return;
    Vec2 lo = xy(ext.minPoint()), hi = xy(ext.maxPoint());
    if (lo == hi) {
        s.points.push_back(lo);
        return;
    }
    addOutline(s, {lo, {hi.x, lo.y}, hi, {lo.x, hi.y}}, true);
}

void addArc(Shape& s, const AcDbArc& a) {
    AcGePoint3d p0, p1;
    a.getStartPoint(p0);
    a.getEndPoint(p1);
    Vec2 c = xy(a.center());
    double a0 = geom::angleOf(xy(p0) - c), a1 = geom::angleOf(xy(p1) - c);
    int f = facing(a.normal());
    if (f == 0) return addBox(s, a);
    s.curves.push_back(f > 0 ? geom::arcFromAngles(c, a.radius(), a0, a1)
                             : geom::arcFromAngles(c, a.radius(), a1, a0));
}

void addEllipse(Shape& s, const AcDbEllipse& e) {
    int f = facing(e.normal());
    if (f == 0) return addBox(s, e);
    Vec2 major = xy(AcGePoint3d::kOrigin + e.majorAxis());
    double t0 = e.startParam(), t1 = e.endParam();
    bool full = std::abs(t1 - t0 - geom::kTwoPi) < tol::kAngle || t1 == t0;
    if (full) t0 = 0, t1 = geom::kTwoPi;
    if (f < 0) std::swap(t0, t1), t0 = -t0, t1 = -t1;
    s.curves.push_back(geom::ellipseFromParams(xy(e.center()), major, e.radiusRatio(), t0, t1));
}

void addSpline(Shape& s, const AcDbSpline& sp) {
    int degree;
    bool rational, closed, periodic;
    std::vector<AcGePoint3d> points;
    geom::Nurbs n;
    double ptTol, knotTol;
    if (sp.getNurbsData(degree, rational, closed, periodic, points, n.knots, n.weights, ptTol,
                        knotTol) != Acad::eOk)
        return addBox(s, sp);
    n.degree = degree;
    for (const AcGePoint3d& p : points)
        n.points.push_back(xy(p));
    if (!rational) n.weights.clear();
    Curve c = n;
    if (!geom::validate(c).empty()) return addBox(s, sp);
    s.curves.push_back(std::move(c));
}

void addPolyline(Shape& s, const AcDbPolyline& p) {
    int f = facing(p.normal());
    if (f == 0) return addBox(s, p);
    geom::Polyline out = db::planarPolyline(p, f);
    if (out.vertices.size() == 1) return s.points.push_back(out.vertices[0].point);
    if (!out.vertices.empty()) s.curves.push_back(std::move(out));
}

void addPolyline2d(Shape& s, const AcDb2dPolyline& p) {
    int f = facing(p.normal());
    if (f == 0) return addBox(s, p);
    geom::Polyline out;
    for (AcDbObjectId id : p.vertexIds()) {
        auto* v = db::peekAs<AcDb2dVertex>(id);
        if (!v || id.isErased()) continue;
        AcGePoint3d pos = v->position();
        out.vertices.push_back({{f * pos.x, pos.y}, f * v->bulge()});
    }
    out.closed = p.isClosed();
    if (out.vertices.size() == 1) return s.points.push_back(out.vertices[0].point);
    if (!out.vertices.empty()) s.curves.push_back(std::move(out));
}

void addFourPoints(Shape& s, const AcDbFourPointEntity& e) {
    AcGePoint3d p[4];
    for (uint16_t i = 0; i < 4; ++i)
        e.getPointAt(i, p[i]);
    bool face = AcDbFace::cast(&e) != nullptr; // faces go round; solids and traces zigzag
    if (face)
        addOutline(s, {xy(p[0]), xy(p[1]), xy(p[2]), xy(p[3])}, true);
    else
        addOutline(s, {xy(p[0]), xy(p[1]), xy(p[3]), xy(p[2])}, true);
}

void addMText(Shape& s, const AcDbMText& m) {
    std::vector<AcGePoint3d> c;
    if (m.getBoundingPoints(c) != Acad::eOk || c.size() != 4) return addBox(s, m);
    addOutline(s, {xy(c[2]), xy(c[3]), xy(c[1]), xy(c[0])}, true);
}

// A region's loops; a region out of the XY plane's direction, or whose data is not
// understood, as its box.
void addRegion(Shape& s, const AcDbRegion& r) {
    std::vector<Curve> curves = db::regionCurvesXY(r);
    if (curves.empty()) return addBox(s, r);
    s.curves.insert(s.curves.end(), curves.begin(), curves.end());
}

void addLeader(Shape& s, const AcDbLeader& l) {
    std::vector<Vec2> pts;
    for (const AcGePoint3d& p : l.vertices())
        pts.push_back(xy(p));
    if (pts.size() == 1) return s.points.push_back(pts[0]);
    if (!pts.empty()) addOutline(s, pts, false);
}

Shape shapeAt(const AcDbEntity& entity, const AcGeMatrix3d& xform, int depth);

void append(Shape& s, Shape more) {
    s.curves.insert(s.curves.end(), more.curves.begin(), more.curves.end());
    s.points.insert(s.points.end(), more.points.begin(), more.points.end());
}

// The entities a reference or dimension shows, placed by xform on top of their own placing.
void addShown(Shape& s, const AcDbEntity& e, const AcGeMatrix3d& xform, int depth) {
    if (depth >= kMaxNesting) return addBox(s, e);
    for (const Placed& p : shownEntities(e)) {
        if (auto* part = db::peekAs<AcDbEntity>(p.id))
            append(s, shapeAt(*part, xform * p.xform, depth + 1));
    }
}

void addShape(Shape& s, const AcDbEntity& e, int depth) {
    if (auto* l = AcDbLine::cast(&e))
        return s.curves.push_back(geom::Segment{xy(l->startPoint()), xy(l->endPoint())});
    if (auto* a = AcDbArc::cast(&e)) return addArc(s, *a);
    if (auto* c = AcDbCircle::cast(&e))
        return s.curves.push_back(geom::Circle{xy(c->center()), c->radius()});
    if (auto* el = AcDbEllipse::cast(&e)) return addEllipse(s, *el);
    if (auto* r = AcDbRay::cast(&e))
        return s.curves.push_back(
            geom::Ray{xy(r->basePoint()), geom::unit(xy(AcGePoint3d::kOrigin + r->unitDir()))});
    if (auto* x = AcDbXline::cast(&e))
        return s.curves.push_back(
            geom::XLine{xy(x->basePoint()), geom::unit(xy(AcGePoint3d::kOrigin + x->unitDir()))});
    if (auto* p = AcDbPoint::cast(&e)) return s.points.push_back(xy(p->position()));
    if (auto* sp = AcDbSpline::cast(&e)) return addSpline(s, *sp);
    if (auto* pl = AcDbPolyline::cast(&e)) return addPolyline(s, *pl);
    if (auto* p2 = AcDb2dPolyline::cast(&e)) return addPolyline2d(s, *p2);
    if (auto* f = AcDbFourPointEntity::cast(&e)) return addFourPoints(s, *f);
    if (auto* m = AcDbMText::cast(&e)) return addMText(s, *m);
    if (auto* ld = AcDbLeader::cast(&e)) return addLeader(s, *ld);
    if (auto* rg = AcDbRegion::cast(&e)) return addRegion(s, *rg);
    if (AcDbBlockReference::cast(&e) || AcDbDimension::cast(&e))
        return addShown(s, e, AcGeMatrix3d(), depth);
    addBox(s, e); // texts, hatches, kinds kept raw
}

} // namespace

std::vector<Placed> shownEntities(const AcDbEntity& e) {
    std::vector<Placed> out;
    AcDbObjectId block;
    AcGeMatrix3d xform;
    if (auto* r = AcDbBlockReference::cast(&e)) {
        block = r->blockTableRecord();
        xform = r->blockTransform();
    } else if (auto* d = AcDbDimension::cast(&e)) {
        block = d->dimBlockId();
    }
    auto* record = db::peekAs<AcDbBlockTableRecord>(block);
    if (record) {
        for (AcDbObjectId id : record->entityIds()) {
            auto* part = db::peekAs<AcDbEntity>(id);
            if (!part || id.isErased() || AcDbBlockBegin::cast(part) || AcDbBlockEnd::cast(part) ||
                AcDbAttributeDefinition::cast(part))
                continue;
            out.push_back({id, xform});
        }
    }
    for (AcDbObjectId id : e.subEntityIds()) {
        auto* a = db::peekAs<AcDbAttribute>(id);
        if (a && !id.isErased() && !a->isInvisible()) out.push_back({id, AcGeMatrix3d()});
    }
    return out;
}

namespace {

// The box of an entity, placed by a transform, as an outline.
Shape placedBox(const AcDbEntity& entity, const AcGeMatrix3d& xform) {
    Shape s;
    AcDbExtents ext;
    if (entity.getGeomExtents(ext) != Acad::eOk || ext.isEmpty()) return s;
    std::vector<Vec2> corners;
    const AcGePoint3d& a = ext.minPoint();
    const AcGePoint3d& b = ext.maxPoint();
    for (AcGePoint3d c : {a, AcGePoint3d(b.x, a.y, a.z), b, AcGePoint3d(a.x, b.y, a.z)})
        corners.push_back(xy(xform.apply(c)));
    addOutline(s, corners, true);
    return s;
}

Shape shapeAt(const AcDbEntity& entity, const AcGeMatrix3d& xform, int depth) {
    Shape s;
    bool composite = AcDbBlockReference::cast(&entity) || AcDbDimension::cast(&entity);
    if (xform.isEqualTo(AcGeMatrix3d::kIdentity)) {
        addShape(s, entity, depth);
        return s;
    }
    if (composite) {
        addShown(s, entity, xform, depth);
        return s;
    }
    // A copy placed by the transform; kinds with sub-entities (their copies would share them)
    // and kinds that cannot take it (a circle scaled unevenly) give their placed boxes.
    if (!entity.subEntityIds().empty()) return placedBox(entity, xform);
    std::unique_ptr<AcDbObject> copy = entity.cloneState();
    auto* placed = AcDbEntity::cast(copy.get());
    if (!placed || placed->transformBy(xform) != Acad::eOk) return placedBox(entity, xform);
    addShape(s, *placed, depth);
    return s;
}

} // namespace

Shape shapeOf(const AcDbEntity& entity, const AcGeMatrix3d* xform) {
    return shapeAt(entity, xform ? *xform : AcGeMatrix3d(), 0);
}

} // namespace zel::editor
