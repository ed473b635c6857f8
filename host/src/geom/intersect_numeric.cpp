// Intersections of curves without a closed form (ellipses with circles and ellipses, splines
// with anything): pairs of Bezier pieces whose control boxes overlap are halved until they
// are small, then each small pair starts Newton's method on the curves themselves.
#include "geom/bezier.h"
#include "geom/closest.h"
#include "geom/intersect_detail.h"

#include <limits>

namespace zel::geom::detail {

namespace {

constexpr double kLeafShare = 1.0 / 512; // leaf pieces: this share of their curve's size
constexpr int kMaxDepth = 60;
constexpr int kNewtonSteps = 60;
// More small overlapping pairs than this suggests that the curves share a stretch; it is
// checked, and the search goes on up to the hard limit when they do not.
constexpr size_t kSuspectLeafPairs = 2000;
constexpr size_t kMaxLeafPairs = 200000;

struct Pair {
    BezierPiece a, b;
    int depth = 0;
};

struct Solver {
    const Curve& a;
    const Curve& b;
    double tol;

    // A parameter kept where the carrier is defined: splines have ends, the others do not.
    double keep(const Curve& c, double t) const {
        return std::holds_alternative<Nurbs>(c) ? domain(c).clamp(t) : t;
    }

    bool tiny(double step, double t) const {
        return std::fabs(step) <= 4 * std::numeric_limits<double>::epsilon() * (1 + std::fabs(t));
    }

    // Newton's method on a(s) - b(t) = 0. Returns true when it reaches a common point.
    bool crossing(double& s, double& t) const {
        for (int i = 0; i < kNewtonSteps; ++i) {
            Vec2 f = pointAt(a, s) - pointAt(b, t);
            Vec2 da = derivAt(a, s), db = derivAt(b, t);
            double det = cross(da, db);
            if (det == 0 || norm(f) == 0) break;
            double ds = -cross(f, db) / det, dt = cross(da, f) / det;
            double s1 = keep(a, s + ds), t1 = keep(b, t + dt);
            bool done = tiny(s1 - s, s) && tiny(t1 - t, t);
            s = s1, t = t1;
            if (done) break;
        }
        return dist(pointAt(a, s), pointAt(b, t)) <= tol;
    }

    // Newton's method for the nearest approach of two curves with parallel tangents:
    // (a(s) - b(t)) . b'(t) = 0 and a'(s) x b'(t) = 0.
    void touching(double& s, double& t) const {
        for (int i = 0; i < kNewtonSteps; ++i) {
            Vec2 f = pointAt(a, s) - pointAt(b, t);
            Vec2 da = derivAt(a, s), db = derivAt(b, t);
            Vec2 dda = deriv2At(a, s), ddb = deriv2At(b, t);
            double g1 = dot(f, db), g2 = cross(da, db);
            double j11 = dot(da, db), j12 = dot(f, ddb) - dot(db, db);
            double j21 = cross(dda, db), j22 = cross(da, ddb);
            double det = j11 * j22 - j12 * j21;
            if (det == 0) return;
            double ds = -(g1 * j22 - j12 * g2) / det, dt = -(j11 * g2 - g1 * j21) / det;
            double s1 = keep(a, s + ds), t1 = keep(b, t + dt);
            bool done = tiny(s1 - s, s) && tiny(t1 - t, t);
            s = s1, t = t1;
            if (done) return;
        }
    }

    double sine(double s, double t) const {
        return std::fabs(cross(tangentAt(a, s), tangentAt(b, t)));
    }

