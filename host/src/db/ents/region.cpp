// REGION: the loops in the region's plane, their kernel curves, and the geometry queries
// (area, perimeter, section properties, extents, nearest point), transformation and explosion.
#include "arx/db.h"
#include "arx/dbregion.h"
#include "core/tolerance.h"
#include "db/ents/entcommon.h"
#include "db/planar.h"
#include "db/region_curves.h"
#include "geom/area.h"
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/offset.h"
#include "geom/section.h"

#include <cassert>
#include <cmath>

namespace ents = zel::db::ents;
namespace geom = zel::geom;
namespace tol = zel::tol;

ZEL_DEFINE_MEMBERS(AcDbRegion, AcDbEntity)

// ---- pieces ----------------------------------------------------------------------------------

ZelRegionEdge ZelRegionEdge::line(const AcGePoint2d& a, const AcGePoint2d& b) {
    ZelRegionEdge e;
    e.type = kLine;
    e.start = a;
    e.end = b;
    return e;
}

ZelRegionEdge ZelRegionEdge::arc(const AcGePoint2d& center, double radius, double a0,
                                 double sweep) {
    return ellipticArc(center, AcGeVector2d(radius, 0), 1, a0, sweep);
}

ZelRegionEdge ZelRegionEdge::ellipticArc(const AcGePoint2d& center, const AcGeVector2d& majorAxis,
                                         double ratio, double t0, double sweep) {
    ZelRegionEdge e;
    e.type = kArc;
    e.center = center;
    e.majorAxis = majorAxis;
    e.ratio = ratio;
    e.startParam = t0;
    e.sweep = sweep;
    return e;
}

AcGeVector2d ZelRegionEdge::minorAxis() const {
    return AcGeVector2d(-majorAxis.y, majorAxis.x) * ratio;
}

AcGePoint2d ZelRegionEdge::pointAt(double t) const {
    return center + majorAxis * std::cos(t) + minorAxis() * std::sin(t);
}

AcGePoint2d ZelRegionEdge::startPoint() const {
    return type == kLine ? start : pointAt(startParam);
}

AcGePoint2d ZelRegionEdge::endPoint() const {
    return type == kLine ? end : pointAt(startParam + sweep);
}

ZelRegionEdge ZelRegionEdge::reversed() const {
    ZelRegionEdge e = *this;
    if (type == kLine) {
        std::swap(e.start, e.end);
        return e;
    }
    e.startParam = startParam + sweep;
    e.sweep = -sweep;
    return e;
}

// ---- kernel curves ---------------------------------------------------------------------------

