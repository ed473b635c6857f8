#include "geom/join.h"

#include "geom/bulge.h"
#include "geom/edit.h"

#include <cassert>

namespace zel::geom {

namespace {

Polyline reversedOpen(const Polyline& p) {
    std::optional<Curve> r = reversed(Curve(p));
    assert(r && std::holds_alternative<Polyline>(*r) && "a polyline reverses to a polyline");
    return std::get<Polyline>(*r);
}

// Adds q at the end of p (q starts where p ends).
void append(Polyline& p, const Polyline& q) {
    p.vertices.back().bulge = q.vertices.front().bulge;
    p.vertices.insert(p.vertices.end(), q.vertices.begin() + 1, q.vertices.end());
}

// Adds q before the start of p (q ends where p starts).
void prepend(Polyline& p, const Polyline& q) {
    std::vector<BulgeVertex> v(q.vertices.begin(), q.vertices.end() - 1);
    v.insert(v.end(), p.vertices.begin(), p.vertices.end());
    p.vertices = std::move(v);
}

// Joins q to an end of p when one of its ends meets one of p's; false when none meets.
bool attach(Polyline& p, const Polyline& q, double gap) {
    Vec2 ps = p.vertices.front().point, pe = p.vertices.back().point;
    Vec2 qs = q.vertices.front().point, qe = q.vertices.back().point;
    if (dist(pe, qs) <= gap) return append(p, q), true;
    if (dist(pe, qe) <= gap) return append(p, reversedOpen(q)), true;
    if (dist(ps, qe) <= gap) return prepend(p, q), true;
    if (dist(ps, qs) <= gap) return prepend(p, reversedOpen(q)), true;
    return false;
}

void closeIfBack(Polyline& p, double gap) {
    if (p.vertices.size() < 3) return;
    if (dist(p.vertices.front().point, p.vertices.back().point) > gap) return;
    p.vertices.pop_back();
    p.closed = true;
}

} // namespace

std::optional<Polyline> asPolyline(const Curve& c) {
    if (auto* s = std::get_if<Segment>(&c)) return Polyline{{{s->start, 0}, {s->end, 0}}, false};
    if (auto* a = std::get_if<Arc>(&c)) {
        PolySegment s = segmentOfArc(*a);
        return Polyline{{{s.a, s.bulge}, {s.b, 0}}, false};
    }
    if (auto* p = std::get_if<Polyline>(&c); p && !p->closed && p->vertices.size() >= 2) {
        Polyline out = *p;
        out.vertices.back().bulge = 0;
        return out;
    }
    return std::nullopt;
}

JoinResult joinChain(Polyline start, std::span<const Curve> pieces, double gap) {
    assert(!start.closed && start.vertices.size() >= 2 && "the chain starts as an open polyline");
    JoinResult r{std::move(start), 0, {}};
    r.polyline.vertices.back().bulge = 0;
    std::vector<std::optional<Polyline>> todo;
    for (const Curve& c : pieces)
        todo.push_back(asPolyline(c));
    for (bool grew = true; grew && !r.polyline.closed;) {
        grew = false;
        for (size_t i = 0; i < todo.size() && !r.polyline.closed; ++i) {
            if (!todo[i] || !attach(r.polyline, *todo[i], gap)) continue;
            r.segmentsAdded += segmentCount(*todo[i]);
            r.used.push_back(i);
            todo[i].reset();
            grew = true;
            closeIfBack(r.polyline, gap);
        }
    }
    return r;
}

} // namespace zel::geom
