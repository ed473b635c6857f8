// Bulge segments and the basic queries of bulge polylines.
#include "geom/bulge.h"

#include "core/tolerance.h"

#include <cassert>

namespace zel::geom {

namespace {

Segment lineOf(const PolySegment& s) {
    return {s.a, s.b};
}

double sweepOf(const BulgeArc& b) {
    return b.arc.end - b.arc.start;
}

} // namespace

bool isArc(const PolySegment& s) {
    double sagitta = std::fabs(s.bulge) * dist(s.a, s.b) / 2;
    return sagitta > tol::kPoint;
}

BulgeArc arcOfBulge(Vec2 a, Vec2 b, double bulge) {
    assert(bulge != 0 && "arcOfBulge: a straight segment has no arc");
    Vec2 chord = b - a;
    Vec2 center = (a + b) * 0.5 + perp(chord) * ((1 - bulge * bulge) / (4 * bulge));
    double sweep = 4 * std::atan(std::fabs(bulge));
    double radius = dist(center, a);
    bool clockwise = bulge < 0;
    double start = angleOf((clockwise ? b : a) - center);
    return {{center, radius, start, start + sweep}, clockwise};
}

double bulgeOfArc(const Arc& arc, bool clockwise) {
    double b = std::tan((arc.end - arc.start) / 4);
    return clockwise ? -b : b;
}

PolySegment segmentOfArc(const Arc& arc, bool clockwise) {
    Vec2 s = pointAt(arc, arc.start), e = pointAt(arc, arc.end);
    return clockwise ? PolySegment{e, s, bulgeOfArc(arc, true)}
                     : PolySegment{s, e, bulgeOfArc(arc)};
}

int segmentCount(const Polyline& p) {
    int n = int(p.vertices.size());
    if (n < 2) return 0;
    return p.closed ? n : n - 1;
}

PolySegment segmentOf(const Polyline& p, int i) {
    const auto& v = p.vertices;
    const BulgeVertex& a = v[i];
    const BulgeVertex& b = v[(i + 1) % v.size()];
    return {a.point, b.point, a.bulge};
}

Curve curveOf(const PolySegment& s) {
    if (!isArc(s)) return lineOf(s);
    return arcOfBulge(s.a, s.b, s.bulge).arc;
}

double curveParamAt(const PolySegment& s, double u) {
    if (!isArc(s)) return u * dist(s.a, s.b);
    BulgeArc b = arcOfBulge(s.a, s.b, s.bulge);
    return b.clockwise ? b.arc.end - u * sweepOf(b) : b.arc.start + u * sweepOf(b);
}

double localParamAt(const PolySegment& s, double curveParam) {
    if (!isArc(s)) {
        double len = dist(s.a, s.b);
        return len > 0 ? curveParam / len : 0;
    }
    BulgeArc b = arcOfBulge(s.a, s.b, s.bulge);
    double u = (curveParam - b.arc.start) / sweepOf(b);
    return b.clockwise ? 1 - u : u;
}

std::pair<int, double> locate(const Polyline& p, double t) {
    int n = segmentCount(p);
    assert(n > 0 && "locate: a polyline needs two vertices");
    if (!(t >= 0)) t = 0; // also NaN
    t = std::min(t, double(n));
    int i = std::min(n - 1, int(std::floor(t)));
    return {i, t - i};
}

Interval domain(const Polyline& p) {
    return {0, double(segmentCount(p))};
}

Vec2 pointAt(const Polyline& p, double t) {
    auto [i, u] = locate(p, t);
    PolySegment s = segmentOf(p, i);
    if (!isArc(s)) return lerp(s.a, s.b, u);
    return pointAt(curveOf(s), curveParamAt(s, u));
}

Vec2 derivAt(const Polyline& p, double t) {
    auto [i, u] = locate(p, t);
    PolySegment s = segmentOf(p, i);
    if (!isArc(s)) return s.b - s.a;
    BulgeArc b = arcOfBulge(s.a, s.b, s.bulge);
    double rate = b.clockwise ? -sweepOf(b) : sweepOf(b); // d(angle)/du
    return derivAt(b.arc, curveParamAt(s, u)) * rate;
}

Vec2 deriv2At(const Polyline& p, double t) {
    auto [i, u] = locate(p, t);
    PolySegment s = segmentOf(p, i);
    if (!isArc(s)) return {};
    BulgeArc b = arcOfBulge(s.a, s.b, s.bulge);
    return deriv2At(b.arc, curveParamAt(s, u)) * (sweepOf(b) * sweepOf(b));
}

double lengthBetween(const Polyline& p, double t0, double t1) {
    if (t0 > t1) return -lengthBetween(p, t1, t0);
    auto [i0, u0] = locate(p, t0);
    auto [i1, u1] = locate(p, t1);
    double total = 0;
    for (int i = i0; i <= i1; ++i) {
        PolySegment s = segmentOf(p, i);
        Curve c = curveOf(s);
        double a = curveParamAt(s, i == i0 ? u0 : 0), b = curveParamAt(s, i == i1 ? u1 : 1);
        total += std::fabs(lengthBetween(c, std::min(a, b), std::max(a, b)));
    }
    return total;
}

Box2 bounds(const Polyline& p) {
    Box2 box;
    for (const auto& v : p.vertices) {
        box.add(v.point);
    }
    for (int i = 0; i < segmentCount(p); ++i) {
        box.add(bounds(curveOf(segmentOf(p, i))));
    }
    return box;
}

bool isClosed(const Polyline& p) {
    return p.closed;
}

double signedArea(const Polyline& p) {
    const auto& v = p.vertices;
    double twice = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        twice += cross(v[i].point, v[(i + 1) % v.size()].point);
    }
    double area = twice / 2;
    for (int i = 0; i < segmentCount(p); ++i) {
        PolySegment s = segmentOf(p, i);
        if (!isArc(s)) continue;
        double sweep = 4 * std::atan(s.bulge); // signed
        double r = arcOfBulge(s.a, s.b, s.bulge).arc.radius;
        area += r * r / 2 * (sweep - std::sin(sweep));
    }
    return area;
}

Vec2 pointAtDistance(const Polyline& p, double distance) {
    return pointAt(p, paramAtLength(p, distance));
}

} // namespace zel::geom