namespace {

// An arc of ratio this close to 1 is circular.
bool isCircular(const ZelRegionEdge& e) {
    return std::fabs(e.ratio - 1) <= tol::kParam;
}

bool isFullTurn(double sweep) {
    return std::fabs(sweep) >= geom::kTwoPi - tol::kAngle;
}

geom::Vec2 v2(const AcGePoint2d& p) {
    return {p.x, p.y};
}

AcGePoint2d p2(geom::Vec2 v) {
    return AcGePoint2d(v.x, v.y);
}

geom::LoopEdge kernelEdge(const ZelRegionEdge& e) {
    if (e.type == ZelRegionEdge::kLine) return {geom::Segment{v2(e.start), v2(e.end)}, false};
    double lo = e.sweep >= 0 ? e.startParam : e.startParam + e.sweep;
    double hi = lo + std::fabs(e.sweep);
    bool reversed = e.sweep < 0;
    if (isCircular(e)) {
        double phi = std::atan2(e.majorAxis.y, e.majorAxis.x);
        double r = e.majorAxis.length();
        if (isFullTurn(e.sweep))
            return {geom::arcFromAngles(v2(e.center), r, phi + lo, phi + lo), reversed};
        return {geom::arcFromAngles(v2(e.center), r, phi + lo, phi + hi), reversed};
    }
    geom::Vec2 major{e.majorAxis.x, e.majorAxis.y};
    if (isFullTurn(e.sweep)) hi = lo + geom::kTwoPi;
    return {geom::ellipseFromParams(v2(e.center), major, e.ratio, lo, hi), reversed};
}

// The pieces of a bulge polyline as region edges, in its direction.
void addPolylineEdges(const geom::Polyline& pl, std::vector<ZelRegionEdge>& out) {
    for (int i = 0; i < geom::segmentCount(pl); ++i) {
        geom::PolySegment s = geom::segmentOf(pl, i);
        if (geom::dist(s.a, s.b) <= tol::kPoint) continue;
        if (!geom::isArc(s)) {
            out.push_back(ZelRegionEdge::line(p2(s.a), p2(s.b)));
            continue;
        }
        geom::BulgeArc ba = geom::arcOfBulge(s.a, s.b, s.bulge);
        double sweep = ba.arc.end - ba.arc.start;
        ZelRegionEdge e = ZelRegionEdge::arc(p2(ba.arc.center), ba.arc.radius, ba.arc.start, sweep);
        out.push_back(ba.clockwise ? e.reversed() : e);
    }
}

// A kernel piece as region edges in its own direction (before the loop edge's reversal).
void addKernelPiece(const geom::Curve& c, double fitTolerance, std::vector<ZelRegionEdge>& out) {
    std::visit(
        geom::Overloaded{
            [&](const geom::Segment& s) {
                out.push_back(ZelRegionEdge::line(p2(s.start), p2(s.end)));
            },
            [&](const geom::Ray&) {}, [&](const geom::XLine&) {},
            [&](const geom::Arc& a) {
                out.push_back(ZelRegionEdge::arc(p2(a.center), a.radius, a.start, a.end - a.start));
            },
            [&](const geom::Circle& ci) {
                out.push_back(ZelRegionEdge::arc(p2(ci.center), ci.radius, 0, geom::kTwoPi));
            },
            [&](const geom::Ellipse& el) {
                out.push_back(ZelRegionEdge::ellipticArc(p2(el.center),
                                                         AcGeVector2d(el.major.x, el.major.y),
                                                         el.ratio, el.start, el.end - el.start));
            },
            [&](const geom::Nurbs&) {
                std::optional<geom::Curve> fitted = geom::offset(c, 0, fitTolerance);
                if (auto* pl = fitted ? std::get_if<geom::Polyline>(&*fitted) : nullptr)
                    addPolylineEdges(*pl, out);
                else
                    out.push_back(
                        ZelRegionEdge::line(p2(geom::startPoint(c)), p2(geom::endPoint(c))));
            },
            [&](const geom::Polyline& pl) { addPolylineEdges(pl, out); }},
        c);
}

} // namespace

namespace zel::db {

geom::Loop kernelLoop(const ZelRegionLoop& loop) {
    geom::Loop out;
    for (const ZelRegionEdge& e : loop.edges)
        out.push_back(kernelEdge(e));
    return out;
}

std::vector<geom::Loop> kernelLoops(const AcDbRegion& region) {
    std::vector<geom::Loop> out;
    for (int i = 0; i < region.numLoops(); ++i)
        out.push_back(kernelLoop(region.loopAt(i)));
    return out;
}

ZelRegionLoop regionLoop(const geom::Loop& loop, double fitTolerance) {
    ZelRegionLoop out;
    for (const geom::LoopEdge& e : loop) {
        std::vector<ZelRegionEdge> pieces;
        addKernelPiece(e.curve, fitTolerance, pieces);
        if (e.reversed) {
            for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
                out.edges.push_back(it->reversed());
        } else {
            out.edges.insert(out.edges.end(), pieces.begin(), pieces.end());
        }
    }
    return out;
}

} // namespace zel::db

// ---- plane maps --------------------------------------------------------------------------------

