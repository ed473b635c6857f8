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

void addIntersections(const std::vector<Curve>& pieces, Candidates& out) {
    for (size_t i = 0; i < pieces.size(); ++i)
        for (size_t j = i + 1; j < pieces.size(); ++j)
            for (const geom::Hit& h : geom::intersect(pieces[i], pieces[j]).hits)
                out.addWithin(h.point);
}

} // namespace

std::optional<Vec2> snapPoint(const SnapScene& scene, Vec2 pick, int modes, double aperture,
                              std::optional<Vec2> from) {
    Candidates out(pick, aperture);
    std::vector<Curve> pieces; // the pieces of the curves that pass through the aperture
    for (const Curve& c : scene.curves) {
        if (geom::closest(c, pick).distance > aperture) continue;
        for (Curve& piece : piecesOf(c))
            if (geom::closest(piece, pick).distance <= aperture) pieces.push_back(std::move(piece));
    }
    for (const Curve& piece : pieces) {
        if (modes & kSnapEnd) addEnds(piece, out);
        if (modes & kSnapMid) addMiddle(piece, out);
        if (modes & kSnapCen) addCentre(piece, out);
        if (modes & kSnapQuad) addQuadrants(piece, out);
        if ((modes & kSnapPer) && from) addPerpendicular(piece, *from, out);
        if (modes & kSnapNear) out.addNearest(geom::closest(piece, pick).point);
    }
    if (modes & kSnapInt) addIntersections(pieces, out);
    if (modes & kSnapNode)
        for (Vec2 p : scene.nodes)
            out.addWithin(p);
    if (modes & kSnapIns)
        for (Vec2 p : scene.insertions)
            out.addWithin(p);
    return out.result();
}

namespace {

// The curves and points of the visible model-space entities whose extents come within the
// aperture of the pick (world coordinates).
SnapScene sceneNear(AcDbDatabase& db, Vec2 pick, double aperture) {
    SnapScene scene;
    geom::Box2 box = geom::Box2::of(pick, pick).expanded(aperture);
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

} // namespace

void installObjectSnap(Engine& e) {
    e.editor().setOsnapHook([&e](const AcGePoint3d& world, int modes) {
        editor::Editor& ed = e.editor();
        if (!ed.database()) return world;
        double aperture = snapAperture(ed);
        Vec2 pick{world.x, world.y};
        AcGePoint3d last = ed.ucs().toWorld(ed.vars().point(L"LASTPOINT"));
        std::optional<Vec2> snapped = snapPoint(sceneNear(*ed.database(), pick, aperture), pick,
                                                modes, aperture, Vec2{last.x, last.y});
        return snapped ? AcGePoint3d(snapped->x, snapped->y, world.z) : world;
    });
}

} // namespace zel::commands