    // The hit a small pair of pieces leads to, if any.
    std::optional<Hit> refine(double s, double t) const {
        bool crossed = crossing(s, t);
        if (crossed && sine(s, t) >= tol::kTouchSine) {
            return Hit{pointAt(a, s), s, t, HitKind::Cross};
        }
        double ts = s, tt = t;
        touching(ts, tt);
        Vec2 pa = pointAt(a, ts), pb = pointAt(b, tt);
        if (dist(pa, pb) <= tol) return Hit{(pa + pb) * 0.5, ts, tt, HitKind::Touch};
        if (crossed) return Hit{pointAt(a, s), s, t, HitKind::Cross};
        return std::nullopt;
    }
};

// The size below which pieces of a curve are not halved: a share of all its pieces' size.
double leafSize(const std::vector<BezierPiece>& pieces) {
    Box2 all;
    for (const BezierPiece& p : pieces)
        all.add(hullBox(p));
    return all.diagonal() * kLeafShare;
}

// Small pairs of pieces whose boxes overlap; false when there are more than `limit`.
bool leafPairs(const std::vector<BezierPiece>& pa, const std::vector<BezierPiece>& pb, double tol,
               size_t limit, std::vector<std::pair<double, double>>& out) {
    double leafA = leafSize(pa), leafB = leafSize(pb);
    std::vector<Pair> stack;
    for (auto& x : pa) {
        for (auto& y : pb) {
            stack.push_back({x, y, 0});
        }
    }
    while (!stack.empty()) {
        Pair p = std::move(stack.back());
        stack.pop_back();
        Box2 ha = hullBox(p.a), hb = hullBox(p.b);
        if (!ha.expanded(tol).overlaps(hb)) continue;
        double da = ha.diagonal() / leafA, db = hb.diagonal() / leafB; // in leaf sizes
        if ((da <= 1 && db <= 1) || p.depth >= kMaxDepth) {
            out.emplace_back(paramAt(p.a, 0.5), paramAt(p.b, 0.5));
            if (out.size() > limit) return false;
            continue;
        }
        if (da >= db) {
            auto [l, r] = halve(p.a);
            stack.push_back({std::move(l), p.b, p.depth + 1});
            stack.push_back({std::move(r), std::move(p.b), p.depth + 1});
        } else {
            auto [l, r] = halve(p.b);
            stack.push_back({p.a, std::move(l), p.depth + 1});
            stack.push_back({std::move(p.a), std::move(r), p.depth + 1});
        }
    }
    return true;
}

// True when most of the small pairs sit where the curves coincide.
bool sharesStretch(const Curve& a, const Curve& b,
                   const std::vector<std::pair<double, double>>& starts, double tol) {
    size_t step = std::max<size_t>(1, starts.size() / 32), on = 0, seen = 0;
    for (size_t i = 0; i < starts.size(); i += step, ++seen) {
        if (closest(b, pointAt(a, starts[i].first)).distance <= tol) ++on;
    }
    return 2 * on > seen;
}

} // namespace

Intersections numericIntersect(const Curve& a, const Curve& b, double tol) {
    Box2 ba = bounds(a), bb = bounds(b);
    // An unbounded line only matters where the other curve is.
    std::vector<BezierPiece> pa = bezierPieces(a, bb.expanded(tol));
    std::vector<BezierPiece> pb = bezierPieces(b, ba.expanded(tol));
    std::vector<std::pair<double, double>> starts;
    if (!leafPairs(pa, pb, tol, kSuspectLeafPairs, starts)) {
        if (sharesStretch(a, b, starts, tol)) return {{}, true};
        starts.clear();
        leafPairs(pa, pb, tol, kMaxLeafPairs, starts);
    }
    Solver solver{a, b, tol};
    Intersections r;
    for (auto [s, t] : starts) {
        if (auto hit = solver.refine(s, t)) r.hits.push_back(*hit);
    }
    // Hits with the curve between them on the other curve: a shared stretch.
    std::sort(r.hits.begin(), r.hits.end(), [](const Hit& x, const Hit& y) { return x.t1 < y.t1; });
    for (size_t i = 1; i < r.hits.size(); ++i) {
        const Hit &h = r.hits[i - 1], &g = r.hits[i];
        if (dist(h.point, g.point) <= tol::kHitMerge) continue;
        if (closest(b, pointAt(a, (h.t1 + g.t1) / 2)).distance <= tol) return {{}, true};
    }
    return r;
}

} // namespace zel::geom::detail