namespace {

// x -> A x + b on plane coordinates, A a similarity (turn, uniform scale, maybe a mirror).
struct PlaneMap {
    double a11 = 1, a12 = 0, a21 = 0, a22 = 1;
    AcGeVector2d b;
    AcGeVector2d vector(const AcGeVector2d& v) const {
        return {a11 * v.x + a12 * v.y, a21 * v.x + a22 * v.y};
    }
    AcGePoint2d point(const AcGePoint2d& p) const {
        return AcGePoint2d() + vector(p - AcGePoint2d()) + b;
    }
    bool mirrored() const { return a11 * a22 - a12 * a21 < 0; }
};

ZelRegionEdge mapEdge(const ZelRegionEdge& e, const PlaneMap& m) {
    ZelRegionEdge out = e;
    if (e.type == ZelRegionEdge::kLine) {
        out.start = m.point(e.start);
        out.end = m.point(e.end);
        return out;
    }
    out.center = m.point(e.center);
    out.majorAxis = m.vector(e.majorAxis);
    // A mirror turns the minor axis over: the parameters run the other way.
    if (m.mirrored()) {
        out.startParam = -e.startParam;
        out.sweep = -e.sweep;
    }
    return out;
}

ZelRegionLoop reversedLoop(const ZelRegionLoop& l) {
    ZelRegionLoop out;
    for (auto it = l.edges.rbegin(); it != l.edges.rend(); ++it)
        out.edges.push_back(it->reversed());
    return out;
}

std::vector<ZelRegionLoop> mapLoops(const std::vector<ZelRegionLoop>& loops, const PlaneMap& m) {
    std::vector<ZelRegionLoop> out;
    for (const ZelRegionLoop& l : loops) {
        ZelRegionLoop mapped;
        for (const ZelRegionEdge& e : l.edges)
            mapped.edges.push_back(mapEdge(e, m));
        // Material stays on the left of the loops.
        out.push_back(m.mirrored() ? reversedLoop(mapped) : mapped);
    }
    return out;
}

// ---- validation and orientation -------------------------------------------------------------

bool finite(const AcGePoint2d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

bool validEdge(const ZelRegionEdge& e) {
    if (e.type == ZelRegionEdge::kLine)
        return finite(e.start) && finite(e.end) && e.start.distanceTo(e.end) > tol::kPoint;
    if (e.type != ZelRegionEdge::kArc) return false;
    return finite(e.center) && finite(AcGePoint2d() + e.majorAxis) &&
           e.majorAxis.length() > tol::kPoint && e.ratio > 0 && e.ratio <= 1 + tol::kParam &&
           std::isfinite(e.startParam) && std::isfinite(e.sweep) &&
           std::fabs(e.sweep) > tol::kAngle && std::fabs(e.sweep) <= geom::kTwoPi + tol::kAngle;
}

double loopSize(const ZelRegionLoop& l) {
    geom::Box2 box = geom::loopBounds(zel::db::kernelLoop(l));
    return box.isEmpty() ? 0 : box.diagonal();
}

// Each piece ends where the next starts (within the joining gap at the loop's size).
bool closedLoop(const ZelRegionLoop& l) {
    if (l.edges.empty()) return false;
    double gap = tol::kJoinGap * std::max(1.0, loopSize(l));
    for (size_t i = 0; i < l.edges.size(); ++i) {
        const ZelRegionEdge& next = l.edges[(i + 1) % l.edges.size()];
        if (l.edges[i].endPoint().distanceTo(next.startPoint()) > gap) return false;
    }
    return true;
}

// Points along a loop close enough to tell which loops hold which (loops do not cross).
constexpr int kSamplesPerTurn = 64;

std::vector<geom::Vec2> loopPolygon(const ZelRegionLoop& l) {
    std::vector<geom::Vec2> out;
    for (const ZelRegionEdge& e : l.edges) {
        if (e.type == ZelRegionEdge::kLine) {
            out.push_back(v2(e.start));
            continue;
        }
        int n = std::max(2, int(std::ceil(std::fabs(e.sweep) / geom::kTwoPi * kSamplesPerTurn)));
        for (int k = 0; k < n; ++k)
            out.push_back(v2(e.pointAt(e.startParam + e.sweep * k / n)));
    }
    return out;
}

bool inside(const std::vector<geom::Vec2>& polygon, geom::Vec2 q) {
    bool in = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        geom::Vec2 a = polygon[i], b = polygon[j];
        if ((a.y > q.y) != (b.y > q.y) && q.x < a.x + (q.y - a.y) / (b.y - a.y) * (b.x - a.x))
            in = !in;
    }
    return in;
}

// A point of the loop away from its joints: the middle of its first piece.
geom::Vec2 pointOn(const ZelRegionLoop& l) {
    const ZelRegionEdge& e = l.edges.front();
    if (e.type == ZelRegionEdge::kLine) return (v2(e.start) + v2(e.end)) * 0.5;
    return v2(e.pointAt(e.startParam + e.sweep / 2));
}

// Turns the loops so that loops inside an even number of others run counter-clockwise.
void orientByNesting(std::vector<ZelRegionLoop>& loops) {
    std::vector<std::vector<geom::Vec2>> polygons;
    for (const ZelRegionLoop& l : loops)
        polygons.push_back(loopPolygon(l));
    for (size_t i = 0; i < loops.size(); ++i) {
        geom::Vec2 q = pointOn(loops[i]);
        int depth = 0;
        for (size_t j = 0; j < loops.size(); ++j)
            depth += j != i && inside(polygons[j], q) ? 1 : 0;
        bool outer = depth % 2 == 0;
        double area = geom::loopArea(zel::db::kernelLoop(loops[i]));
        if ((area > 0) != outer) loops[i] = reversedLoop(loops[i]);
    }
}

// ---- world geometry ----------------------------------------------------------------------------

// Adds the box of one piece: its ends and, per axis, the extreme points its sweep passes.
void addEdgeExtents(const ZelRegionEdge& e, const ents::PlaneFrame& f, AcDbExtents& ext) {
    ext.addPoint(f.point(e.startPoint()));
    ext.addPoint(f.point(e.endPoint()));
    if (e.type == ZelRegionEdge::kLine) return;
    AcGeVector3d M = f.vector(e.majorAxis), m = f.vector(e.minorAxis());
    double lo = std::min(e.startParam, e.startParam + e.sweep);
    double hi = std::max(e.startParam, e.startParam + e.sweep);
    for (int axis = 0; axis < 3; ++axis) {
        double mk = axis == 0 ? M.x : axis == 1 ? M.y : M.z;
        double nk = axis == 0 ? m.x : axis == 1 ? m.y : m.z;
        if (std::hypot(mk, nk) <= tol::kVectorLength) continue;
        double t = std::atan2(nk, mk);
        for (double extreme : {t, t + geom::kPi}) {
            double u = geom::wrapAngle(extreme, lo);
            if (u <= hi) ext.addPoint(f.point(e.pointAt(u)));
        }
    }
}

// The angle of the direction of the point at parameter t (seen from the centre).
double angleAtParam(const ZelRegionEdge& e, double t) {
    AcGeVector2d d = e.pointAt(t) - e.center;
    return std::atan2(d.y, d.x);
}

std::unique_ptr<AcDbEntity> pieceOf(const ZelRegionEdge& e, const ents::PlaneFrame& f) {
    if (e.type == ZelRegionEdge::kLine)
        return std::make_unique<AcDbLine>(f.point(e.start), f.point(e.end));
    double t0 = std::min(e.startParam, e.startParam + e.sweep);
    double t1 = t0 + std::fabs(e.sweep);
    if (isCircular(e)) {
        double r = e.majorAxis.length();
        if (isFullTurn(e.sweep))
            return std::make_unique<AcDbCircle>(f.point(e.center), f.normal, r);
        return std::make_unique<AcDbArc>(f.point(e.center), f.normal, r, angleAtParam(e, t0),
                                         angleAtParam(e, t1));
    }
    // The ellipse takes angles in its plane measured from its major axis.
    auto angleFromMajor = [&](double t) { return std::atan2(e.ratio * std::sin(t), std::cos(t)); };
    double a0 = isFullTurn(e.sweep) ? 0 : angleFromMajor(t0);
    double a1 = isFullTurn(e.sweep) ? geom::kTwoPi : angleFromMajor(t1);
    return std::make_unique<AcDbEllipse>(f.point(e.center), f.normal, f.vector(e.majorAxis),
                                         e.ratio, a0, a1);
}

} // namespace

