// Intersections of lines, circles and ellipses in closed form. A pair within the tolerance of
// touching is reported as one touching point, never as two nearby crossings.
#include "geom/bezier.h"
#include "geom/closest.h"
#include "geom/intersect_detail.h"

namespace zel::geom::detail {

namespace {

Hit lineHit(const XLine& a, double t, double t2, HitKind kind) {
    return {pointAt(a, t), t, t2, kind};
}

} // namespace

Intersections swapped(Intersections r) {
    for (Hit& h : r.hits) {
        std::swap(h.t1, h.t2);
    }
    return r;
}

Intersections lineLine(const XLine& a, const XLine& b, double tol) {
    double c = cross(a.dir, b.dir);
    Vec2 w = b.base - a.base;
    if (std::fabs(c) <= tol::kParallel) {
        return {{}, std::fabs(cross(w, a.dir)) <= tol};
    }
    double t1 = cross(w, b.dir) / c, t2 = cross(w, a.dir) / c;
    return {{lineHit(a, t1, t2, HitKind::Cross)}, false};
}

Intersections lineCircle(const XLine& a, const Circle& b, double tol) {
    double tf = dot(b.center - a.base, a.dir);
    Vec2 foot = pointAt(a, tf);
    double d = dist(foot, b.center);
    auto angle = [&](Vec2 p) { return angleOf(p - b.center); };
    if (std::fabs(d - b.radius) <= tol) {
        // The touching point: on the circle, in the direction of the foot point.
        Vec2 dir = d > 0 ? (foot - b.center) / d : perp(a.dir);
        return {{lineHit(a, tf, angleOf(dir), HitKind::Touch)}, false};
    }
    if (d > b.radius) return {};
    double w = std::sqrt((b.radius - d) * (b.radius + d));
    Intersections r;
    for (double t : {tf - w, tf + w}) {
        Vec2 p = pointAt(a, t);
        r.hits.push_back({p, t, angle(p), HitKind::Cross});
    }
    return r;
}

Intersections circleCircle(const Circle& a, const Circle& b, double tol) {
    Vec2 v = b.center - a.center;
    double d = norm(v);
    if (d <= tol) return {{}, std::fabs(a.radius - b.radius) <= tol};
    Vec2 u = v / d;
    auto hitAt = [&](Vec2 p, HitKind kind) {
        return Hit{p, angleOf(p - a.center), angleOf(p - b.center), kind};
    };
    double outer = a.radius + b.radius, inner = std::fabs(a.radius - b.radius);
    if (std::fabs(d - outer) <= tol) {
        return {{hitAt(a.center + u * a.radius, HitKind::Touch)}, false};
    }
    if (std::fabs(d - inner) <= tol) {
        Vec2 side = a.radius >= b.radius ? u : -u;
        return {{hitAt(a.center + side * a.radius, HitKind::Touch)}, false};
    }
    if (d > outer || d < inner) return {};
    double along = (d * d + a.radius * a.radius - b.radius * b.radius) / (2 * d);
    double h = std::sqrt(std::max(0.0, a.radius * a.radius - along * along));
    Vec2 m = a.center + u * along;
    return {{hitAt(m + perp(u) * h, HitKind::Cross), hitAt(m - perp(u) * h, HitKind::Cross)},
            false};
}

Intersections lineEllipse(const XLine& a, const Ellipse& b, double tol) {
    // In the frame where the ellipse is the unit circle the line stays a line with the same
    // parameter, so the crossings solve a quadratic.
    double ma = norm(b.major), mb = ma * b.ratio;
    Vec2 ux = b.major / ma, uy = perp(ux);
    auto toFrame = [&](Vec2 v) { return Vec2{dot(v, ux) / ma, dot(v, uy) / mb}; };
    Vec2 q = toFrame(a.base - b.center), delta = toFrame(a.dir);
    double dd = dot(delta, delta);
    double tf = -dot(q, delta) / dd;
    Vec2 foot = q + delta * tf;
    double rho = norm(foot);
    if (rho > 0) {
        // The point of the ellipse whose tangent is parallel to the line, on the line's side.
        Vec2 tp = foot / rho;
        Vec2 touch = b.center + ux * (ma * tp.x) + uy * (mb * tp.y);
        if (std::fabs(cross(a.dir, touch - a.base)) <= tol) {
            double t = dot(touch - a.base, a.dir);
            return {{lineHit(a, t, angleOf(tp), HitKind::Touch)}, false};
        }
    }
    if (rho >= 1) return {};
    double w = std::sqrt((1 - rho) * (1 + rho) / dd);
    Intersections r;
    for (double t : {tf - w, tf + w}) {
        r.hits.push_back(lineHit(a, t, angleOf(q + delta * t), HitKind::Cross));
    }
    return r;
}

} // namespace zel::geom::detail
