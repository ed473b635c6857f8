#include "commands/osnap.h"

#include "arx/db.h"
#include "arx/dbents.h"
#include "commands/curve_entities.h"
#include "commands/engine.h"
#include "core/tolerance.h"
#include "db/database_impl.h"
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/intersect.h"
#include "geom/tangent_points.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zel::commands {

namespace {

using geom::Curve;
using geom::Vec2;

// Candidate snap points; the one nearest the pick wins. Points of the curves under the
// aperture count wherever they are (the end, middle, centre or quadrant of the object aimed
// at); free points (intersections, nodes, insertion points) only within the aperture. The
// nearest point on a curve counts only when no other mode offers one.
class Candidates {
public:
    Candidates(Vec2 pick, double aperture) : mPick(pick), mAperture(aperture) {}
    void add(Vec2 p) { keep(p, mBest, mBestDistance); }
    void addWithin(Vec2 p) {
        if (geom::dist(p, mPick) <= mAperture) add(p);
    }
    void addNearest(Vec2 p) { keep(p, mNearest, mNearestDistance); }
    std::optional<Vec2> result() const { return mBest ? mBest : mNearest; }

private:
    void keep(Vec2 p, std::optional<Vec2>& best, double& bestDistance) {
        double d = geom::dist(p, mPick);
        if (!std::isfinite(d) || (best && d >= bestDistance)) return;
        best = p;
        bestDistance = d;
    }
    Vec2 mPick;
    double mAperture;
    std::optional<Vec2> mBest, mNearest;
    double mBestDistance = 0, mNearestDistance = 0;
};

// The pieces a polyline is made of; any other curve is its own piece.
std::vector<Curve> piecesOf(const Curve& c) {
    auto* p = std::get_if<geom::Polyline>(&c);
    if (!p) return {c};
    std::vector<Curve> out;
    for (int i = 0; i < geom::segmentCount(*p); ++i)
        out.push_back(geom::curveOf(geom::segmentOf(*p, i)));
    return out;
}

void addEnds(const Curve& piece, Candidates& out) {
    if (std::holds_alternative<geom::XLine>(piece) || std::holds_alternative<geom::Circle>(piece))
        return;
    out.add(geom::startPoint(piece));
    if (std::holds_alternative<geom::Ray>(piece) || geom::isClosed(piece)) return;
    out.add(geom::endPoint(piece));
}

void addMiddle(const Curve& piece, Candidates& out) {
    if (!std::holds_alternative<geom::Segment>(piece) && !std::holds_alternative<geom::Arc>(piece))
        return;
    geom::Interval d = geom::domain(piece);
    out.add(geom::pointAt(piece, (d.lo + d.hi) / 2));
}

void addCentre(const Curve& piece, Candidates& out) {
    if (auto* a = std::get_if<geom::Arc>(&piece)) out.add(a->center);
    if (auto* c = std::get_if<geom::Circle>(&piece)) out.add(c->center);
    if (auto* e = std::get_if<geom::Ellipse>(&piece)) out.add(e->center);
}

void addQuadrants(const Curve& piece, Candidates& out) {
    auto* a = std::get_if<geom::Arc>(&piece);
    auto* c = std::get_if<geom::Circle>(&piece);
    if (!a && !c) return;
    for (int k = 0; k < 8; ++k) { // two turns, so every quadrant of an arc's range is seen
        double angle = k * std::numbers::pi / 2;
        if (a && !geom::Interval{a->start, a->end}.contains(angle, tol::kAngle)) continue;
        Vec2 centre = a ? a->center : c->center;
        double r = a ? a->radius : c->radius;
        out.add(centre + Vec2{std::cos(angle), std::sin(angle)} * r);
    }
}

// The foot of the perpendicular from `from` on the piece, when it lies on it.
void addPerpendicular(const Curve& piece, Vec2 from, Candidates& out) {
    geom::Closest c = geom::closest(piece, from);
    Vec2 t = geom::tangentAt(piece, c.param);
    if (c.distance > tol::kPoint &&
        std::fabs(geom::dot(t, c.point - from)) > tol::kOnCurve * c.distance)
        return;
    out.add(c.point);
}

// The points where lines from `from` touch a circle, an arc or an ellipse.
void addTangents(const Curve& piece, Vec2 from, Candidates& out) {
    for (const geom::TangentPoint& t : geom::tangentPointsFrom(piece, from))
        out.add(t.point);
}

// The unit direction of a straight piece; nothing for curved ones and for lines of no length.
std::optional<Vec2> lineDirection(const Curve& piece) {
    if (auto* s = std::get_if<geom::Segment>(&piece)) {
        if (geom::dist(s->start, s->end) <= tol::kPoint) return std::nullopt;
        return geom::unit(s->end - s->start);
    }
    if (auto* r = std::get_if<geom::Ray>(&piece)) return r->dir;
    if (auto* x = std::get_if<geom::XLine>(&piece)) return x->dir;
    return std::nullopt;
}

// The point nearest the pick on the line through `from` parallel to a straight piece.
void addParallel(const Curve& piece, Vec2 from, Vec2 pick, Candidates& out) {
    std::optional<Vec2> dir = lineDirection(piece);
    if (!dir) return;
    out.add(from + *dir * geom::dot(pick - from, *dir));
}

void addIntersections(const std::vector<Curve>& pieces, Candidates& out) {
    for (size_t i = 0; i < pieces.size(); ++i)
        for (size_t j = i + 1; j < pieces.size(); ++j)
            for (const geom::Hit& h : geom::intersect(pieces[i], pieces[j]).hits)
                out.addWithin(h.point);
}

// A piece whose carrier (the line, circle or ellipse it lies on) passes through the aperture;
// `under` when the piece itself does.
struct Reaching {
    Curve piece;
    bool under = false;
};

// Apparent intersections: where the carriers of two pieces meet. Two pieces under the aperture
// offer their meeting point wherever it is (the corner the two objects aimed at would make);
// a piece only whose extension comes through the aperture offers it within the aperture.
void addApparent(const std::vector<Reaching>& reaching, Candidates& out) {
    for (size_t i = 0; i < reaching.size(); ++i)
        for (size_t j = i + 1; j < reaching.size(); ++j) {
            geom::Intersections x =
                geom::intersect(reaching[i].piece, reaching[j].piece, geom::Extend::Both);
            if (x.overlap) continue;
            bool aimedAt = reaching[i].under && reaching[j].under;
            for (const geom::Hit& h : x.hits) {
                if (aimedAt)
                    out.add(h.point);
                else
                    out.addWithin(h.point);
            }
        }
}

// A piece of a curve and which of its ends are ends of the curve (free to extend past).
struct EndPiece {
    Curve piece;
    bool start = false, end = false;
};

// Marks the end of the piece that lies at `at` as free.
void freeEndAt(EndPiece& e, Vec2 at) {
    if (geom::dist(geom::startPoint(e.piece), at) <= geom::dist(geom::endPoint(e.piece), at))
        e.start = true;
    else
        e.end = true;
}

// The first and last segments of an open polyline, with the polyline's ends free (an arc
// segment run clockwise has its arc's end at the segment's start).
std::vector<EndPiece> polylineEnds(const geom::Polyline& p) {
    int n = geom::segmentCount(p);
    if (p.closed || n == 0) return {};
    EndPiece first{geom::curveOf(geom::segmentOf(p, 0))};
    EndPiece last{geom::curveOf(geom::segmentOf(p, n - 1))};
    freeEndAt(first, p.vertices.front().point);
    freeEndAt(n == 1 ? first : last, p.vertices.back().point);
    if (n == 1) return {first};
    return {first, last};
}

// The pieces of a curve that have an end to extend past: lines, rays (at their base), arcs and
// elliptical arcs, and the end segments of open polylines.
std::vector<EndPiece> extensionEnds(const Curve& c) {
    if (auto* p = std::get_if<geom::Polyline>(&c)) return polylineEnds(*p);
    if (!geom::isExtendable(c) || geom::isClosed(c)) return {};
    return {EndPiece{c, true, true}};
}

// The point nearest the pick on the extension of the piece past a free end, when the pick is
// within the aperture of it.
void addExtension(const EndPiece& e, Vec2 pick, Candidates& out) {
    geom::Closest c = geom::closest(e.piece, pick, true);
    geom::Interval range = geom::domain(e.piece);
    bool beforeStart = c.param < range.lo - tol::kParam;
    bool afterEnd = c.param > range.hi + tol::kParam;
    if ((beforeStart && e.start) || (afterEnd && e.end)) out.addWithin(c.point);
}

// The pieces of the curves that pass through the aperture.
std::vector<Curve> piecesUnder(const std::vector<Curve>& curves, Vec2 pick, double aperture) {
    std::vector<Curve> pieces;
    for (const Curve& c : curves) {
        if (geom::closest(c, pick).distance > aperture) continue;
        for (Curve& piece : piecesOf(c))
            if (geom::closest(piece, pick).distance <= aperture) pieces.push_back(std::move(piece));
    }
    return pieces;
}

// The pieces of the curves whose carriers pass through the aperture.
std::vector<Reaching> piecesReaching(const std::vector<Curve>& curves, Vec2 pick, double aperture) {
    std::vector<Reaching> out;
    for (const Curve& c : curves)
        for (Curve& piece : piecesOf(c)) {
            if (geom::closest(piece, pick, true).distance > aperture) continue;
            bool under = geom::closest(piece, pick).distance <= aperture;
            out.push_back({std::move(piece), under});
        }
    return out;
}

// The points a piece under the aperture offers by itself.
void addPiecePoints(const Curve& piece, Vec2 pick, int modes, std::optional<Vec2> from,
                    Candidates& out) {
    if (modes & kSnapEnd) addEnds(piece, out);
    if (modes & kSnapMid) addMiddle(piece, out);
    if (modes & kSnapCen) addCentre(piece, out);
    if (modes & kSnapQuad) addQuadrants(piece, out);
    if ((modes & kSnapPer) && from) addPerpendicular(piece, *from, out);
    if ((modes & kSnapTan) && from) addTangents(piece, *from, out);
    if ((modes & kSnapPar) && from) addParallel(piece, *from, pick, out);
    if (modes & kSnapNear) out.addNearest(geom::closest(piece, pick).point);
}

} // namespace

