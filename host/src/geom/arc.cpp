// Circular arcs and circles, parameterised by angle.
#include "geom/curve2d.h"

namespace zel::geom {

Arc arcFromAngles(Vec2 center, double radius, double a0, double a1) {
    double start = wrapAngle(a0, 0);
    double sweep = wrapAngle(a1 - a0, 0);
    if (sweep == 0) sweep = kTwoPi;
    return {center, radius, start, start + sweep};
}

Interval domain(const Arc& a) {
    return {a.start, a.end};
}
Vec2 pointAt(const Arc& a, double t) {
    return a.center + polar(t) * a.radius;
}
Vec2 derivAt(const Arc& a, double t) {
    return perp(polar(t)) * a.radius;
}
Vec2 deriv2At(const Arc& a, double t) {
    return polar(t) * -a.radius;
}
double lengthBetween(const Arc& a, double t0, double t1) {
    return a.radius * (t1 - t0);
}
bool isClosed(const Arc& a) {
    return a.end - a.start >= kTwoPi;
}

Box2 bounds(const Arc& a) {
    Box2 box = Box2::of(pointAt(a, a.start), pointAt(a, a.end));
    // The quadrant points (angles k pi / 2) inside the sweep.
    double first = std::ceil(a.start / (kPi / 2));
    for (double k = first; k * (kPi / 2) <= a.end && k < first + 4; ++k) {
        box.add(pointAt(a, k * (kPi / 2)));
    }
    return box;
}

Interval domain(const Circle&) {
    return {0, kTwoPi};
}
Vec2 pointAt(const Circle& c, double t) {
    return c.center + polar(t) * c.radius;
}
Vec2 derivAt(const Circle& c, double t) {
    return perp(polar(t)) * c.radius;
}
Vec2 deriv2At(const Circle& c, double t) {
    return polar(t) * -c.radius;
}
double lengthBetween(const Circle& c, double t0, double t1) {
    return c.radius * (t1 - t0);
}
bool isClosed(const Circle&) {
    return true;
}
Box2 bounds(const Circle& c) {
    Vec2 r{c.radius, c.radius};
    return {c.center - r, c.center + r};
}

} // namespace zel::geom
