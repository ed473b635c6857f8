#include "commands/curve_entities.h"

#include "commands/engine.h"
#include "commands/entities.h"
#include "commands/polyline_widths.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "db/planar.h"
#include "db/slot.h"

#include <cassert>
#include <cmath>

namespace zel::commands {

namespace {

using geom::Curve;
using geom::Vec2;

Vec2 xy(const AcGePoint3d& p) {
    return {p.x, p.y};
}

int facing(const AcGeVector3d& n) {
    return db::planeFacing(n);
}

std::optional<Curve> valid(Curve c) {
    if (!geom::validate(c).empty()) return std::nullopt;
    return c;
}

std::optional<Curve> arcCurve(const AcDbArc& a) {
    int f = facing(a.normal());
    if (f == 0) return std::nullopt;
    AcGePoint3d p0, p1;
    a.getStartPoint(p0);
    a.getEndPoint(p1);
    Vec2 c = xy(a.center());
    double a0 = geom::angleOf(xy(p0) - c), a1 = geom::angleOf(xy(p1) - c);
    if (f < 0) std::swap(a0, a1);
    return valid(geom::arcFromAngles(c, a.radius(), a0, a1));
}

std::optional<Curve> ellipseCurve(const AcDbEllipse& e) {
    int f = facing(e.normal());
    if (f == 0) return std::nullopt;
    Vec2 major = geom::toVec2(e.majorAxis());
    double t0 = e.startParam(), t1 = e.endParam();
    if (e.isFull()) t0 = 0, t1 = geom::kTwoPi;
    if (f < 0) std::swap(t0, t1), t0 = -t0, t1 = -t1;
    return valid(geom::ellipseFromParams(xy(e.center()), major, e.radiusRatio(), t0, t1));
}

std::optional<Curve> splineCurve(const AcDbSpline& sp) {
    int degree;
    bool rational, closed, periodic;
    std::vector<AcGePoint3d> points;
    geom::Nurbs n;
    double ptTol, knotTol;
    if (sp.getNurbsData(degree, rational, closed, periodic, points, n.knots, n.weights, ptTol,
                        knotTol) != Acad::eOk)
        return std::nullopt;
    n.degree = degree;
    for (const AcGePoint3d& p : points)
        n.points.push_back(xy(p));
    if (!rational) n.weights.clear();
    return valid(std::move(n));
}

std::optional<Curve> polylineCurve(const AcDbPolyline& p) {
    int f = facing(p.normal());
    if (f == 0 || p.numVerts() < 2) return std::nullopt;
    return valid(db::planarPolyline(p, f));
}

std::optional<Curve> polyline2dCurve(const AcDb2dPolyline& p) {
    int f = facing(p.normal());
    if (f == 0 || p.flavour() != AcDb2dPolyline::k2d) return std::nullopt;
    geom::Polyline out;
    for (const AcDb2dPolyline::VertexData& v : p.vertexData())
        out.vertices.push_back({{f * v.position.x, v.position.y}, f * v.bulge});
    out.closed = p.isClosed();
    if (out.vertices.size() < 2) return std::nullopt;
    return valid(std::move(out));
}

Vec2 unitXY(const AcGeVector3d& v) {
    return geom::unit(geom::toVec2(v));
}

// Elevation and plane of a polyline piece: the source's when it is a polyline.
struct Plane {
    int facing = 1;
    double elevation = 0;
};

Plane planeOf(const AcDbEntity& source) {
    if (auto* p = AcDbPolyline::cast(&source)) {
        int f = facing(p->normal());
        return {f == 0 ? 1 : f, p->elevation()};
    }
    if (auto* p = AcDb2dPolyline::cast(&source)) {
        int f = facing(p->normal());
        return {f == 0 ? 1 : f, p->elevation()};
    }
    return {};
}

std::unique_ptr<AcDbEntity> lightPolyline(const geom::Polyline& pl, Plane plane) {
    auto out = std::make_unique<AcDbPolyline>(unsigned(pl.vertices.size()));
    for (unsigned i = 0; i < pl.vertices.size(); ++i) {
        const geom::BulgeVertex& v = pl.vertices[i];
        out->addVertexAt(i, AcGePoint2d(plane.facing * v.point.x, v.point.y),
                         plane.facing * v.bulge);
    }
    out->setClosed(pl.closed);
    if (plane.facing < 0) out->setNormal(AcGeVector3d(0, 0, -1));
    out->setElevation(plane.elevation);
    return out;
}

std::unique_ptr<AcDbEntity> polyline2d(const geom::Polyline& pl, Plane plane) {
    std::vector<AcGePoint3d> points;
    std::vector<double> bulges;
    for (const geom::BulgeVertex& v : pl.vertices) {
        points.emplace_back(plane.facing * v.point.x, v.point.y, plane.elevation);
        bulges.push_back(plane.facing * v.bulge);
    }
    auto out = std::make_unique<AcDb2dPolyline>(AcDb::k2dSimplePoly, points, plane.elevation,
                                                pl.closed, 0, 0, &bulges);
    if (plane.facing < 0) out->setNormal(AcGeVector3d(0, 0, -1));
    return out;
}

std::unique_ptr<AcDbEntity> polylineEntity(const geom::Polyline& pl, const AcDbEntity& source) {
    Plane plane = planeOf(source);
    if (auto* from = AcDb2dPolyline::cast(&source)) { // its default widths
        std::unique_ptr<AcDbEntity> out = polyline2d(pl, plane);
        auto* p2 = AcDb2dPolyline::cast(out.get());
        p2->setDefaultStartWidth(from->defaultStartWidth());
        p2->setDefaultEndWidth(from->defaultEndWidth());
        return out;
    }
    std::unique_ptr<AcDbEntity> out = lightPolyline(pl, plane);
    if (auto* from = AcDbPolyline::cast(&source)) { // its linetype generation and thickness
        auto* light = AcDbPolyline::cast(out.get());
        light->setPlinegen(from->hasPlinegen());
        light->setThickness(from->thickness());
    }
    return out;
}

std::unique_ptr<AcDbEntity> ellipseEntity(const geom::Ellipse& e) {
    auto out = std::make_unique<AcDbEllipse>();
    out->set(geom::toPoint3d(e.center), AcGeVector3d::kZAxis, geom::toVector3d(e.major), e.ratio);
    bool full = e.end - e.start >= geom::kTwoPi - tol::kAngle;
    if (!full) {
        out->setStartParam(e.start);
        out->setEndParam(e.end);
    }
    return out;
}

std::unique_ptr<AcDbEntity> splineEntity(const geom::Nurbs& n) {
    std::vector<AcGePoint3d> points;
    for (Vec2 p : n.points)
        points.push_back(geom::toPoint3d(p));
    bool closed = geom::isClosed(n);
    return std::make_unique<AcDbSpline>(n.degree, !n.weights.empty(), closed, false, points,
                                        n.knots, n.weights);
}

std::unique_ptr<AcDbEntity> lineLike(const geom::Ray& r) {
    auto out = std::make_unique<AcDbRay>();
    out->setBasePoint(geom::toPoint3d(r.base));
    out->setUnitDir(geom::toVector3d(r.dir));
    return out;
}

std::unique_ptr<AcDbEntity> lineLike(const geom::XLine& l) {
    auto out = std::make_unique<AcDbXline>();
    out->setBasePoint(geom::toPoint3d(l.base));
    out->setUnitDir(geom::toVector3d(l.dir));
    return out;
}

std::unique_ptr<AcDbEntity> makeEntity(const Curve& c, const AcDbEntity& source) {
    using P = std::unique_ptr<AcDbEntity>;
    return std::visit(
        geom::Overloaded{[](const geom::Segment& s) -> P {
                             return std::make_unique<AcDbLine>(geom::toPoint3d(s.start),
                                                               geom::toPoint3d(s.end));
                         },
                         [](const geom::Ray& r) -> P { return lineLike(r); },
                         [](const geom::XLine& l) -> P { return lineLike(l); },
                         [](const geom::Arc& a) -> P {
                             return std::make_unique<AcDbArc>(geom::toPoint3d(a.center), a.radius,
                                                              a.start, a.end);
                         },
                         [](const geom::Circle& ci) -> P {
                             return std::make_unique<AcDbCircle>(geom::toPoint3d(ci.center),
                                                                 AcGeVector3d::kZAxis, ci.radius);
                         },
                         [](const geom::Ellipse& e) -> P { return ellipseEntity(e); },
                         [](const geom::Nurbs& n) -> P { return splineEntity(n); },
                         [&](const geom::Polyline& p) -> P { return polylineEntity(p, source); }},
        c);
}

// The 2-D polyline's vertices replaced by those of the piece, in place (the vertices are
// entities of their own: the old ones are erased, new ones appended), with the widths given
// (one pair per vertex, or none).
bool replaceVertices(AcDbObjectId id, const geom::Polyline& piece,
                     const std::vector<SegmentWidths>& widths) {
    AcDb2dPolyline* pl = nullptr;
    if (acdbOpenObject(pl, id, AcDb::kForWrite) != Acad::eOk) return false;
    Plane plane = planeOf(*pl);
    for (AcDbObjectId v : pl->vertexIds())
        if (!v.isErased()) eraseEntity(v);
    for (size_t i = 0; i < piece.vertices.size(); ++i) {
        const geom::BulgeVertex& v = piece.vertices[i];
        SegmentWidths w = i < widths.size() ? widths[i] : SegmentWidths{};
        auto vertex = std::make_unique<AcDb2dVertex>(
            AcGePoint3d(plane.facing * v.point.x, v.point.y, plane.elevation),
            plane.facing * v.bulge, w.start, w.end);
        AcDb2dVertex* raw = vertex.get();
        // The polyline takes the vertex (the API's contract) and leaves it open.
        if (pl->appendVertex(vertex.release()) == Acad::eOk) raw->close();
    }
    if (piece.closed)
        pl->makeClosed();
    else
        pl->makeOpen();
    pl->close();
    return true;
}

} // namespace

std::optional<Curve> curveOfEntity(const AcDbEntity& e) {
    if (auto* l = AcDbLine::cast(&e)) {
        if (l->startPoint().distanceTo(l->endPoint()) <= tol::kPoint) return std::nullopt;
        return Curve(geom::Segment{xy(l->startPoint()), xy(l->endPoint())});
    }
    if (auto* a = AcDbArc::cast(&e)) return arcCurve(*a);
    if (auto* c = AcDbCircle::cast(&e)) {
        if (facing(c->normal()) == 0) return std::nullopt;
        return valid(geom::Circle{xy(c->center()), c->radius()});
    }
    if (auto* el = AcDbEllipse::cast(&e)) return ellipseCurve(*el);
    if (auto* r = AcDbRay::cast(&e))
        return valid(geom::Ray{xy(r->basePoint()), unitXY(r->unitDir())});
    if (auto* x = AcDbXline::cast(&e))
        return valid(geom::XLine{xy(x->basePoint()), unitXY(x->unitDir())});
    if (auto* sp = AcDbSpline::cast(&e)) return splineCurve(*sp);
    if (auto* pl = AcDbPolyline::cast(&e)) return polylineCurve(*pl);
    if (auto* p2 = AcDb2dPolyline::cast(&e)) return polyline2dCurve(*p2);
    return std::nullopt;
}

std::optional<Curve> curveOfId(AcDbObjectId id) {
    auto* e = db::peekAs<AcDbEntity>(id);
    if (!e || id.isErased()) return std::nullopt;
    return curveOfEntity(*e);
}

void copyPieceProperties(AcDbEntity& piece, const AcDbEntity& source) {
    piece.setPropertiesFrom(source);
    piece.setXDataGroups(source.xDataGroups());
}

std::unique_ptr<AcDbEntity> entityOfCurve(const Curve& c, const AcDbEntity& source) {
    std::unique_ptr<AcDbEntity> out = makeEntity(c, source);
    copyPieceProperties(*out, source);
    if (auto* pl = AcDb2dPolyline::cast(out.get())) {
        for (const auto& vertex : pl->subEntities().pending()) // they join with the polyline
            vertex->setPropertiesFrom(source);
    }
    return out;
}

bool replaceEntity(AcDbObjectId id, std::unique_ptr<AcDbEntity> entity) {
    assert(entity && "a replacement entity is needed");
    AcDbEntity* old = nullptr;
    if (acdbOpenAcDbEntity(old, id, AcDb::kForWrite) != Acad::eOk) return false;
    assert(old->subEntityIds().empty() && "an entity with sub-entities is replaced in place");
    old->assertWriteEnabled(); // the undo journal keeps the old state
    entity->setOwnerHandle(old->ownerHandle());
    entity->setXDictionaryHandle(old->xDictionaryHandle());
    entity->reactorHandles() = old->reactorHandles();
    db::ObjectSlot* slot = id.slot();
    std::unique_ptr<AcDbObject> previous = std::move(slot->object);
    slot->object = std::move(entity);
    slot->object->attach(slot);
    slot->object->close();
    return true;
}

namespace {

// The widths each piece keeps of a polyline source with widths (empty lists otherwise).
std::vector<std::vector<SegmentWidths>> widthsOfPieces(const AcDbEntity& source,
                                                       const std::vector<Curve>& pieces) {
    std::vector<std::vector<SegmentWidths>> out(pieces.size());
    std::vector<SegmentWidths> widths = polylineWidths(source);
    std::optional<Curve> whole = widths.empty() ? std::nullopt : curveOfEntity(source);
    auto* pl = whole ? std::get_if<geom::Polyline>(&*whole) : nullptr;
    if (!pl || pl->vertices.size() != widths.size()) return out;
    for (size_t i = 0; i < pieces.size(); ++i)
        if (auto* piece = std::get_if<geom::Polyline>(&pieces[i]))
            out[i] = pieceWidths(*pl, widths, *piece);
    return out;
}

std::vector<AcDbObjectId> replaceWith(Engine& e, AcDbObjectId source,
                                      const std::vector<Curve>& pieces, bool keepWidths) {
    auto* src = db::peekAs<AcDbEntity>(source);
    if (!src || source.isErased()) return {};
    if (pieces.empty()) {
        eraseEntity(source);
        return {};
    }
    std::vector<std::vector<SegmentWidths>> widths =
        keepWidths ? widthsOfPieces(*src, pieces)
                   : std::vector<std::vector<SegmentWidths>>(pieces.size());
    std::vector<std::unique_ptr<AcDbEntity>> made;
    for (size_t i = 0; i < pieces.size(); ++i) {
        made.push_back(entityOfCurve(pieces[i], *src));
        if (!widths[i].empty()) applyWidths(*made.back(), widths[i]);
    }
    bool inPlace = AcDb2dPolyline::cast(src) && std::holds_alternative<geom::Polyline>(pieces[0]);
    bool replaced = inPlace
                        ? replaceVertices(source, std::get<geom::Polyline>(pieces[0]), widths[0])
                        : replaceEntity(source, std::move(made[0]));
    if (!replaced) return {};
    std::vector<AcDbObjectId> ids{source};
    for (size_t i = 1; i < made.size(); ++i)
        ids.push_back(appendEntity(e.database(), std::move(made[i])));
    return ids;
}

} // namespace

std::vector<AcDbObjectId> replaceByPieces(Engine& e, AcDbObjectId source,
                                          const std::vector<Curve>& pieces) {
    return replaceWith(e, source, pieces, false);
}

std::vector<AcDbObjectId> replaceByCutPieces(Engine& e, AcDbObjectId source,
                                             const std::vector<Curve>& pieces) {
    return replaceWith(e, source, pieces, true);
}

} // namespace zel::commands
