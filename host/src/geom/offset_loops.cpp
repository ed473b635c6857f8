// Offsets without loops: the polyline offset is cut where it crosses itself, the pieces that
// come nearer the curve than the distance are dropped, and the rest is chained again at the
// points where the pieces meet.
#include "core/tolerance.h"
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/intersect.h"
#include "geom/offset.h"
#include "geom/spatial_index.h"

#include <functional>

namespace zel::geom {

namespace {

// A piece of a segment of the offset between two local parameters.
PolySegment subSegment(const PolySegment& s, double u0, double u1) {
    Curve c = curveOf(s);
    Vec2 a = pointAt(c, curveParamAt(s, u0)), b = pointAt(c, curveParamAt(s, u1));
    if (!isArc(s)) return {a, b, 0};
    double sweep = 4 * std::atan(std::fabs(s.bulge)) * (u1 - u0);
    return {a, b, std::tan(sweep / 4) * (s.bulge < 0 ? -1 : 1)};
}

double localParamOf(const PolySegment& s, Vec2 p) {
    return std::clamp(localParamAt(s, closest(curveOf(s), p).param), 0.0, 1.0);
}

// The signed distance of p from a line or circle and the direction it grows in; nullopt for
// other curves.
struct Level {
    double value = 0;
    Vec2 gradient;
};

std::optional<Level> levelOf(const Curve& c, Vec2 p) {
    auto line = [&](Vec2 base, Vec2 dir) -> Level {
        Vec2 n = perp(unit(dir));
        return {dot(p - base, n), n};
    };
    auto circle = [&](Vec2 center, double radius) -> Level {
        return {dist(p, center) - radius, unit(p - center)};
    };
    if (auto* s = std::get_if<Segment>(&c)) return line(s->start, s->end - s->start);
    if (auto* l = std::get_if<XLine>(&c)) return line(l->base, l->dir);
    if (auto* a = std::get_if<Arc>(&c)) return circle(a->center, a->radius);
    if (auto* ci = std::get_if<Circle>(&c)) return circle(ci->center, ci->radius);
    return std::nullopt;
}

// A crossing of the lines or circles a and b found near p, made exact by Newton steps on both
// distances (the general intersection loses digits where a circle is far larger than the
// distance between the points); p itself when they cross too flatly to say or it would move
// further than points that are one.
Vec2 polished(Vec2 p, const Curve& a, const Curve& b) {
    constexpr int kSteps = 3;
    Vec2 q = p;
    for (int k = 0; k < kSteps; ++k) {
        std::optional<Level> f = levelOf(a, q), g = levelOf(b, q);
        if (!f || !g) return p;
        double det = cross(f->gradient, g->gradient);
        if (std::fabs(det) < tol::kTouchSine) return p;
        q = q + Vec2{g->value * f->gradient.y - f->value * g->gradient.y,
                     f->value * g->gradient.x - g->value * f->gradient.x} /
                    det;
    }
    return dist(q, p) <= tol::kHitMerge ? q : p;
}

bool adjacent(size_t i, size_t j, size_t n, bool closed) {
    return j == i + 1 || (closed && i == 0 && j + 1 == n);
}

// The shared vertex of adjacent segments i < j.
Vec2 sharedVertex(const std::vector<PolySegment>& segs, size_t i, size_t j) {
    return j == i + 1 ? segs[i].b : segs[j].b;
}

// Local parameters where each segment is crossed by another one (their shared vertices left
// out), found among segments whose boxes overlap.
std::vector<std::vector<double>> selfCuts(const std::vector<PolySegment>& segs, bool closed) {
    std::vector<std::vector<double>> cuts(segs.size());
    std::vector<std::pair<size_t, Box2>> items;
    for (size_t i = 0; i < segs.size(); ++i)
        items.emplace_back(i, bounds(curveOf(segs[i])).expanded(tol::kHitMerge));
    SpatialIndex<size_t> index;
    index.build(items);
    for (const auto& [i, box] : items) {
        for (size_t j : index.query(box)) {
            if (j <= i) continue;
            for (const Hit& h : intersect(curveOf(segs[i]), curveOf(segs[j])).hits) {
                bool shared = adjacent(i, j, segs.size(), closed) &&
                              dist(h.point, sharedVertex(segs, i, j)) <= tol::kHitMerge;
                if (shared) continue;
                Vec2 at = polished(h.point, curveOf(segs[i]), curveOf(segs[j]));
                cuts[i].push_back(localParamOf(segs[i], at));
                cuts[j].push_back(localParamOf(segs[j], at));
            }
        }
    }
    return cuts;
}

// The edge of the band within the distance of the curve where the offset itself does not run:
// circles of the distance round the ends of an open polyline, and for segments whose offset
// vanishes (arcs tighter than the distance on the side offset to) their offsets to the other
// side and circles round their ends. The neighbours' offsets are joined across where such a
// segment was; a piece that crosses this edge goes in or out of the band, so pieces cut there
// are wholly in or wholly out of it. (Round outer corners the extended offsets stay outside the
// band: no circles there.)
std::vector<Curve> bandEdges(const Polyline& p, double d) {
    double reach = std::fabs(d);
    std::vector<Curve> out;
    if (!p.closed && !p.vertices.empty()) {
        out.push_back(Circle{p.vertices.front().point, reach});
        out.push_back(Circle{p.vertices.back().point, reach});
    }
    for (int i = 0; i < segmentCount(p); ++i) {
        PolySegment s = segmentOf(p, i);
        if (!isArc(s)) continue;
        double towardsLeft = s.bulge < 0 ? -d : d; // curveOf runs counter-clockwise
        if (offset(curveOf(s), towardsLeft, tol::kCurveFit)) continue;
        out.push_back(Circle{s.a, reach});
        out.push_back(Circle{s.b, reach});
        if (std::optional<Curve> c = offset(curveOf(s), -towardsLeft, tol::kCurveFit))
            out.push_back(*c);
    }
    return out;
}

void addBandCuts(const std::vector<PolySegment>& segs, const std::vector<Curve>& edges,
                 std::vector<std::vector<double>>& cuts) {
    std::vector<std::pair<size_t, Box2>> items;
    for (size_t k = 0; k < edges.size(); ++k)
        items.emplace_back(k, bounds(edges[k]).expanded(tol::kHitMerge));
    SpatialIndex<size_t> index;
    index.build(items);
    for (size_t i = 0; i < segs.size(); ++i) {
        Curve c = curveOf(segs[i]);
        index.visit(bounds(c).expanded(tol::kHitMerge), [&](size_t k, const Box2&) {
            for (const Hit& h : intersect(c, edges[k]).hits)
                cuts[i].push_back(localParamOf(segs[i], polished(h.point, c, edges[k])));
        });
    }
}

// The segments cut at the crossings, in order.
std::vector<PolySegment> cutAtCrossings(const std::vector<PolySegment>& segs, bool closed,
                                        const std::vector<Curve>& band) {
    std::vector<std::vector<double>> cuts = selfCuts(segs, closed);
    addBandCuts(segs, band, cuts);
    std::vector<PolySegment> out;
    for (size_t i = 0; i < segs.size(); ++i) {
        std::vector<double> u = cuts[i];
        u.push_back(0);
        u.push_back(1);
        std::sort(u.begin(), u.end());
        for (size_t k = 0; k + 1 < u.size(); ++k) {
            PolySegment piece = subSegment(segs[i], u[k], u[k + 1]);
            if (dist(piece.a, piece.b) > tol::kPoint) out.push_back(piece);
        }
    }
    return out;
}

// The edge of the band round the part of the polyline nearest p: the circle of the distance
// round a vertex, or the offset of a segment's line or circle to p's side.
std::optional<Curve> bandEdgeNear(const Curve& source, Vec2 p, double reach) {
    auto* pl = std::get_if<Polyline>(&source);
    if (!pl) return std::nullopt;
    Closest near = closest(source, p);
    PolySegment s = segmentOf(*pl, locate(*pl, near.param).first);
    for (Vec2 v : {s.a, s.b})
        if (dist(near.point, v) <= tol::kPoint) return Circle{v, reach};
    Curve line = carrier(curveOf(s));
    return offset(line, sideOf(line, p) * reach, tol::kCurveFit);
}

// Where s crosses the edge of the band between the local parameters `from` (clear of the curve)
// and `to` (not): the crossing of its line or circle with the edge's nearest `clear` (the last
// clear parameter halving found), itself clear of the curve; `clear` when there is none (a curve
// other than a polyline, a touch).
double exactEdge(const PolySegment& s, double clear, double from, double to, const Curve& source,
                 double reach, double tolerance) {
    Vec2 guess = pointAt(curveOf(s), curveParamAt(s, clear));
    std::optional<Curve> edge = bandEdgeNear(source, guess, reach);
    if (!edge) return clear;
    double best = clear, bestGap = kInf;
    for (const Hit& h : intersect(curveOf(s), *edge, Extend::Both).hits) {
        Vec2 at = polished(h.point, curveOf(s), *edge);
        double u = localParamOf(s, at);
        bool onPiece = dist(pointAt(curveOf(s), curveParamAt(s, u)), at) <= tol::kHitMerge;
        bool between = onPiece && (u - from) * (u - to) <= 0;
        if (!between || dist(at, guess) >= bestGap) continue;
        if (closest(source, at).distance < reach - tolerance) continue;
        best = u, bestGap = dist(at, guess);
    }
    return best;
}

// The part of a piece that keeps the distance from the curve: the stretch round its middle
// between the points where it comes nearer (found by halving, then put on the crossing with the
// band's edge); none when its middle does.
std::optional<PolySegment> clearPart(const PolySegment& s, const Curve& source, double reach,
                                     double tolerance) {
    auto clear = [&](double u) {
        Vec2 p = pointAt(curveOf(s), curveParamAt(s, u));
        return closest(source, p).distance >= reach - tolerance;
    };
    constexpr int kSteps = 8; // samples along the piece
    if (!clear(0.5)) return std::nullopt;
    auto edge = [&](double inside, double step) { // the last clear parameter towards an end
        for (int k = 1; k <= kSteps / 2; ++k) {
            double u = 0.5 + step * k / kSteps;
            if (clear(u)) {
                inside = u;
                continue;
            }
            double lo = inside, hi = u;
            while (std::fabs(hi - lo) > tol::kParam) {
                double mid = (lo + hi) / 2;
                (clear(mid) ? lo : hi) = mid;
            }
            return exactEdge(s, lo, inside, u, source, reach, tolerance);
        }
        return inside;
    };
    double u0 = edge(0.5, -1), u1 = edge(0.5, 1);
    if (u0 <= 0 && u1 >= 1) return s;
    return subSegment(s, std::max(u0, 0.0), std::min(u1, 1.0));
}

// s with its ends moved to a and b on its own line or circle (the short way round).
PolySegment withEnds(const PolySegment& s, Vec2 a, Vec2 b) {
    if (!isArc(s)) return {a, b, 0};
    BulgeArc arc = arcOfBulge(s.a, s.b, s.bulge);
    double from = angleOf(a - arc.arc.center), to = angleOf(b - arc.arc.center);
    double sweep = arc.clockwise ? wrapAngle(from - to, -kPi) : wrapAngle(to - from, -kPi);
    return {a, b, std::tan(sweep / 4) * (arc.clockwise ? -1 : 1)};
}

// Closes the gap between the end of `last` and the start of `next` where their lines or
// circles meet near it (a piece between them vanished at this distance).
bool bridge(PolySegment& last, PolySegment& next, double reach,
            const std::function<bool(const PolySegment&)>& clearAll) {
    Vec2 gapMiddle = (last.b + next.a) / 2;
    if (dist(last.b, next.a) > 2 * reach) return false;
    const Hit* best = nullptr;
    Intersections meet = intersect(curveOf(last), curveOf(next), Extend::Both);
    for (const Hit& h : meet.hits)
        if (!best || dist(h.point, gapMiddle) < dist(best->point, gapMiddle)) best = &h;
    if (!best || dist(best->point, gapMiddle) > reach) return false;
    Vec2 meeting = polished(best->point, curveOf(last), curveOf(next));
    PolySegment a = withEnds(last, last.a, meeting), b = withEnds(next, meeting, next.b);
    auto sameWay = [](const PolySegment& before, const PolySegment& after) {
        if (isArc(before)) return (before.bulge < 0) == (after.bulge < 0);
        return dot(after.b - after.a, before.b - before.a) > 0;
    };
    if (!sameWay(last, a) || !sameWay(next, b)) return false; // it would run back on itself
    if (!clearAll(a) || !clearAll(b)) return false;
    last = a, next = b;
    return true;
}

// An arc of the radius round a vertex of the curve from the end of `last` to the start of
// `next`, both at the radius from it (the band's edge was crossed there): the short way round,
// when it keeps the distance.
std::optional<PolySegment> capBridge(const PolySegment& last, const PolySegment& next,
                                     const std::vector<Vec2>& vertices, double reach,
                                     const std::function<bool(const PolySegment&)>& clearAll) {
    for (Vec2 v : vertices) {
        if (std::fabs(dist(v, last.b) - reach) > tol::kHitMerge ||
            std::fabs(dist(v, next.a) - reach) > tol::kHitMerge)
            continue;
        double sweep = wrapAngle(angleOf(next.a - v) - angleOf(last.b - v), -kPi);
        PolySegment cap{last.b, next.a, std::tan(sweep / 4)};
        if (clearAll(cap)) return cap;
    }
    return std::nullopt;
}

// Chains the pieces end to start, the next piece in order first; a chain that comes back to
// its start is closed.
std::vector<Polyline> chainPieces(std::vector<PolySegment> pieces, bool wrap, double reach,
                                  const std::vector<Vec2>& vertices,
                                  const std::function<bool(const PolySegment&)>& clearAll) {
    std::vector<bool> used(pieces.size(), false);
    std::vector<std::vector<PolySegment>> chains;
    for (size_t start = 0; start < pieces.size(); ++start) {
        if (used[start]) continue;
        std::vector<PolySegment> chain{pieces[start]};
        used[start] = true;
        for (size_t at = start;;) {
            std::optional<size_t> next;
            for (size_t step = 1; step < pieces.size() && !next; ++step) {
                size_t k = (at + step) % pieces.size();
                if (!used[k] && dist(pieces[k].a, chain.back().b) <= tol::kHitMerge) next = k;
            }
            size_t following = (at + 1) % pieces.size();
            if (!next && !used[following]) {
                if (bridge(chain.back(), pieces[following], reach, clearAll)) {
                    next = following;
                } else if (auto cap = capBridge(chain.back(), pieces[following], vertices, reach,
                                                clearAll)) {
                    chain.push_back(*cap);
                    next = following;
                }
            }
            if (!next) break;
            used[*next] = true;
            chain.push_back(pieces[*next]);
            at = *next;
        }
        chains.push_back(std::move(chain));
    }
    // An open chain ending where a later one starts (the first piece of a closed curve's
    // offset need not be the start of a chain).
    for (size_t i = 0; i < chains.size(); ++i) {
        for (size_t j = 0; j < chains.size(); ++j) {
            if (i == j || chains[i].empty() || chains[j].empty()) continue;
            if (dist(chains[i].back().b, chains[j].front().a) > tol::kHitMerge) continue;
            if (dist(chains[i].front().a, chains[i].back().b) <= tol::kHitMerge) continue;
            chains[i].insert(chains[i].end(), chains[j].begin(), chains[j].end());
            chains[j].clear();
        }
    }
    std::vector<Polyline> out;
    for (const auto& chain : chains) {
        if (chain.empty()) continue;
        Polyline p;
        bool closed =
            wrap && chain.size() > 1 && dist(chain.front().a, chain.back().b) <= tol::kHitMerge;
        for (const PolySegment& s : chain)
            if (dist(s.a, s.b) > tol::kPoint) p.vertices.push_back({s.a, s.bulge});
        if (!closed) p.vertices.push_back({chain.back().b, 0});
        p.closed = closed;
        if (p.vertices.size() >= 2) out.push_back(std::move(p));
    }
    return out;
}

// Does the piece run over the same stretch as one already kept (either way)? Parts of an
// offset that lie on one line from both sides of a narrow gap give such twins; one is enough.
bool repeats(const PolySegment& s, const std::vector<PolySegment>& kept) {
    auto same = [](Vec2 a, Vec2 b) { return dist(a, b) <= tol::kHitMerge; };
    Vec2 mid = pointAt(curveOf(s), curveParamAt(s, 0.5));
    for (const PolySegment& k : kept) {
        bool ends = (same(s.a, k.a) && same(s.b, k.b)) || (same(s.a, k.b) && same(s.b, k.a));
        if (ends && same(mid, pointAt(curveOf(k), curveParamAt(k, 0.5)))) return true;
    }
    return false;
}

std::vector<Polyline> withoutLoops(const Curve& source, const Polyline& raw, double signedDistance,
                                   double tolerance) {
    double reach = std::fabs(signedDistance);
    std::vector<PolySegment> segs;
    for (int i = 0; i < segmentCount(raw); ++i) {
        PolySegment s = segmentOf(raw, i);
        if (dist(s.a, s.b) > tol::kPoint) segs.push_back(s);
    }
    std::vector<PolySegment> kept;
    std::vector<Curve> band;
    if (auto* p = std::get_if<Polyline>(&source)) band = bandEdges(*p, signedDistance);
    for (const PolySegment& s : cutAtCrossings(segs, raw.closed, band)) {
        std::optional<PolySegment> part = clearPart(s, source, reach, tolerance);
        if (part && dist(part->a, part->b) > tol::kPoint && !repeats(*part, kept))
            kept.push_back(*part);
    }
    auto clearAll = [&](const PolySegment& s) {
        std::optional<PolySegment> part = clearPart(s, source, reach, tolerance);
        return part && dist(part->a, s.a) <= tol::kPoint && dist(part->b, s.b) <= tol::kPoint;
    };
    std::vector<Vec2> vertices;
    if (auto* p = std::get_if<Polyline>(&source))
        for (const BulgeVertex& v : p->vertices)
            vertices.push_back(v.point);
    std::vector<Polyline> out =
        chainPieces(std::move(kept), raw.closed || isClosed(source), reach, vertices, clearAll);
    return out;
}

} // namespace

std::vector<Curve> offsetPieces(const Curve& c, double d, double tolerance, std::string* why,
                                OffsetGap gap) {
    std::optional<Curve> raw = offset(c, d, tolerance, why, gap);
    if (!raw) return {};
    auto* pl = std::get_if<Polyline>(&*raw);
    if (!pl) return {*raw};
    std::vector<Curve> out;
    for (Polyline& p : withoutLoops(c, *pl, d, tolerance))
        out.push_back(std::move(p));
    if (out.empty() && why) *why = "no part of the offset stays at the distance from the curve";
    return out;
}

} // namespace zel::geom
