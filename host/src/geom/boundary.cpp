// The planar arrangement behind boundaries: curves cut into edges at their crossings, ends
// within the join gap taken as one vertex, loose edges pruned, half-edges ordered round each
// vertex by direction (and by curvature where curves leave a vertex touching), faces walked
// with the face on the left.
#include "geom/boundary.h"

#include "core/tolerance.h"
#include "geom/area.h"
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/edit.h"
#include "geom/intersect.h"
#include "geom/offset.h"
#include "geom/spatial_index.h"

#include <cassert>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

namespace zel::geom {

namespace {

// Ends of curves this close are one vertex: the gap drawings leave where curves meet.
constexpr double kMerge = tol::kJoinGap;
// Tries with a slightly turned ray when it hits a vertex or grazes a curve.
constexpr int kRayTries = 24;
constexpr double kRayTurn = 0.0137; // radians per try, an angle unrelated to drawing angles

bool isPiece(const Curve& c) {
    return !std::holds_alternative<Ray>(c) && !std::holds_alternative<XLine>(c);
}

// Polylines as their segments; rays and construction lines left out.
std::vector<Curve> simpleCurves(std::span<const Curve> curves) {
    std::vector<Curve> out;
    for (const Curve& c : curves) {
        if (!isPiece(c)) continue;
        if (auto* p = std::get_if<Polyline>(&c)) {
            for (int i = 0; i < segmentCount(*p); ++i) {
                PolySegment s = segmentOf(*p, i);
                if (dist(s.a, s.b) > tol::kPoint) out.push_back(curveOf(s));
            }
            continue;
        }
        out.push_back(c);
    }
    return out;
}

// Parameters where each curve is crossed or touched by another.
std::vector<std::vector<double>> crossings(const std::vector<Curve>& curves,
                                           std::vector<Box2>& boxes) {
    std::vector<std::vector<double>> cuts(curves.size());
    std::vector<std::pair<size_t, Box2>> items;
    for (size_t i = 0; i < curves.size(); ++i) {
        boxes.push_back(bounds(curves[i]));
        items.emplace_back(i, boxes.back().expanded(kMerge));
    }
    SpatialIndex<size_t> index;
    index.build(items);
    for (const auto& item : items) {
        size_t i = item.first;
        index.visit(item.second, [&](size_t j, const Box2&) {
            if (j <= i) return;
            for (const Hit& h : intersect(curves[i], curves[j]).hits) {
                cuts[i].push_back(h.t1);
                cuts[j].push_back(h.t2);
            }
        });
    }
    return cuts;
}

struct Edge {
    Curve curve;
    int from = 0, to = 0;
    Box2 box;
    bool alive = true;
};

class Arrangement {
public:
    explicit Arrangement(std::span<const Curve> input);

    bool empty() const { return mAlive == 0; }
    const Edge& edge(int e) const { return mEdges[e]; }
    size_t edgeCount() const { return mEdges.size(); }
    const std::vector<Vec2>& looseEnds() const { return mLooseEnds; }
    int component(int e) const { return mComponent[e]; }

    // The half-edge (2 e forwards, 2 e + 1 backwards) whose left side holds p, found by a ray
    // from p along dir to the first edge it crosses outside `skipped` components. -1 when the
    // ray hits nothing, -2 when it is ambiguous (through a vertex, grazing).
    int halfEdgeFacing(Vec2 p, Vec2 dir, const std::unordered_set<int>& skipped) const;
    // The direction from p to the nearest edge outside `skipped`; nullopt when there is none.
    std::optional<Vec2> towardsNearest(Vec2 p, const std::unordered_set<int>& skipped) const;
    bool onEdge(Vec2 p) const;

    std::vector<int> face(int halfEdge) const;
    Loop loopOf(const std::vector<int>& halfEdges) const;
    // The outer loop (walked clockwise) of a component.
    Loop outerLoopOf(int component) const;
    std::vector<int> components() const;
    Vec2 pointOf(int component) const;

private:
    int vertexAt(Vec2 p);
    void addEdges(const std::vector<Curve>& curves);
    void prune();
    void order();
    void label();
    int next(int h) const;

