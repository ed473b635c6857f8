// HATCH: pattern and boundary accessors, and the geometry of the boundary loops.
#include "arx/db.h"
#include "core/tolerance.h"
#include "db/ents/bulgechain.h"
#include "db/ents/entcommon.h"
#include "db/ents/kinds.h"
#include "db/ents/nurbs.h"

#include <cmath>

namespace ents = zel::db::ents;
using zel::db::curve::BulgeChain;
using zel::db::curve::BulgeVertex;

ZEL_DEFINE_MEMBERS(AcDbHatch, AcDbEntity)

namespace {

constexpr double kRadPerDeg = M_PI / 180;
// Pieces an elliptic arc or a spline edge is cut into for areas and extents.
constexpr int kCurveSamples = 64;

} // namespace

Acad::ErrorStatus AcDbHatch::setPattern(HatchPatternType type, const ACHAR* name) {
    if (!name || !*name || type < kUserDefined || type > kCustomDefined) return Acad::eInvalidInput;
    assertWriteEnabled();
    mPatternType = int16_t(type);
    mPatternName = name;
    mSolid = mPatternName == L"SOLID";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setAssociative(bool on) {
    assertWriteEnabled();
    mAssociative = on;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setHatchStyle(HatchStyle style) {
    if (style < kNormal || style > kIgnore) return Acad::eInvalidInput;
    assertWriteEnabled();
    mStyle = int16_t(style);
    return Acad::eOk;
}

double AcDbHatch::patternAngle() const {
    return mPatternAngle * kRadPerDeg;
}

Acad::ErrorStatus AcDbHatch::setPatternAngle(double angle) {
    if (!std::isfinite(angle)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mPatternAngle = angle / kRadPerDeg;
    mHasPatternProperties = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setPatternScale(double scale) {
    if (!(scale > 0)) return Acad::eInvalidInput;
    assertWriteEnabled();
    mPatternScale = scale;
    mHasPatternProperties = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setPatternDouble(bool on) {
    assertWriteEnabled();
    mPatternDouble = on;
    mHasPatternProperties = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setElevation(double z) {
    assertWriteEnabled();
    mElevation = AcGePoint3d(0, 0, z);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength()) return Acad::eInvalidInput;
    assertWriteEnabled();
    mNormal = n.normal();
    return Acad::eOk;
}

int32_t AcDbHatch::loopTypeAt(int index) const {
    return index >= 0 && index < numLoops() ? mLoops[index].type : 0;
}

Acad::ErrorStatus AcDbHatch::getLoopAt(int index, int32_t& loopType,
                                       std::vector<AcGePoint2d>& vertices,
                                       std::vector<double>& bulges) const {
    if (index < 0 || index >= numLoops()) return Acad::eInvalidIndex;
    const ZelHatchLoop& l = mLoops[index];
    if (!l.isPolyline()) return Acad::eInvalidInput;
    loopType = l.type;
    vertices = l.vertices;
    bulges = l.bulges;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::appendLoop(int32_t loopType, const std::vector<AcGePoint2d>& vertices,
                                        const std::vector<double>& bulges) {
    if (vertices.size() < 2 || (!bulges.empty() && bulges.size() != vertices.size()))
        return Acad::eInvalidInput;
    ZelHatchLoop l;
    l.type = loopType | kPolyline;
    l.vertices = vertices;
    l.bulges = bulges.empty() ? std::vector<double>(vertices.size(), 0.0) : bulges;
    for (double b : l.bulges)
        l.hasBulges = l.hasBulges || b != 0;
    return appendLoop(l);
}

Acad::ErrorStatus AcDbHatch::appendLoop(const ZelHatchLoop& loop) {
    if (loop.isPolyline() ? loop.vertices.size() < 2 : loop.edges.empty())
        return Acad::eInvalidInput;
    assertWriteEnabled();
    mLoops.push_back(loop);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::removeLoopAt(int index) {
    if (index < 0 || index >= numLoops()) return Acad::eInvalidIndex;
    assertWriteEnabled();
    mLoops.erase(mLoops.begin() + index);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::setPatternDefinitions(std::vector<ZelHatchPatternLine> lines) {
    assertWriteEnabled();
    mPatternLines = std::move(lines);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::appendSeedPoint(const AcGePoint2d& p) {
    assertWriteEnabled();
    mSeeds.push_back(p);
    return Acad::eOk;
}

// ---- geometry of the loops --------------------------------------------------------------------

namespace {

// An arc edge's angles as drawn (radians, counter-clockwise); a clockwise edge keeps its
// angles mirrored (measured clockwise), as files hold them.
void arcAngles(const ZelHatchEdge& e, double& start, double& sweep) {
    double a0 = e.startAngle * kRadPerDeg, a1 = e.endAngle * kRadPerDeg;
    double s = std::fmod(a1 - a0, 2 * M_PI);
    if (s <= 0) s += 2 * M_PI;
    start = e.counterClockwise ? a0 : -a0;
    sweep = e.counterClockwise ? s : -s;
}

AcGePoint2d ellipsePoint(const ZelHatchEdge& e, double t) {
    AcGeVector2d minor(-e.majorAxis.y * e.radius, e.majorAxis.x * e.radius);
    return e.center + e.majorAxis * std::cos(t) + minor * std::sin(t);
}

// The edge as points with bulges (its end point is the next edge's start).
void addEdge(const ZelHatchEdge& e, std::vector<BulgeVertex>& out) {
    switch (e.type) {
    case ZelHatchEdge::kLine:
        out.push_back({e.start, 0});
        return;
    case ZelHatchEdge::kCirArc: {
        double start, sweep;
        arcAngles(e, start, sweep);
        // Arcs of more than half a circle go in two halves (a full circle has no bulge).
        int pieces = std::fabs(sweep) > M_PI + zel::tol::kAngle ? 2 : 1;
        for (int i = 0; i < pieces; ++i) {
            double a = start + sweep * i / pieces;
            AcGePoint2d p(e.center.x + e.radius * std::cos(a), e.center.y + e.radius * std::sin(a));
            out.push_back({p, std::tan(sweep / pieces / 4)});
        }
        return;
    }
    case ZelHatchEdge::kEllArc: {
        double start, sweep;
        arcAngles(e, start, sweep);
        for (int i = 0; i < kCurveSamples; ++i)
            out.push_back({ellipsePoint(e, start + sweep * i / kCurveSamples), 0});
        return;
    }
    default:
        break;
    }
    std::vector<AcGePoint3d> ctrl;
    for (const AcGePoint2d& p : e.controlPoints)
        ctrl.emplace_back(p.x, p.y, 0);
    std::optional<zel::db::curve::Nurbs> c = zel::db::curve::Nurbs::make(
        e.degree, e.knots, ctrl, e.rational ? e.weights : std::vector<double>{}, nullptr);
    if (!c) {
        for (const AcGePoint3d& p : ctrl)
            out.push_back({p.convert2d(), 0});
        return;
    }
    for (int i = 0; i < kCurveSamples; ++i) {
        double u = c->startParam() + (c->endParam() - c->startParam()) * i / kCurveSamples;
        out.push_back({c->point(u).convert2d(), 0});
    }
}

std::vector<BulgeVertex> verticesOf(const ZelHatchLoop& l) {
    std::vector<BulgeVertex> v;
    if (l.isPolyline()) {
        for (size_t i = 0; i < l.vertices.size(); ++i)
            v.push_back({l.vertices[i], i < l.bulges.size() ? l.bulges[i] : 0});
    } else {
        for (const ZelHatchEdge& e : l.edges)
            addEdge(e, v);
    }
    return v;
}

BulgeChain chainOf(const ZelHatchLoop& l) {
    return BulgeChain(verticesOf(l), true);
}

} // namespace

Acad::ErrorStatus AcDbHatch::getLoopPoints(int index, std::vector<AcGePoint2d>& points,
                                           std::vector<double>& bulges) const {
    if (index < 0 || index >= numLoops()) return Acad::eInvalidIndex;
    points.clear();
    bulges.clear();
    for (const BulgeVertex& v : verticesOf(mLoops[index])) {
        points.push_back(v.point);
        bulges.push_back(v.bulge);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::getArea(double& area) const {
    if (mLoops.empty()) return Acad::eDegenerateGeometry;
    int outer = -1;
    double outerArea = -1;
    std::vector<double> areas;
    for (int i = 0; i < numLoops(); ++i) {
        areas.push_back(std::fabs(chainOf(mLoops[i]).signedArea()));
        bool marked = (mLoops[i].type & (kOutermost | kExternal)) != 0;
        bool markedBefore = outer >= 0 && (mLoops[outer].type & (kOutermost | kExternal)) != 0;
        if (outer < 0 || (marked && !markedBefore) ||
            (marked == markedBefore && areas[i] > outerArea))
            outer = i, outerArea = areas[i];
    }
    area = outerArea;
    for (int i = 0; i < numLoops(); ++i)
        if (i != outer) area -= areas[i];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    for (const ZelHatchLoop& l : mLoops) {
        AcGePoint2d mn, mx;
        if (!chainOf(l).extents(mn, mx)) continue;
        for (double x : {mn.x, mx.x})
            for (double y : {mn.y, mx.y})
                extents.addPoint(ents::planeToWorld(mNormal, AcGePoint3d(x, y, mElevation.z)));
    }
    return extents.isEmpty() ? Acad::eInvalidExtents : Acad::eOk;
}

namespace {

// Moves plane points and directions of the hatch from one plane frame to another.
struct PlaneMap {
    const AcGeMatrix3d& xform;
    AcGeVector3d from, to;
    double elevation;
    AcGePoint2d point(const AcGePoint2d& p) const {
        AcGePoint3d w = xform * ents::planeToWorld(from, AcGePoint3d(p.x, p.y, elevation));
        return ents::worldToPlane(to, w).convert2d();
    }
    AcGeVector2d vector(const AcGeVector2d& v) const {
        AcGeVector3d w = xform * ents::planeToWorld(from, AcGeVector3d(v.x, v.y, 0));
        AcGeVector3d p = ents::worldToPlane(to, w);
        return {p.x, p.y};
    }
    // The new angle (degrees) of a direction given by its angle (degrees).
    double angle(double degrees) const {
        AcGeVector2d d = vector({std::cos(degrees * kRadPerDeg), std::sin(degrees * kRadPerDeg)});
        return std::atan2(d.y, d.x) / kRadPerDeg;
    }
};

void transformEdge(ZelHatchEdge& e, const PlaneMap& m, const ents::PlanarTransform& t) {
    e.start = m.point(e.start);
    e.end = m.point(e.end);
    for (AcGePoint2d& p : e.controlPoints)
        p = m.point(p);
    for (AcGePoint2d& p : e.fitPoints)
        p = m.point(p);
    e.startTangent = m.vector(e.startTangent);
    e.endTangent = m.vector(e.endTangent);
    if (e.type != ZelHatchEdge::kCirArc && e.type != ZelHatchEdge::kEllArc) return;
    if (e.type == ZelHatchEdge::kCirArc) {
        // Drawn angles move with the plane; mirrored arcs turn the other way.
        double start, sweep;
        arcAngles(e, start, sweep);
        double a0 = m.angle(start / kRadPerDeg) * kRadPerDeg;
        double s = t.mirrored ? -sweep : sweep;
        e.counterClockwise = s > 0;
        double a1 = a0 + s;
        e.startAngle = (e.counterClockwise ? a0 : -a0) / kRadPerDeg;
        e.endAngle = (e.counterClockwise ? a1 : -a1) / kRadPerDeg;
        e.radius *= t.scale;
    } else {
        // Angles of an elliptic arc are measured from its major axis: a mirror reverses them.
        e.majorAxis = m.vector(e.majorAxis);
        if (t.mirrored) e.counterClockwise = !e.counterClockwise;
    }
    e.center = m.point(e.center);
}

} // namespace

Acad::ErrorStatus AcDbHatch::transformBy(const AcGeMatrix3d& xform) {
    ents::PlanarTransform t = ents::planarTransform(xform, mNormal);
    if (!t.uniform) return Acad::eCannotScaleNonUniformly;
    assertWriteEnabled();
    AcGePoint3d origin =
        ents::worldToPlane(t.normal, xform * ents::planeToWorld(mNormal, mElevation));
    PlaneMap m{xform, mNormal, t.normal, mElevation.z};
    for (ZelHatchLoop& l : mLoops) {
        for (AcGePoint2d& p : l.vertices)
            p = m.point(p);
        if (t.mirrored)
            for (double& b : l.bulges)
                b = -b;
        for (ZelHatchEdge& e : l.edges)
            transformEdge(e, m, t);
    }
    for (AcGePoint2d& p : mSeeds)
        p = m.point(p);
    for (ZelHatchPatternLine& l : mPatternLines) {
        l.angle = m.angle(l.angle);
        l.base = m.point(l.base);
        l.offset = m.vector(l.offset);
        for (double& d : l.dashes)
            d *= t.scale;
    }
    mPatternAngle = m.angle(mPatternAngle);
    mPatternScale *= t.scale;
    mElevation = AcGePoint3d(0, 0, origin.z);
    mNormal = t.normal;
    return Acad::eOk;
}
