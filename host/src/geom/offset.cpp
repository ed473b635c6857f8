// Offsets: exact for lines and circles; ellipses and splines are fitted by arcs through
// points of the true offset, halving pieces until the arcs are within the tolerance.
#include "geom/offset.h"

#include "core/tolerance.h"
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/intersect.h"
#include "geom/nurbs.h"

#include <functional>

namespace zel::geom {

namespace {

constexpr int kFitDepth = 24;         // halvings of a piece before its arc is taken as it is
constexpr size_t kFitBudget = 200000; // vertices of a fitted offset before pieces stop halving
constexpr int kFitStartPieces = 4;    // pieces of every smooth stretch before the first check
// Share of the tolerance the checked points must keep: the error between them runs higher.
constexpr double kFitMargin = 0.5;

using PointFn = std::function<Vec2(double)>;

std::optional<Curve> fail(std::string* why, const char* text) {
    if (why) *why = text;
    return std::nullopt;
}

// The bulge of the arc from p0 through pm to p1.
double bulgeThrough(Vec2 p0, Vec2 pm, Vec2 p1) {
    double turn = cross(pm - p0, p1 - pm);
    double inscribed = std::atan2(std::fabs(cross(p0 - pm, p1 - pm)), dot(p0 - pm, p1 - pm));
    double b = std::tan((kPi - inscribed) / 2);
    return turn >= 0 ? b : -b;
}

// Vertices of arcs fitted to f on [t0, t1] (the end vertex is left to the caller).
void fitArcs(const PointFn& f, double t0, double t1, double tolerance, int depth,
             std::vector<BulgeVertex>& out) {
    double tm = (t0 + t1) / 2;
    Vec2 p0 = f(t0), p1 = f(t1);
    PolySegment s{p0, p1, bulgeThrough(p0, f(tm), p1)};
    Curve piece = curveOf(s);
    bool fits = true;
    for (double k : {0.25, 0.75}) {
        fits = fits && closest(piece, f(t0 + (t1 - t0) * k)).distance <= tolerance * kFitMargin;
    }
    if (fits || depth >= kFitDepth || out.size() >= kFitBudget) {
        out.push_back({p0, s.bulge});
        return;
    }
    fitArcs(f, t0, tm, tolerance, depth + 1, out);
    fitArcs(f, tm, t1, tolerance, depth + 1, out);
}

std::optional<Curve> offsetCircle(Vec2 center, double radius, double d, std::string* why) {
    if (radius - d <= tol::kPoint) {
        return fail(why, "the offset distance reaches the centre of the arc");
    }
    return Circle{center, radius - d};
}

// A segment of a polyline offset by d; `turned` when an arc tighter than the distance on the
// side offset to was moved past its centre.
struct MovedSegment {
    PolySegment s;
    bool turned = false;
};

// The segment offset by d. An arc moved past its centre (the radius r - d below zero) runs round
// the centre on the far side, the same way round and through the same sweep: each of its points
// is still the point of the arc moved by d along the normal, so the corners on either side join
// it at the distance from their own vertices.
MovedSegment offsetSegment(const PolySegment& s, double d) {
    if (!isArc(s)) {
        Vec2 n = perp(unit(s.b - s.a)) * d;
        return {{s.a + n, s.b + n, 0}};
    }
    BulgeArc b = arcOfBulge(s.a, s.b, s.bulge);
    double r = b.arc.radius + (b.clockwise ? d : -d);
    Vec2 start = b.arc.center + polar(b.arc.start) * r, end = b.arc.center + polar(b.arc.end) * r;
    PolySegment moved =
        b.clockwise ? PolySegment{end, start, s.bulge} : PolySegment{start, end, s.bulge};
    return {moved, r <= tol::kPoint};
}

Vec2 travelAt(const PolySegment& s, double u) {
    return tangentAt(Polyline{{{s.a, s.bulge}, {s.b, 0}}, false}, u);
}

// s moved to run from a to b on its own line or circle.
void reshape(PolySegment& s, Vec2 a, Vec2 b) {
    if (isArc(s)) {
        BulgeArc arc = arcOfBulge(s.a, s.b, s.bulge);
        double from = angleOf(a - arc.arc.center), to = angleOf(b - arc.arc.center);
        double sweep = arc.clockwise ? wrapAngle(from - to, 0) : wrapAngle(to - from, 0);
        // An end moved back past the other one (the piece vanishes at this distance) gives a
        // short piece run backwards, not nearly a full turn: the loop it makes is cut out later.
        if (sweep - (arc.arc.end - arc.arc.start) > kPi) sweep -= kTwoPi;
        s.bulge = std::tan(sweep / 4) * (arc.clockwise ? -1 : 1);
    }
    s.a = a, s.b = b;
}

// How offset pieces that part at a corner are joined: by extending them until they meet (the
// drafting habit for polylines), by an arc about the corner (the true offset of a curve), or
// by a line touching that arc on the corner's bisector.
enum class Corner { Extend, Round, Chamfer };

Corner cornerOf(OffsetGap gap) {
    switch (gap) {
    case OffsetGap::Extend:
        return Corner::Extend;
    case OffsetGap::Fillet:
        return Corner::Round;
    case OffsetGap::Chamfer:
        return Corner::Chamfer;
    }
    return Corner::Extend;
}

// Where the line through p along dir crosses the line through q along along; nullopt when
// they run side by side.
std::optional<Vec2> lineCrossing(Vec2 p, Vec2 dir, Vec2 q, Vec2 along) {
    double den = cross(dir, along);
    if (std::fabs(den) <= tol::kParallel) return std::nullopt;
    return p + dir * (cross(q - p, along) / den);
}

// Joins parting pieces with a chamfer: the line touching the arc of radius |d| about the
// vertex where the bisector of the two offset ends crosses it. Straight pieces are extended to
// it; arcs get a short straight piece along their end tangent. False when the corner turns so
// far that there is no bisector (the caller joins with an arc then).
bool chamferJoin(std::vector<PolySegment>& chain, PolySegment& next, Vec2 vertex, double d) {
    PolySegment& prev = chain.back();
    Vec2 bisector = (prev.b - vertex) + (next.a - vertex);
    if (norm(bisector) <= tol::kPoint) return false;
    Vec2 m = unit(bisector);
    Vec2 touch = vertex + m * std::fabs(d);
    auto c1 = lineCrossing(prev.b, travelAt(prev, 1), touch, perp(m));
    auto c2 = lineCrossing(next.a, travelAt(next, 0), touch, perp(m));
    if (!c1 || !c2) return false;
    if (!isArc(prev)) {
        reshape(prev, prev.a, *c1);
    } else if (dist(prev.b, *c1) > tol::kPoint) {
        chain.push_back({prev.b, *c1, 0});
    }
    chain.push_back({*c1, *c2, 0});
    if (!isArc(next)) {
        reshape(next, *c2, next.b);
    } else if (dist(*c2, next.a) > tol::kPoint) {
        chain.push_back({*c2, next.a, 0});
    }
    chain.push_back(next);
    return true;
}

// Joins offset segment `next` to the chain at the corner `vertex` of the original curve.
// Where the pieces overlap (the inside of the corner) both are cut where they cross; where
// they part, they are extended to meet or joined by an arc about the vertex.
void join(std::vector<PolySegment>& chain, PolySegment next, Vec2 vertex, double d, Corner style) {
    PolySegment& prev = chain.back();
    if (dist(prev.b, next.a) <= tol::kPoint) {
        chain.push_back(next);
        return;
    }
    double turn = cross(travelAt(prev, 1), travelAt(next, 0));
    bool parting = turn * d < 0;
    if (parting && style == Corner::Chamfer && chamferJoin(chain, next, vertex, d)) return;
    if (!parting || style != Corner::Round) {
        Intersections meet = intersect(curveOf(prev), curveOf(next), Extend::Both);
        const Hit* best = nullptr;
        for (const Hit& h : meet.hits) {
            if (!best || dist(h.point, vertex) < dist(best->point, vertex)) best = &h;
        }
        if (best && dist(best->point, vertex) <= 2 * std::fabs(d) + tol::kPoint) {
            reshape(prev, prev.a, best->point);
            reshape(next, best->point, next.b);
            chain.push_back(next);
            return;
        }
    }
    // An arc about the vertex from one offset end to the other, turning as the corner does.
    double from = angleOf(prev.b - vertex), to = angleOf(next.a - vertex);
    bool clockwise = turn < 0;
    double sweep = clockwise ? wrapAngle(from - to, 0) : wrapAngle(to - from, 0);
    // Pieces that overlap but do not meet are joined the short way round the vertex too, at the
    // distance from it; what of the join comes too near the curve is cut out with the loops.
    double bulge = parting ? std::tan(sweep / 4) * (clockwise ? -1 : 1)
                           : std::tan(wrapAngle(to - from, -kPi) / 4);
    chain.push_back({prev.b, next.a, bulge});
    chain.push_back(next);
}

// The chain as a polyline; a closed one gets its last corner joined too.
Polyline chainToPolyline(std::vector<PolySegment> chain, bool closed, Vec2 firstVertex, double d,
                         Corner style) {
    if (closed && chain.size() > 1) {
        PolySegment first = chain.front();
        join(chain, first, firstVertex, d, style);
        chain.front() = chain.back();
        chain.pop_back();
    }
    Polyline out{{}, closed};
    for (const PolySegment& s : chain) {
        out.vertices.push_back({s.a, s.bulge});
    }
    if (!closed) out.vertices.push_back({chain.back().b, 0});
    return out;
}

// Pieces of the curve that are smooth inside: spline spans (a spline may turn a corner at a
// knot), the whole of an ellipse.
std::vector<Curve> smoothPieces(const Curve& c) {
    auto* n = std::get_if<Nurbs>(&c);
    if (!n) return {c};
    Interval dom = domain(c);
    std::vector<double> breaks{dom.lo};
    for (double k : n->knots) {
        if (k > breaks.back() && k < dom.hi) breaks.push_back(k);
    }
    breaks.push_back(dom.hi);
    std::vector<Curve> out;
    for (size_t i = 0; i + 1 < breaks.size(); ++i) {
        out.push_back(subNurbs(*n, breaks[i], breaks[i + 1]));
    }
    return out;
}

// Arcs fitted to the offset of each smooth piece, the pieces joined at their corners.
Polyline fittedOffset(const Curve& c, double d, double tolerance) {
    std::vector<PolySegment> chain;
    for (const Curve& piece : smoothPieces(c)) {
        PointFn f = [&](double t) { return pointAt(piece, t) + perp(tangentAt(piece, t)) * d; };
        Interval dom = domain(piece);
        std::vector<BulgeVertex> vertices;
        double step = dom.span() / kFitStartPieces;
        for (int k = 0; k < kFitStartPieces; ++k) {
            double a = dom.lo + k * step;
            fitArcs(f, a, k + 1 == kFitStartPieces ? dom.hi : a + step, tolerance, 0, vertices);
        }
        vertices.push_back({f(dom.hi), 0});
        for (size_t i = 0; i + 1 < vertices.size(); ++i) {
            PolySegment s{vertices[i].point, vertices[i + 1].point, vertices[i].bulge};
            if (chain.empty() || i > 0) {
                chain.push_back(s);
            } else {
                join(chain, s, startPoint(piece), d, Corner::Round);
            }
        }
    }
    return chainToPolyline(std::move(chain), isClosed(c), startPoint(c), d, Corner::Round);
}

std::optional<Curve> offsetPolyline(const Polyline& p, double d, Corner style, std::string* why) {
    std::vector<PolySegment> chain;
    bool anyKept = false; // a segment whose offset is not turned past its centre
    for (int i = 0; i < segmentCount(p); ++i) {
        PolySegment s = segmentOf(p, i);
        if (dist(s.a, s.b) <= tol::kPoint) continue;
        MovedSegment moved = offsetSegment(s, d);
        if (dist(moved.s.a, moved.s.b) <= tol::kPoint) continue;
        anyKept = anyKept || !moved.turned;
        if (chain.empty()) {
            chain.push_back(moved.s);
        } else {
            join(chain, moved.s, s.a, d, style);
        }
    }
    if (!anyKept) return fail(why, "the offset distance is larger than the polyline's arcs");
    return chainToPolyline(std::move(chain), p.closed, p.vertices.front().point, d, style);
}

} // namespace

std::optional<Curve> offset(const Curve& c, double d, double tolerance, std::string* why,
                            OffsetGap gap) {
    using R = std::optional<Curve>;
    if (!std::isfinite(d)) return fail(why, "the offset distance is not a number");
    if (!(tolerance > 0)) return fail(why, "the offset tolerance must be positive");
    return std::visit(
        Overloaded{[&](const Segment& s) -> R {
                       Vec2 n = perp(unit(s.end - s.start)) * d;
                       return Segment{s.start + n, s.end + n};
                   },
                   [&](const Ray& r) -> R {
                       return Ray{r.base + perp(r.dir) * d, r.dir};
                   },
                   [&](const XLine& l) -> R {
                       return XLine{l.base + perp(l.dir) * d, l.dir};
                   },
                   [&](const Arc& a) -> R {
                       auto circle = offsetCircle(a.center, a.radius, d, why);
                       if (!circle) return circle;
                       return Arc{a.center, std::get<Circle>(*circle).radius, a.start, a.end};
                   },
                   [&](const Circle& ci) { return offsetCircle(ci.center, ci.radius, d, why); },
                   [&](const Ellipse&) -> R { return fittedOffset(c, d, tolerance); },
                   [&](const Nurbs&) -> R { return fittedOffset(c, d, tolerance); },
                   [&](const Polyline& p) { return offsetPolyline(p, d, cornerOf(gap), why); }},
        c);
}

int sideOf(const Curve& c, Vec2 p) {
    Closest r = closest(c, p);
    if (r.distance <= tol::kPoint) return 0;
    double s = cross(tangentAt(c, r.param), p - r.point);
    return s > 0 ? 1 : (s < 0 ? -1 : 0);
}

} // namespace zel::geom
