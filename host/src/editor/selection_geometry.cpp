// Window, crossing, polygon and fence tests on shapes (see selection_geometry.h).
#include "editor/selection_geometry.h"

#include "core/tolerance.h"
#include "geom/intersect.h"

#include <algorithm>

namespace zel::editor {

namespace {

using geom::Box2;
using geom::Curve;
using geom::Segment;
using geom::Vec2;

bool inBox(Vec2 p, const Box2& b) {
    return b.lo.x <= p.x && p.x <= b.hi.x && b.lo.y <= p.y && p.y <= b.hi.y;
}

// A point of the curve: its start, or the base point of an unbounded line.
Vec2 somePoint(const Curve& c) {
    geom::Interval d = geom::domain(c);
    return geom::pointAt(c, std::isfinite(d.lo) ? d.lo : 0.0);
}

// Liang-Barsky: does the segment meet the box?
bool segmentMeetsBox(const Segment& s, const Box2& b) {
    double t0 = 0, t1 = 1;
    Vec2 d = s.end - s.start;
    auto clip = [&](double p, double q) {
        if (p == 0) return q >= 0;
        double r = q / p;
        if (p < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    return clip(-d.x, s.start.x - b.lo.x) && clip(d.x, b.hi.x - s.start.x) &&
           clip(-d.y, s.start.y - b.lo.y) && clip(d.y, b.hi.y - s.start.y);
}

std::vector<Segment> edgesOf(const std::vector<Vec2>& corners, bool closed) {
    std::vector<Segment> edges;
    size_t n = corners.size();
    for (size_t i = 0; i + 1 < n; ++i)
        edges.push_back({corners[i], corners[i + 1]});
    if (closed && n > 2) edges.push_back({corners[n - 1], corners[0]});
    return edges;
}

bool meetsAny(const Curve& c, const std::vector<Segment>& edges) {
    Box2 cb = geom::bounds(c);
    for (const Segment& e : edges) {
        if (!cb.overlaps(Box2::of(e.start, e.end))) continue;
        if (auto* s = std::get_if<Segment>(&c)) {
            Box2 eb = Box2::of(e.start, e.end);
            // a segment against an axis-parallel edge: the clip test is exact
            if ((eb.lo.x == eb.hi.x || eb.lo.y == eb.hi.y) && segmentMeetsBox(*s, eb)) return true;
        }
        geom::Intersections hits = geom::intersect(c, Curve(e));
        if (!hits.hits.empty() || hits.overlap) return true;
    }
    return false;
}

// Crossing number test; points on the boundary count as inside.
bool inPolygon(Vec2 p, const Polygon& poly) {
    bool inside = false;
    size_t n = poly.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        Vec2 a = poly[i], b = poly[j];
        if (std::abs(geom::cross(b - a, p - a)) <= tol::kPoint * geom::dist(a, b) &&
            geom::dot(p - a, p - b) <= 0)
            return true;
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

bool onChain(Vec2 p, const std::vector<Segment>& chain) {
    for (const Segment& s : chain) {
        Vec2 d = s.end - s.start;
        double len2 = geom::dot(d, d);
        double t = len2 > 0 ? std::clamp(geom::dot(p - s.start, d) / len2, 0.0, 1.0) : 0.0;
        if (geom::dist(p, s.start + d * t) <= tol::kPoint) return true;
    }
    return false;
}

} // namespace

Box2 boxOf(const std::vector<Vec2>& points) {
    Box2 b;
    for (Vec2 p : points)
        b.add(p);
    return b;
}

bool insideBox(const Shape& s, const Box2& w) {
    if (s.empty()) return false;
    for (Vec2 p : s.points)
        if (!inBox(p, w)) return false;
    for (const Curve& c : s.curves)
        if (!w.contains(geom::bounds(c))) return false;
    return true;
}

bool touchesBox(const Shape& s, const Box2& w) {
    for (Vec2 p : s.points)
        if (inBox(p, w)) return true;
    for (const Curve& c : s.curves) {
        if (auto* seg = std::get_if<Segment>(&c)) {
            if (segmentMeetsBox(*seg, w)) return true;
            continue;
        }
        if (!geom::bounds(c).overlaps(w)) continue;
        if (inBox(somePoint(c), w)) return true;
        if (meetsAny(c, edgesOf({w.lo, {w.hi.x, w.lo.y}, w.hi, {w.lo.x, w.hi.y}}, true)))
            return true;
    }
    return false;
}

bool insidePolygon(const Shape& s, const Polygon& poly) {
    if (s.empty() || poly.size() < 3) return false;
    for (Vec2 p : s.points)
        if (!inPolygon(p, poly)) return false;
    std::vector<Segment> edges = edgesOf(poly, true);
    Box2 pb = boxOf(poly);
    for (const Curve& c : s.curves) {
        if (!pb.contains(geom::bounds(c))) return false;
        if (!inPolygon(somePoint(c), poly) || meetsAny(c, edges)) return false;
    }
    return true;
}

bool touchesPolygon(const Shape& s, const Polygon& poly) {
    if (poly.size() < 3) return false;
    for (Vec2 p : s.points)
        if (inPolygon(p, poly)) return true;
    std::vector<Segment> edges = edgesOf(poly, true);
    Box2 pb = boxOf(poly);
    for (const Curve& c : s.curves) {
        if (!geom::bounds(c).overlaps(pb)) continue;
        if (inPolygon(somePoint(c), poly) || meetsAny(c, edges)) return true;
    }
    return false;
}

bool crossesFence(const Shape& s, const std::vector<Vec2>& fence) {
    std::vector<Segment> chain = edgesOf(fence, false);
    for (Vec2 p : s.points)
        if (onChain(p, chain)) return true;
    for (const Curve& c : s.curves)
        if (meetsAny(c, chain)) return true;
    return false;
}

} // namespace zel::editor
