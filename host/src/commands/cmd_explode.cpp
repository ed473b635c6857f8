// EXPLODE: block references into the entities of their blocks placed by their transforms (one
// level; attribute definitions come out as themselves, the reference's attributes go),
// dimensions into the entities of their blocks, polylines into lines and arcs, leaders into
// lines, multiline texts into one text per line. The pieces keep the properties and extended
// data of their source; the first takes its place and handle, the others are appended last to
// the drawing in a stable order.
#include "commands/curve_entities.h"
#include "commands/entities.h"
#include "commands/hostcmds.h"
#include "commands/selecting.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "editor/selection_shape.h"
#include "geom/bulge.h"

#include <sstream>

namespace zel::commands {

namespace {

using Pieces = std::vector<std::unique_ptr<AcDbEntity>>;

// The entities of a block reference or a dimension, placed; false when one of them cannot be
// placed by the transform (a circle scaled unevenly), so that nothing is lost.
bool blockPieces(const AcDbEntity& source, Pieces& out) {
    for (const editor::Placed& p : editor::shownEntities(source)) {
        auto* part = db::peekAs<AcDbEntity>(p.id);
        if (!part || AcDbAttribute::cast(part)) continue;
        std::unique_ptr<AcDbObject> copy = part->cloneState();
        std::unique_ptr<AcDbEntity> ent(AcDbEntity::cast(copy.release()));
        if (!ent) continue;
        if (auto* pl = AcDb2dPolyline::cast(ent.get())) {
            // The copy has no vertices of its own: rebuild it from the block's.
            std::optional<geom::Curve> c = curveOfEntity(*part);
            if (!c) continue;
            ent = entityOfCurve(*c, *pl);
        }
        if (ent->transformBy(p.xform) != Acad::eOk) return false;
        out.push_back(std::move(ent));
    }
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