    std::vector<Vec2> mVertices;
    std::unordered_map<int64_t, std::vector<int>> mGrid;
    std::vector<Edge> mEdges;
    std::vector<std::vector<int>> mOut; // half-edges leaving each vertex, counter-clockwise
    std::vector<int> mSlot;             // where each half-edge is in its vertex's list
    std::vector<int> mComponent;        // per edge
    std::vector<Vec2> mLooseEnds;
    size_t mAlive = 0;
};

// A hash of a grid cell. Unsigned products wrap; signed ones would overflow for cells far
// from the origin (a few thousand units, with cells of a few join gaps).
int64_t cellKey(int64_t x, int64_t y) {
    return int64_t(uint64_t(x) * 73856093ULL ^ uint64_t(y) * 19349663ULL);
}

int Arrangement::vertexAt(Vec2 p) {
    const double cell = 4 * kMerge;
    int64_t cx = std::llround(p.x / cell), cy = std::llround(p.y / cell);
    for (int64_t dx = -1; dx <= 1; ++dx) {
        for (int64_t dy = -1; dy <= 1; ++dy) {
            auto it = mGrid.find(cellKey(cx + dx, cy + dy));
            if (it == mGrid.end()) continue;
            for (int v : it->second)
                if (dist(mVertices[v], p) <= kMerge) return v;
        }
    }
    mVertices.push_back(p);
    int v = int(mVertices.size()) - 1;
    mGrid[cellKey(cx, cy)].push_back(v);
    return v;
}

Arrangement::Arrangement(std::span<const Curve> input) {
    std::vector<Curve> curves = simpleCurves(input);
    std::vector<Box2> boxes;
    std::vector<std::vector<double>> cuts = crossings(curves, boxes);
    std::vector<Curve> pieces;
    for (size_t i = 0; i < curves.size(); ++i) {
        Interval d = domain(curves[i]);
        if (isClosed(curves[i]) && cuts[i].size() < 2) { // a closed curve needs two vertices
            cuts[i].push_back(d.lo + d.span() / 3);
            cuts[i].push_back(d.lo + 2 * d.span() / 3);
        }
        for (Curve& piece : split(curves[i], cuts[i]))
            if (length(piece) > kMerge) pieces.push_back(std::move(piece));
    }
    addEdges(pieces);
    prune();
    order();
    label();
}

void Arrangement::addEdges(const std::vector<Curve>& pieces) {
    std::unordered_map<int64_t, std::vector<int>> seen; // edges by their pair of vertices
    for (const Curve& c : pieces) {
        Edge e{c, vertexAt(startPoint(c)), vertexAt(endPoint(c)), bounds(c), true};
        if (e.from == e.to && length(c) <= 4 * kMerge) continue;
        int64_t key = int64_t(std::min(e.from, e.to)) * 1000003LL + std::max(e.from, e.to);
        Vec2 mid = pointAt(c, domain(c).lo + domain(c).span() / 2);
        bool twin = false; // the same stretch given twice (overlapping curves)
        for (int other : seen[key]) {
            const Curve& oc = mEdges[other].curve;
            twin = twin || closest(oc, mid).distance <= kMerge;
        }
        if (twin) continue;
        seen[key].push_back(int(mEdges.size()));
        mEdges.push_back(std::move(e));
    }
}

void Arrangement::prune() {
    std::vector<int> degree(mVertices.size(), 0);
    std::vector<std::vector<int>> incident(mVertices.size());
    for (size_t e = 0; e < mEdges.size(); ++e) {
        ++degree[mEdges[e].from], ++degree[mEdges[e].to];
        incident[mEdges[e].from].push_back(int(e));
        incident[mEdges[e].to].push_back(int(e));
    }
    std::vector<int> loose;
    for (size_t v = 0; v < mVertices.size(); ++v) {
        if (degree[v] != 1) continue;
        loose.push_back(int(v));
        mLooseEnds.push_back(mVertices[v]);
    }
    while (!loose.empty()) {
        int v = loose.back();
        loose.pop_back();
        for (int e : incident[v]) {
            Edge& edge = mEdges[e];
            if (!edge.alive) continue;
            edge.alive = false;
            int other = edge.from == v ? edge.to : edge.from;
            --degree[v];
            if (--degree[other] == 1) loose.push_back(other);
        }
    }
    mAlive = size_t(std::count_if(mEdges.begin(), mEdges.end(), [](auto& e) { return e.alive; }));
}

// How a half-edge leaves its vertex: its direction's angle and its signed curvature.
std::pair<double, double> leaving(const Edge& e, bool backwards) {
    Interval d = domain(e.curve);
    double t = backwards ? d.hi : d.lo;
    Vec2 d1 = derivAt(e.curve, t) * (backwards ? -1.0 : 1.0);
    Vec2 d2 = deriv2At(e.curve, t);
    double speed = norm(d1);
    double curvature = speed > 0 ? cross(d1, d2) / (speed * speed * speed) : 0;
    return {angleOf(d1), curvature};
}

void Arrangement::order() {
    mOut.assign(mVertices.size(), {});
    mSlot.assign(2 * mEdges.size(), -1);
    for (size_t e = 0; e < mEdges.size(); ++e) {
        if (!mEdges[e].alive) continue;
        mOut[mEdges[e].from].push_back(int(2 * e));
        mOut[mEdges[e].to].push_back(int(2 * e + 1));
    }
    for (auto& list : mOut) {
        std::vector<std::pair<double, double>> key(list.size());
        std::vector<size_t> idx(list.size());
        std::iota(idx.begin(), idx.end(), 0);
        for (size_t k = 0; k < list.size(); ++k)
            key[k] = leaving(mEdges[list[k] / 2], list[k] % 2 == 1);
        std::sort(idx.begin(), idx.end(), [&](size_t a, size_t b) { return key[a] < key[b]; });
        // Runs of (nearly) the same direction: the one turning right most comes first.
        for (size_t s = 0; s < idx.size();) {
            size_t t = s + 1;
            while (t < idx.size() &&
                   key[idx[t]].first - key[idx[t - 1]].first < tol::kSameDirection)
                ++t;
            std::sort(idx.begin() + s, idx.begin() + t,
                      [&](size_t a, size_t b) { return key[a].second < key[b].second; });
            s = t;
        }
        std::vector<int> sorted;
        for (size_t k : idx)
            sorted.push_back(list[k]);
        list = std::move(sorted);
        for (size_t k = 0; k < list.size(); ++k)
            mSlot[list[k]] = int(k);
    }
}

void Arrangement::label() {
    std::vector<int> parent(mVertices.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int v) {
        while (parent[v] != v)
            v = parent[v] = parent[parent[v]];
        return v;
    };
    for (const Edge& e : mEdges)
        if (e.alive) parent[find(e.from)] = find(e.to);
    mComponent.assign(mEdges.size(), -1);
    for (size_t e = 0; e < mEdges.size(); ++e)
        if (mEdges[e].alive) mComponent[e] = find(mEdges[e].from);
}

int Arrangement::next(int h) const {
    const Edge& e = mEdges[h / 2];
    int v = h % 2 == 0 ? e.to : e.from;
    const std::vector<int>& list = mOut[v];
    int twin = h ^ 1;
    int k = mSlot[twin];
    assert(k >= 0 && "Arrangement::next: a half-edge missing from its vertex");
    return list[(k + int(list.size()) - 1) % int(list.size())];
}

std::vector<int> Arrangement::face(int h0) const {
    std::vector<int> out{h0};
    for (int h = next(h0); h != h0 && out.size() <= 2 * mEdges.size(); h = next(h))
        out.push_back(h);
    return out;
}

Loop Arrangement::loopOf(const std::vector<int>& halfEdges) const {
    Loop loop;
    for (int h : halfEdges)
        loop.push_back({mEdges[h / 2].curve, h % 2 == 1});
    return loop;
}

// Does the ray from p along dir meet the box?
bool rayMeetsBox(Vec2 p, Vec2 dir, const Box2& b) {
    double lo = 0, hi = kInf;
    for (int axis = 0; axis < 2; ++axis) {
        double o = axis ? p.y : p.x, d = axis ? dir.y : dir.x;
        double bl = (axis ? b.lo.y : b.lo.x) - kMerge, bh = (axis ? b.hi.y : b.hi.x) + kMerge;
        if (std::fabs(d) < tol::kParallel) {
            if (o < bl || o > bh) return false;
            continue;
        }
        double t0 = (bl - o) / d, t1 = (bh - o) / d;
        if (t0 > t1) std::swap(t0, t1);
        lo = std::max(lo, t0), hi = std::min(hi, t1);
        if (lo > hi) return false;
    }
    return true;
}

int Arrangement::halfEdgeFacing(Vec2 p, Vec2 dir, const std::unordered_set<int>& skipped) const {
    Ray ray{p, dir};
    double best = kInf;
    int bestEdge = -1;
    Hit bestHit;
    for (size_t e = 0; e < mEdges.size(); ++e) {
        const Edge& edge = mEdges[e];
        if (!edge.alive || skipped.count(mComponent[e]) || !rayMeetsBox(p, dir, edge.box)) continue;
        for (const Hit& h : intersect(ray, edge.curve).hits) {
            if (h.t1 < best) best = h.t1, bestEdge = int(e), bestHit = h;
        }
    }
    if (bestEdge < 0) return -1;
    const Edge& edge = mEdges[bestEdge];
    bool atVertex = dist(bestHit.point, mVertices[edge.from]) <= 4 * kMerge ||
                    dist(bestHit.point, mVertices[edge.to]) <= 4 * kMerge;
    Vec2 tangent = tangentAt(edge.curve, bestHit.t2);
    double side = cross(tangent, p - bestHit.point);
    if (atVertex || bestHit.kind != HitKind::Cross ||
        std::fabs(cross(tangent, dir)) < tol::kTouchSine)
        return -2;
    return side > 0 ? 2 * bestEdge : 2 * bestEdge + 1;
}

std::optional<Vec2> Arrangement::towardsNearest(Vec2 p,
                                                const std::unordered_set<int>& skipped) const {
    double best = kInf;
    std::optional<Vec2> out;
    for (size_t e = 0; e < mEdges.size(); ++e) {
        const Edge& edge = mEdges[e];
        if (!edge.alive || skipped.count(mComponent[e]) || edge.box.distanceTo(p) >= best) continue;
        Closest c = closest(edge.curve, p);
        if (c.distance < best) best = c.distance, out = unit(c.point - p);
    }
    return out;
}

bool Arrangement::onEdge(Vec2 p) const {
    for (const Edge& e : mEdges) {
        if (e.alive && e.box.distanceTo(p) <= tol::kPoint &&
            closest(e.curve, p).distance <= tol::kPoint)
            return true;
    }
    return false;
}

std::vector<int> Arrangement::components() const {
    std::vector<int> out;
    for (size_t e = 0; e < mEdges.size(); ++e)
        if (mEdges[e].alive && std::find(out.begin(), out.end(), mComponent[e]) == out.end())
            out.push_back(mComponent[e]);
    return out;
}

Vec2 Arrangement::pointOf(int component) const {
    for (size_t e = 0; e < mEdges.size(); ++e)
        if (mEdges[e].alive && mComponent[e] == component) return startPoint(mEdges[e].curve);
    return {};
}

Loop Arrangement::outerLoopOf(int component) const {
    std::vector<bool> done(2 * mEdges.size(), false);
    Loop best;
    double bestArea = 0;
    for (size_t e = 0; e < mEdges.size(); ++e) {
        if (!mEdges[e].alive || mComponent[e] != component) continue;
        for (int h : {int(2 * e), int(2 * e + 1)}) {
            if (done[h]) continue;
            std::vector<int> cycle = face(h);
            for (int k : cycle)
                done[k] = true;
            Loop loop = loopOf(cycle);
            double a = loopArea(loop);
            if (a < bestArea) bestArea = a, best = std::move(loop);
        }
    }
    return best;
}

// Is q inside the loop? Crossings of a ray in a direction no drawing favours.
bool insideLoop(const Loop& loop, Vec2 q) {
    Ray ray{q, polar(0.5987)};
    int crossingsCount = 0;
    for (const LoopEdge& e : loop) {
        Interval d = domain(e.curve);
        for (const Hit& h : intersect(ray, e.curve).hits) {
            if (h.kind != HitKind::Cross) continue;
            if (std::fabs(h.t2 - d.hi) <= tol::kParam * std::max(1.0, d.span())) continue;
            ++crossingsCount;
        }
    }
    return crossingsCount % 2 == 1;
}

Vec2 rayDirection(BoundaryRay ray) {
    switch (ray) {
    case BoundaryRay::Nearest:
    case BoundaryRay::PlusX:
        return {1, 0};
    case BoundaryRay::MinusX:
        return {-1, 0};
    case BoundaryRay::PlusY:
        return {0, 1};
    case BoundaryRay::MinusY:
        return {0, -1};
    }
    return {1, 0};
}

// The half-edge facing p, the ray turned a little at a time while it is ambiguous.
int castRay(const Arrangement& g, Vec2 p, Vec2 dir, const std::unordered_set<int>& skipped) {
    double base = angleOf(dir);
    for (int k = 0; k < kRayTries; ++k) {
        double turn = (k % 2 ? -1 : 1) * ((k + 1) / 2) * kRayTurn;
        int h = g.halfEdgeFacing(p, polar(base + turn), skipped);
        if (h != -2) return h;
    }
    return -1;
}

std::optional<Vec2> nearestOf(const std::vector<Vec2>& points, Vec2 p) {
    std::optional<Vec2> best;
    for (Vec2 q : points)
        if (!best || dist(q, p) < dist(*best, p)) best = q;
    return best;
}

void addIslands(const Arrangement& g, Boundary& b, int outerComponent) {
    std::vector<std::pair<Loop, Vec2>> inside;
    for (int c : g.components()) {
        if (c == outerComponent) continue;
        Vec2 q = g.pointOf(c);
        if (insideLoop(b.outer, q)) inside.emplace_back(g.outerLoopOf(c), q);
    }
    for (size_t i = 0; i < inside.size(); ++i) {
        bool nested = false;
        for (size_t j = 0; j < inside.size() && !nested; ++j)
            nested = i != j && insideLoop(inside[j].first, inside[i].second);
        if (!nested) b.islands.push_back(inside[i].first);
    }
}

} // namespace

Boundary findBoundary(std::span<const Curve> curves, Vec2 p, const BoundaryOptions& options) {
    Arrangement g(curves);
    Boundary b;
    if (g.onEdge(p)) {
        b.status = BoundaryStatus::OnCurve;
        return b;
    }
    std::unordered_set<int> passed; // components the point is outside of
    for (;;) {
        Vec2 dir = rayDirection(options.ray);
        if (options.ray == BoundaryRay::Nearest) {
            std::optional<Vec2> towards = g.towardsNearest(p, passed);
            if (!towards) break;
            dir = *towards;
        }
        int h = castRay(g, p, dir, passed);
        if (h < 0) break;
        std::vector<int> cycle = g.face(h);
        Loop loop = g.loopOf(cycle);
        if (loopArea(loop) > 0) {
            b.status = BoundaryStatus::Found;
            b.outer = std::move(loop);
            if (options.islands) addIslands(g, b, g.component(h / 2));
            return b;
        }
        passed.insert(g.component(h / 2));
    }
    b.opening = nearestOf(g.looseEnds(), p);
    b.status = b.opening ? BoundaryStatus::Open : BoundaryStatus::NotInside;
    return b;
}

double loopArea(const Loop& loop) {
    double sum = 0;
    for (const LoopEdge& e : loop)
        sum += sweptArea(e.curve) * (e.reversed ? -1 : 1);
    return sum;
}

Box2 loopBounds(const Loop& loop) {
    Box2 b;
    for (const LoopEdge& e : loop)
        b.add(bounds(e.curve));
    return b;
}

namespace {

Polyline reversedPolyline(const Polyline& p) {
    Polyline out{{}, p.closed};
    size_t n = p.vertices.size();
    for (size_t k = 0; k < n; ++k) {
        size_t i = n - 1 - k;
        double bulge = i > 0 ? -p.vertices[i - 1].bulge : 0;
        out.vertices.push_back({p.vertices[i].point, bulge});
    }
    return out;
}

// The vertices an edge adds to the loop's polyline (its start and bulge; fitted pieces give
// several).
void appendEdge(const LoopEdge& e, double tolerance, std::vector<BulgeVertex>& out) {
    if (auto* s = std::get_if<Segment>(&e.curve)) {
        out.push_back({e.reversed ? s->end : s->start, 0});
        return;
    }
    if (auto* a = std::get_if<Arc>(&e.curve)) {
        out.push_back({pointAt(*a, e.reversed ? a->end : a->start), bulgeOfArc(*a, e.reversed)});
        return;
    }
    std::optional<Curve> fitted = offset(e.curve, 0, tolerance);
    auto* pl = fitted ? std::get_if<Polyline>(&*fitted) : nullptr;
    if (!pl) {
        out.push_back({e.reversed ? endPoint(e.curve) : startPoint(e.curve), 0});
        return;
    }
    Polyline run = e.reversed ? reversedPolyline(*pl) : *pl;
    out.insert(out.end(), run.vertices.begin(), run.vertices.end() - 1);
}

} // namespace

Polyline loopPolyline(const Loop& loop, double tolerance) {
    Polyline out{{}, true};
    for (const LoopEdge& e : loop)
        appendEdge(e, tolerance, out.vertices);
    return out;
}

} // namespace zel::geom