// ---- the region ------------------------------------------------------------------------------

bool AcDbRegion::prepareLoops(std::vector<ZelRegionLoop>& loops) {
    if (loops.empty()) return false;
    for (const ZelRegionLoop& l : loops) {
        for (const ZelRegionEdge& e : l.edges)
            if (!validEdge(e)) return false;
        if (!closedLoop(l)) return false;
        if (std::fabs(geom::loopArea(zel::db::kernelLoop(l))) <= tol::kPoint) return false;
    }
    orientByNesting(loops);
    return true;
}

Acad::ErrorStatus AcDbRegion::setLoops(const AcGeVector3d& normal, double elevation,
                                       std::vector<ZelRegionLoop> loops) {
    if (normal.isZeroLength() || !std::isfinite(elevation) || !prepareLoops(loops))
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mNormal = normal.normal();
    mElevation = elevation;
    mLoops = std::move(loops);
    mData.clear();
    return Acad::eOk;
}

bool AcDbRegion::isOuterLoop(int index) const {
    if (index < 0 || index >= numLoops()) return false;
    return geom::loopArea(zel::db::kernelLoop(mLoops[index])) > 0;
}

Acad::ErrorStatus AcDbRegion::getArea(double& area) const {
    if (!hasGeometry()) return Acad::eNotApplicable;
    area = 0;
    for (const ZelRegionLoop& l : mLoops)
        area += geom::loopArea(zel::db::kernelLoop(l));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::getPerimeter(double& perimeter) const {
    if (!hasGeometry()) return Acad::eNotApplicable;
    perimeter = 0;
    for (const ZelRegionLoop& l : mLoops)
        for (const geom::LoopEdge& e : zel::db::kernelLoop(l))
            perimeter += geom::length(e.curve);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::getPlane(AcGePoint3d& origin, AcGeVector3d& normal) const {
    origin = ents::planeToWorld(mNormal, AcGePoint3d(0, 0, mElevation));
    normal = mNormal;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::getAreaProp(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                          const AcGeVector3d& yAxis,
                                          ZelRegionAreaProps& props) const {
    if (!hasGeometry()) return Acad::eNotApplicable;
    if (xAxis.isZeroLength() || yAxis.isZeroLength()) return Acad::eInvalidInput;
    AcGeVector3d x = xAxis.normal(), y = yAxis.normal();
    if (std::fabs(x.dotProduct(y)) > tol::kOnCurve ||
        std::fabs(x.dotProduct(mNormal)) > tol::kOnCurve ||
        std::fabs(y.dotProduct(mNormal)) > tol::kOnCurve)
        return Acad::eInvalidInput;
    // Plane coordinates to the frame's coordinates.
    ents::PlaneFrame f{mNormal, mElevation};
    AcGeVector3d ex = f.vector(AcGeVector2d(1, 0)), ey = f.vector(AcGeVector2d(0, 1));
    AcGeVector3d o = f.point(AcGePoint2d()) - origin;
    PlaneMap m{ex.dotProduct(x), ey.dotProduct(x), ex.dotProduct(y), ey.dotProduct(y),
               AcGeVector2d(o.dotProduct(x), o.dotProduct(y))};
    std::vector<geom::Loop> loops;
    geom::Box2 box;
    for (const ZelRegionLoop& l : mapLoops(mLoops, m)) {
        loops.push_back(zel::db::kernelLoop(l));
        box.add(geom::loopBounds(loops.back()));
    }
    geom::SectionProperties s = geom::sectionProperties(loops);
    props = ZelRegionAreaProps();
    props.area = s.area;
    props.perimeter = s.perimeter;
    props.centroid = p2(s.centroid);
    props.centroidMoments[0] = s.ixx;
    props.centroidMoments[1] = s.iyy;
    props.centroidProduct = s.ixy;
    geom::Vec2 c = s.centroid;
    props.momInertia[0] = s.ixx + s.area * c.y * c.y;
    props.momInertia[1] = s.iyy + s.area * c.x * c.x;
    props.prodInertia = s.ixy + s.area * c.x * c.y;
    geom::PrincipalMoments pm = geom::principalMoments(s.ixx, s.iyy, s.ixy);
    props.prinMoments[0] = pm.greatest;
    props.prinMoments[1] = pm.least;
    props.prinAxes[0] = AcGeVector2d(pm.greatestAxis.x, pm.greatestAxis.y);
    props.prinAxes[1] = AcGeVector2d(pm.leastAxis.x, pm.leastAxis.y);
    for (int i = 0; i < 2; ++i)
        props.radiiGyration[i] = s.area > 0 ? std::sqrt(props.momInertia[i] / s.area) : 0;
    props.extentsLow = p2(box.lo);
    props.extentsHigh = p2(box.hi);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::getClosestPointTo(const AcGePoint3d& given,
                                                AcGePoint3d& closest) const {
    if (!hasGeometry()) return Acad::eNotApplicable;
    AcGePoint3d q = ents::worldToPlane(mNormal, given);
    geom::Closest best;
    for (const geom::Loop& l : zel::db::kernelLoops(*this))
        for (const geom::LoopEdge& e : l) {
            geom::Closest c = geom::closest(e.curve, {q.x, q.y});
            if (c.distance < best.distance) best = c;
        }
    closest = ents::PlaneFrame{mNormal, mElevation}.point(p2(best.point));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::explode(std::vector<std::unique_ptr<AcDbEntity>>& pieces) const {
    if (!hasGeometry()) return Acad::eNotApplicable;
    ents::PlaneFrame f{mNormal, mElevation};
    std::vector<std::unique_ptr<AcDbEntity>> made;
    for (const ZelRegionLoop& l : mLoops)
        for (const ZelRegionEdge& e : l.edges) {
            made.push_back(pieceOf(e, f));
            made.back()->setPropertiesFrom(*this);
        }
    for (auto& p : made)
        pieces.push_back(std::move(p));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    ents::PlaneFrame f{mNormal, mElevation};
    for (const ZelRegionLoop& l : mLoops)
        for (const ZelRegionEdge& e : l.edges)
            addEdgeExtents(e, f, extents);
    return extents.isEmpty() ? Acad::eInvalidExtents : Acad::eOk;
}

Acad::ErrorStatus AcDbRegion::transformBy(const AcGeMatrix3d& xform) {
    if (!hasGeometry()) return Acad::eNotApplicable;
    ents::PlanarTransform t = ents::planarTransform(xform, mNormal);
    if (!t.uniform) return Acad::eCannotScaleNonUniformly;
    ents::PlaneFrame from{mNormal, mElevation};
    auto moved = [&](const AcGePoint2d& p) {
        return ents::worldToPlane(t.normal, xform * from.point(p));
    };
    AcGePoint3d o = moved(AcGePoint2d(0, 0)), px = moved(AcGePoint2d(1, 0)),
                py = moved(AcGePoint2d(0, 1));
    PlaneMap m{px.x - o.x, py.x - o.x, px.y - o.y, py.y - o.y, AcGeVector2d(o.x, o.y)};
    std::vector<ZelRegionLoop> loops = mapLoops(mLoops, m);
    assertWriteEnabled();
    mLoops = std::move(loops);
    mNormal = t.normal;
    mElevation = o.z;
    mData.clear();
    return Acad::eOk;
}

namespace zel::db {

std::vector<std::vector<int>> regionFaces(const std::vector<ZelRegionLoop>& loops) {
    std::vector<double> areas;
    std::vector<int> outers;
    for (size_t i = 0; i < loops.size(); ++i) {
        areas.push_back(geom::loopArea(kernelLoop(loops[i])));
        if (areas.back() > 0) outers.push_back(int(i));
    }
    std::vector<std::vector<int>> faces;
    for (int o : outers)
        faces.push_back({o});
    for (size_t i = 0; i < loops.size(); ++i) {
        if (areas[i] > 0) continue;
        geom::Vec2 q = pointOn(loops[i]);
        int best = -1;
        for (size_t f = 0; f < outers.size(); ++f) {
            int o = outers[f];
            if (!inside(loopPolygon(loops[size_t(o)]), q)) continue;
            if (best < 0 || areas[size_t(o)] < areas[size_t(outers[size_t(best)])]) best = int(f);
        }
        if (best < 0)
            faces.push_back({int(i)}); // a hole in nothing: a face of its own
        else
            faces[size_t(best)].push_back(int(i));
    }
    return faces;
}

std::vector<geom::Curve> regionCurvesXY(const AcDbRegion& region) {
    int facing = planeFacing(region.normal());
    if (facing == 0) return {};
    // World XY coordinates of the plane: the same frame seen from above, or mirrored.
    ents::PlaneFrame f{region.normal(), region.elevation()};
    AcGePoint3d o = f.point(AcGePoint2d(0, 0)), px = f.point(AcGePoint2d(1, 0)),
                py = f.point(AcGePoint2d(0, 1));
    PlaneMap m{px.x - o.x, py.x - o.x, px.y - o.y, py.y - o.y, AcGeVector2d(o.x, o.y)};
    std::vector<ZelRegionLoop> loops;
    for (int i = 0; i < region.numLoops(); ++i)
        loops.push_back(region.loopAt(i));
    std::vector<geom::Curve> out;
    for (const ZelRegionLoop& l : mapLoops(loops, m))
        for (const geom::LoopEdge& e : kernelLoop(l))
            out.push_back(e.curve);
    return out;
}

} // namespace zel::db
