// Straight curves: segments, rays and construction lines, all parameterised by distance.
#include "geom/curve2d.h"

namespace zel::geom {

namespace {

Vec2 direction(const Segment& s) {
    return unit(s.end - s.start);
}

// Box of the line p + t d for t in [t0, t1], with infinite coordinates where it runs away.
Box2 lineBox(Vec2 p, Vec2 d, double t0, double t1) {
    auto axis = [](double p, double d, double t0, double t1) {
        if (d == 0) return std::pair{p, p};
        double a = std::isfinite(t0) ? p + d * t0 : (d > 0 ? -kInf : kInf);
        double b = std::isfinite(t1) ? p + d * t1 : (d > 0 ? kInf : -kInf);
        return std::pair{std::min(a, b), std::max(a, b)};
    };
    auto [x0, x1] = axis(p.x, d.x, t0, t1);
    auto [y0, y1] = axis(p.y, d.y, t0, t1);
    return {{x0, y0}, {x1, y1}};
}

} // namespace

Ray rayThrough(Vec2 base, Vec2 through) {
    return {base, unit(through - base)};
}
XLine xlineThrough(Vec2 a, Vec2 b) {
    return {a, unit(b - a)};
}

Interval domain(const Segment& s) {
    return {0, dist(s.start, s.end)};
}
Vec2 pointAt(const Segment& s, double t) {
    return s.start + direction(s) * t;
}
Vec2 derivAt(const Segment& s, double) {
    return direction(s);
}
Vec2 deriv2At(const Segment&, double) {
    return {};
}
double lengthBetween(const Segment&, double t0, double t1) {
    return t1 - t0;
}
Box2 bounds(const Segment& s) {
    return Box2::of(s.start, s.end);
}
bool isClosed(const Segment&) {
    return false;
}

Interval domain(const Ray&) {
    return {0, kInf};
}
Vec2 pointAt(const Ray& r, double t) {
    return r.base + r.dir * t;
}
Vec2 derivAt(const Ray& r, double) {
    return r.dir;
}
Vec2 deriv2At(const Ray&, double) {
    return {};
}
double lengthBetween(const Ray&, double t0, double t1) {
    return t1 - t0;
}
Box2 bounds(const Ray& r) {
    return lineBox(r.base, r.dir, 0, kInf);
}
bool isClosed(const Ray&) {
    return false;
}

Interval domain(const XLine&) {
    return {-kInf, kInf};
}
Vec2 pointAt(const XLine& l, double t) {
    return l.base + l.dir * t;
}
Vec2 derivAt(const XLine& l, double) {
    return l.dir;
}
Vec2 deriv2At(const XLine&, double) {
    return {};
}
double lengthBetween(const XLine&, double t0, double t1) {
    return t1 - t0;
}
Box2 bounds(const XLine& l) {
    return lineBox(l.base, l.dir, -kInf, kInf);
}
bool isClosed(const XLine&) {
    return false;
}

} // namespace zel::geom
