// EXPLODE: block references into the entities of their blocks placed by their transforms (one
// level; attribute definitions come out as themselves, the reference's attributes go),
// dimensions into the entities of their blocks, polylines into lines and arcs, leaders into
// lines, multiline texts into one text per line, hatches into the lines, arcs, circles,
// elliptic arcs and splines of their boundary loops (the fill or pattern goes), regions into
// the lines, arcs, circles and elliptic arcs of their loops (holes included). The pieces
// keep the properties and extended data of their source; the first takes its place and
// handle, the others are appended last to the drawing in a stable order.
#include "arx/dbregion.h"
#include "commands/blocks.h"
#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "commands/selecting.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "db/planar.h"
#include "editor/selection_shape.h"
#include "geom/bulge.h"

#include <cmath>
#include <sstream>

namespace zel::commands {

namespace {

using Pieces = std::vector<std::unique_ptr<AcDbEntity>>;

// The name *D<n> of no block yet.
std::wstring freeDimensionBlockName(AcDbDatabase& db) {
    for (int n = 1;; ++n) {
        std::wstring name = L"*D" + std::to_wstring(n);
        if (findBlock(db, name).isNull()) return name;
    }
}

// The entities of a dimension's geometry block, copied and placed by xform; false when one
// cannot be copied or placed.
bool placedBlockEntities(const AcDbDimension& dim, const AcGeMatrix3d& xform, Pieces& out) {
    AcDbBlockTableRecord* record = nullptr;
    if (acdbOpenObject(record, dim.dimBlockId(), AcDb::kForRead) != Acad::eOk) return false;
    AcDbBlockTableRecordIterator* raw = nullptr;
    record->newIterator(raw);
    std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    bool ok = it != nullptr;
    for (; ok && !it->done(); it->step()) {
        AcDbObjectId id;
        it->getEntityId(id);
        auto* part = db::peekAs<AcDbEntity>(id);
        if (!part || id.isErased()) continue;
        std::unique_ptr<AcDbObject> copy = part->cloneState();
        std::unique_ptr<AcDbEntity> ent(AcDbEntity::cast(copy.release()));
        if (ent) ent->setPropertiesFrom(*part); // kept as they are when the copy joins a block
        ok = ent && part->subEntityIds().empty() && ent->transformBy(xform) == Acad::eOk;
        if (ok) out.push_back(std::move(ent));
    }
    record->close();
    return ok;
}

// A dimension that comes out of a block reference gets a geometry block of its own, its parts
// placed as the reference showed them (the block it named draws the dimension where it
// stands inside the reference's block). False when the block cannot be made; a dimension
// without a geometry block keeps none.
bool placeDimensionBlock(AcDbDatabase& db, AcDbDimension& piece, const AcDbDimension& source,
                         const AcGeMatrix3d& xform) {
    if (source.dimBlockId().isNull()) return true;
    Pieces parts;
    if (!placedBlockEntities(source, xform, parts)) return false;
    std::wstring name = freeDimensionBlockName(db);
    AcDbObjectId record = defineBlock(db, name, AcGePoint3d::kOrigin);
    AcDbBlockTableRecord* open = nullptr;
    if (acdbOpenObject(open, record, AcDb::kForWrite) != Acad::eOk) return false;
    open->setBlockFlags(1); // anonymous
    open->close();
    for (const auto& part : parts)
        if (!appendCopyToBlock(record, *part)) return false;
    return piece.setDimBlockName(name.c_str()) == Acad::eOk;
}

// The entities of a block reference or a dimension, placed; false when one of them cannot be
// placed by the transform (a circle scaled unevenly), so that nothing is lost.
bool blockPieces(const AcDbEntity& source, Pieces& out) {
    struct PlacedDimension {
        AcDbDimension* piece;
        const AcDbDimension* from;
        AcGeMatrix3d xform;
    };
    std::vector<PlacedDimension> dimensions; // their blocks made once every part is placed
    for (const editor::Placed& p : editor::shownEntities(source)) {
        auto* part = db::peekAs<AcDbEntity>(p.id);
        if (!part || AcDbAttribute::cast(part)) continue;
        std::unique_ptr<AcDbObject> copy = part->cloneState();
        std::unique_ptr<AcDbEntity> ent(AcDbEntity::cast(copy.release()));
        if (!ent) continue;
        // Its own properties, kept as they are when it joins the drawing (a copy of an entity
        // read from a file would otherwise take the current layer, colour and linetype).
        ent->setPropertiesFrom(*part);
        if (auto* pl = AcDb2dPolyline::cast(ent.get())) {
            // The copy has no vertices of its own: rebuild it from the block's.
            std::optional<geom::Curve> c = curveOfEntity(*part);
            if (!c) continue;
            ent = entityOfCurve(*c, *pl);
        }
        if (ent->transformBy(p.xform) != Acad::eOk) return false;
        if (auto* dim = AcDbDimension::cast(ent.get()))
            dimensions.push_back({dim, AcDbDimension::cast(part), p.xform});
        out.push_back(std::move(ent));
    }
    AcDbDatabase* db = source.database();
    for (const PlacedDimension& d : dimensions)
        if (!db || !placeDimensionBlock(*db, *d.piece, *d.from, d.xform)) return false;
    return true;
}

void curvePieces(const AcDbEntity& source, const std::vector<geom::Curve>& curves, Pieces& out) {
    for (const geom::Curve& c : curves)
        out.push_back(entityOfCurve(c, source));
}

bool polylinePieces(const AcDbEntity& source, Pieces& out) {
    std::optional<geom::Curve> c = curveOfEntity(source);
    if (!c) return false;
    const auto& pl = std::get<geom::Polyline>(*c);
    std::vector<geom::Curve> segments;
    for (int i = 0; i < geom::segmentCount(pl); ++i) {
        geom::PolySegment s = geom::segmentOf(pl, i);
        if (geom::dist(s.a, s.b) > tol::kPoint) segments.push_back(geom::curveOf(s));
    }
    curvePieces(source, segments, out);
    return true;
}

bool leaderPieces(const AcDbLeader& l, Pieces& out) {
    std::vector<geom::Curve> segments;
    for (int i = 0; i + 1 < l.numVertices(); ++i) {
        AcGePoint3d a = l.vertexAt(i), b = l.vertexAt(i + 1);
        if (a.distanceTo(b) > tol::kPoint)
            segments.push_back(geom::Segment{{a.x, a.y}, {b.x, b.y}});
    }
    curvePieces(l, segments, out);
    return true;
}

std::vector<std::wstring> linesOf(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wstringstream in(text);
    for (std::wstring line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Lines of a multiline text as texts, on the baselines of the lines (spacing 5/3 of the
// height times the spacing factor), justified as the text's attachment says.
bool mtextPieces(const AcDbMText& m, Pieces& out) {
    std::vector<AcGePoint3d> box;
    if (m.getBoundingPoints(box) != Acad::eOk || box.size() != 4) return false;
    AcGeVector3d x = m.direction().normal(), down = (box[2] - box[0]).normal();
    double h = m.textHeight(), step = h * 5.0 / 3.0 * m.lineSpacingFactor();
    int column = (int(m.attachment()) - 1) % 3; // 0 left, 1 centre, 2 right
    AcGePoint3d left = box[0], right = box[1];
    std::vector<std::wstring> lines = linesOf(m.plainText());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        AcGeVector3d drop = down * (h + double(i) * step);
        AcGePoint3d at = column == 0   ? left + drop
                         : column == 1 ? left + (right - left) * 0.5 + drop
                                       : right + drop;
        auto t = std::make_unique<AcDbText>(at, lines[i].c_str(), m.textStyle(), h,
                                            std::atan2(x.y, x.x));
        if (column != 0) {
            t->setHorizontalMode(column == 1 ? AcDb::kTextCenter : AcDb::kTextRight);
            t->setAlignmentPoint(at);
        }
        copyPieceProperties(*t, m);
        out.push_back(std::move(t));
    }
    return true;
}

// An arc edge of a hatch (circular or elliptic) as its counter-clockwise range of angles or
// eccentric parameters: a clockwise edge holds its angles mirrored (measured clockwise).
geom::Interval edgeRange(const ZelHatchEdge& edge) {
    double a0 = edge.startAngle * geom::kPi / 180, a1 = edge.endAngle * geom::kPi / 180;
    double sweep = std::fmod(a1 - a0, geom::kTwoPi);
    if (sweep <= 0) sweep += geom::kTwoPi;
    if (edge.counterClockwise) return {a0, a0 + sweep};
    return {-a0 - sweep, -a0};
}

bool isFullTurn(const geom::Interval& range) {
    return range.span() >= geom::kTwoPi - tol::kAngle;
}

geom::Vec2 planeXY(const AcGePoint2d& p) {
    return {p.x, p.y};
}

std::optional<geom::Curve> edgeCurve(const ZelHatchEdge& edge) {
    using R = std::optional<geom::Curve>;
    switch (edge.type) {
    case ZelHatchEdge::kLine:
        return R(geom::Segment{planeXY(edge.start), planeXY(edge.end)});
    case ZelHatchEdge::kCirArc: {
        geom::Interval r = edgeRange(edge);
        if (isFullTurn(r)) return R(geom::Circle{planeXY(edge.center), edge.radius});
        return R(geom::arcFromAngles(planeXY(edge.center), edge.radius, r.lo, r.hi));
    }
    case ZelHatchEdge::kEllArc: {
        geom::Interval r = edgeRange(edge);
        geom::Vec2 major{edge.majorAxis.x, edge.majorAxis.y};
        if (isFullTurn(r)) return R(geom::Ellipse{planeXY(edge.center), major, edge.radius});
        return R(geom::ellipseFromParams(planeXY(edge.center), major, edge.radius, r.lo, r.hi));
    }
    case ZelHatchEdge::kSpline: {
        geom::Nurbs n{
            edge.degree, edge.knots, {}, edge.rational ? edge.weights : std::vector<double>{}};
        for (const AcGePoint2d& p : edge.controlPoints)
            n.points.push_back(planeXY(p));
        return R(std::move(n));
    }
    }
    return std::nullopt;
}

// The curves of one boundary loop in the hatch's plane; false when an edge is unusable.
bool loopCurves(const ZelHatchLoop& loop, std::vector<geom::Curve>& out) {
    if (loop.isPolyline()) {
        geom::Polyline pl{{}, loop.closed};
        for (size_t i = 0; i < loop.vertices.size(); ++i)
            pl.vertices.push_back({planeXY(loop.vertices[i]),
                                   loop.hasBulges && i < loop.bulges.size() ? loop.bulges[i] : 0});
        for (int i = 0; i < geom::segmentCount(pl); ++i) {
            geom::PolySegment seg = geom::segmentOf(pl, i);
            if (geom::dist(seg.a, seg.b) > tol::kPoint) out.push_back(geom::curveOf(seg));
        }
        return true;
    }
    for (const ZelHatchEdge& edge : loop.edges) {
        std::optional<geom::Curve> c = edgeCurve(edge);
        if (!c || !geom::validate(*c).empty()) return false;
        if (geom::length(*c) > tol::kPoint) out.push_back(std::move(*c));
    }
    return true;
}

// A hatch into the lines, arcs, circles, elliptic arcs and splines of its boundary loops,
// placed in the hatch's plane; false for a hatch out of the XY plane's direction or with an
// unusable edge (it is then left whole).
bool hatchPieces(const AcDbHatch& h, Pieces& out) {
    if (db::planeFacing(h.normal()) == 0) return false;
    std::vector<geom::Curve> curves;
    for (int i = 0; i < h.numLoops(); ++i)
        if (!loopCurves(h.loopAt(i), curves)) return false;
    bool inWorldXY = h.normal() == AcGeVector3d::kZAxis && h.elevation() == 0;
    AcGeMatrix3d place = AcGeMatrix3d::planeToWorld(h.normal()) *
                         AcGeMatrix3d::translation(AcGeVector3d(0, 0, h.elevation()));
    Pieces made;
    curvePieces(h, curves, made);
    for (auto& piece : made)
        if (!inWorldXY && piece->transformBy(place) != Acad::eOk) return false;
    for (auto& piece : made)
        out.push_back(std::move(piece));
    return true;
}

// The pieces of an entity; nullopt for kinds that do not explode.
std::optional<Pieces> piecesOf(const AcDbEntity& e) {
    Pieces out;
    bool ok = false;
    if (AcDbBlockReference::cast(&e) || AcDbDimension::cast(&e))
        ok = blockPieces(e, out);
    else if (AcDbPolyline::cast(&e) || AcDb2dPolyline::cast(&e))
        ok = polylinePieces(e, out);
    else if (auto* l = AcDbLeader::cast(&e))
        ok = leaderPieces(*l, out);
    else if (auto* m = AcDbMText::cast(&e))
        ok = mtextPieces(*m, out);
    else if (auto* h = AcDbHatch::cast(&e))
        ok = hatchPieces(*h, out);
    else if (auto* r = AcDbRegion::cast(&e))
        ok = r->explode(out) == Acad::eOk;
    if (!ok) return std::nullopt;
    if (AcDbDimension::cast(&e)) {
        for (auto& p : out) // the parts of a dimension take its properties
            p->setPropertiesFrom(e);
    }
    return out;
}

// The source replaced by its pieces: the first in its place (a complex source or first piece,
// with vertices or attributes of its own, is erased and all its pieces are appended).
void replaceByEntities(Engine& e, AcDbObjectId id, const AcDbEntity& source, Pieces pieces) {
    size_t first = 0;
    // Complex pieces (2-D polylines) take their vertices along only when appended.
    bool inPlace =
        source.subEntityIds().empty() && !pieces.empty() && !AcDb2dPolyline::cast(pieces[0].get());
    if (inPlace) {
        if (!replaceEntity(id, std::move(pieces[0]))) return;
        first = 1;
    } else {
        eraseEntity(id);
    }
    for (size_t i = first; i < pieces.size(); ++i)
        appendEntity(e.database(), std::move(pieces[i]));
}

void explodeCommand(Engine& e) {
    int refused = 0;
    for (AcDbObjectId id : selectForCommand(e)) {
        auto* ent = db::peekAs<AcDbEntity>(id);
        if (!ent || id.isErased()) continue;
        std::optional<Pieces> pieces = piecesOf(*ent);
        if (!pieces) {
            ++refused;
            continue;
        }
        replaceByEntities(e, id, *ent, std::move(*pieces));
    }
    if (refused > 0)
        e.editor().print(L"\n" + std::to_wstring(refused) + L" 個のオブジェクトは分解できません。");
}

} // namespace

void registerExplodeCommand(Engine& e) {
    addHostCommand(e, L"EXPLODE", explodeCommand);
}

} // namespace zel::commands
