// Closest points: exact for lines and circles, by branch and bound over the Bezier pieces with
// Newton's method for ellipses and splines, segment by segment for polylines.
#include "geom/closest.h"

#include "geom/bezier.h"
#include "geom/bulge.h"

#include <limits>

namespace zel::geom {

namespace {

// Pieces smaller than this share of the curve's size are searched by Newton's method.
constexpr double kLeafShare = 1.0 / 16;
constexpr int kNewtonSteps = 50;

Closest at(const Curve& c, double t, Vec2 p) {
    Vec2 q = pointAt(c, t);
    return {t, q, dist(p, q)};
}

Closest onLine(Vec2 base, Vec2 dir, Interval range, Vec2 p) {
    double t = range.clamp(dot(p - base, dir));
    Vec2 q = base + dir * t;
    return {t, q, dist(p, q)};
}

Closest onArc(const Arc& a, Vec2 p) {
    double t = p == a.center ? a.start : nearestTurn(angleOf(p - a.center), domain(a));
    if (domain(a).contains(t)) return at(a, t, p);
    Closest s = at(a, a.start, p), e = at(a, a.end, p);
    return s.distance <= e.distance ? s : e;
}

Closest numeric(const Curve& c, Vec2 p) {
    Interval d = domain(c);
    Closest best = at(c, d.lo, p);
    if (Closest e = at(c, d.hi, p); e.distance < best.distance) best = e;
    double leaf = bounds(c).diagonal() * kLeafShare;
    std::vector<BezierPiece> stack = bezierPieces(c);
    while (!stack.empty()) {
        BezierPiece piece = std::move(stack.back());
        stack.pop_back();
        Box2 hull = hullBox(piece);
        if (hull.distanceTo(p) > best.distance) continue;
        if (hull.diagonal() > leaf) {
            auto [left, right] = halve(piece);
            bool leftNearer = hullBox(left).distanceTo(p) <= hullBox(right).distanceTo(p);
            stack.push_back(leftNearer ? std::move(right) : std::move(left));
            stack.push_back(leftNearer ? std::move(left) : std::move(right));
            continue;
        }
        double t = refineClosest(c, p, paramAt(piece, 0.5), {piece.t0, piece.t1});
        if (Closest r = at(c, t, p); r.distance < best.distance) best = r;
    }
    return best;
}

Closest onPolyline(const Polyline& pl, Vec2 p) {
    Closest best;
    for (int i = 0; i < segmentCount(pl); ++i) {
        PolySegment s = segmentOf(pl, i);
        Closest r = closest(curveOf(s), p);
        if (r.distance < best.distance) best = {i + localParamAt(s, r.param), r.point, r.distance};
    }
    return best;
}

Closest bounded(const Curve& c, Vec2 p) {
    return std::visit(
        Overloaded{
            [&](const Segment& s) { return onLine(s.start, unit(s.end - s.start), domain(s), p); },
            [&](const Ray& r) { return onLine(r.base, r.dir, domain(r), p); },
            [&](const XLine& l) { return onLine(l.base, l.dir, domain(l), p); },
            [&](const Arc& a) { return onArc(a, p); },
            [&](const Circle& ci) {
                return onArc({ci.center, ci.radius, 0, kTwoPi}, p);
            },
            [&](const Ellipse&) { return numeric(c, p); },
            [&](const Nurbs&) { return numeric(c, p); },
            [&](const Polyline& pl) { return onPolyline(pl, p); }},
        c);
}

} // namespace

double refineClosest(const Curve& c, Vec2 p, double t, const Interval& range) {
    for (int i = 0; i < kNewtonSteps; ++i) {
        Vec2 q = pointAt(c, t), d1 = derivAt(c, t), d2 = deriv2At(c, t);
        double f = dot(q - p, d1);
        double fp = dot(d1, d1) + dot(q - p, d2);
        // Away from a minimum (fp <= 0) step downhill by a quarter of the range.
        double step = fp > 0 ? -f / fp : (f > 0 ? -1 : 1) * range.span() / 4;
        double next = range.clamp(t + step);
        if (std::fabs(next - t) <=
            8 * std::numeric_limits<double>::epsilon() * (1 + std::fabs(t))) {
            return next;
        }
        t = next;
    }
    return t;
}

Closest closest(const Curve& c, Vec2 p, bool extended) {
    if (!extended || !isExtendable(c)) return bounded(c, p);
    Closest r = bounded(carrier(c), p);
    r.param = paramFromCarrier(c, r.param);
    return r;
}

std::optional<double> paramAtPoint(const Curve& c, Vec2 p, double tolerance) {
    Closest r = closest(c, p);
    if (r.distance > tolerance) return std::nullopt;
    return r.param;
}

} // namespace zel::geom