std::optional<Vec2> snapPoint(const SnapScene& scene, Vec2 pick, int modes, double aperture,
                              std::optional<Vec2> from) {
    Candidates out(pick, aperture);
    std::vector<Curve> pieces = piecesUnder(scene.curves, pick, aperture);
    for (const Curve& piece : pieces)
        addPiecePoints(piece, pick, modes, from, out);
    if (modes & kSnapInt) addIntersections(pieces, out);
    if (modes & kSnapApp) addApparent(piecesReaching(scene.curves, pick, aperture), out);
    if (modes & kSnapExt)
        for (const Curve& c : scene.curves)
            for (const EndPiece& e : extensionEnds(c))
                addExtension(e, pick, out);
    if (modes & kSnapNode)
        for (Vec2 p : scene.nodes)
            out.addWithin(p);
    if (modes & kSnapIns)
        for (Vec2 p : scene.insertions)
            out.addWithin(p);
    return out.result();
}

namespace {

// The curves and points of the visible model-space entities whose extents come within `reach`
// of the pick (world coordinates).
SnapScene sceneNear(AcDbDatabase& db, Vec2 pick, double reach) {
    SnapScene scene;
    geom::Box2 box = geom::Box2::of(pick, pick).expanded(reach);
    auto* ms = db::peekAs<AcDbBlockTableRecord>(db.modelSpaceId());
    if (!ms) return scene;
    for (AcDbObjectId id : ms->entityIds()) {
        auto* e = db::peekAs<AcDbEntity>(id);
        if (!e || id.isErased()) continue;
        AcDbExtents ext;
        if (e->getGeomExtents(ext) == Acad::eOk) {
            geom::Box2 b = geom::Box2::of({ext.minPoint().x, ext.minPoint().y},
                                          {ext.maxPoint().x, ext.maxPoint().y});
            if (!b.overlaps(box)) continue;
        }
        if (auto* p = AcDbPoint::cast(e))
            scene.nodes.push_back(Vec2{p->position().x, p->position().y});
        if (auto* t = AcDbText::cast(e))
            scene.insertions.push_back(Vec2{t->position().x, t->position().y});
        if (auto* r = AcDbBlockReference::cast(e))
            scene.insertions.push_back(Vec2{r->position().x, r->position().y});
        if (std::optional<Curve> c = curveOfEntity(*e)) scene.curves.push_back(std::move(*c));
    }
    return scene;
}

double snapAperture(const editor::Editor& ed) {
    double pixels = double(ed.vars().integer(L"APERTURE"));
    double height = ed.vars().point(L"SCREENSIZE").y;
    double size = ed.vars().real(L"VIEWSIZE");
    if (height <= 0) return 0;
    return std::max(pixels, 1.0) * size / height;
}

// How far from the pick the snap looks for objects: the aperture, or for the modes that follow
// extensions as far as the view shows (its larger side).
double snapReach(const editor::Editor& ed, int modes, double aperture) {
    if (!(modes & (kSnapApp | kSnapExt))) return aperture;
    AcGePoint3d screen = ed.vars().point(L"SCREENSIZE");
    double height = ed.vars().real(L"VIEWSIZE");
    double width = screen.y > 0 ? height * screen.x / screen.y : height;
    return std::max({aperture, height, width});
}

// The base point of the snaps that measure from one (world): the rubber-band base of the
// prompt being answered, else the last point.
Vec2 snapBase(const editor::Editor& ed) {
    editor::Ucs ucs = ed.ucs();
    AcGePoint3d base = ucs.toWorld(ed.inputBase().value_or(ed.vars().point(L"LASTPOINT")));
    return {base.x, base.y};
}

} // namespace

void installObjectSnap(Engine& e) {
    e.editor().setOsnapHook([&e](const AcGePoint3d& world, int modes) {
        editor::Editor& ed = e.editor();
        if (!ed.database()) return world;
        double aperture = snapAperture(ed);
        Vec2 pick{world.x, world.y};
        SnapScene scene = sceneNear(*ed.database(), pick, snapReach(ed, modes, aperture));
        std::optional<Vec2> snapped = snapPoint(scene, pick, modes, aperture, snapBase(ed));
        return snapped ? AcGePoint3d(snapped->x, snapped->y, world.z) : world;
    });
}

} // namespace zel::commands
