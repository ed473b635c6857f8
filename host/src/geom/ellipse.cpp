// Ellipses and elliptical arcs, parameterised by the eccentric angle.
#include "core/tolerance.h"
#include "geom/curve2d.h"
#include "geom/quadrature.h"

namespace zel::geom {

namespace {

Vec2 minorAxis(const Ellipse& e) {
    return perp(e.major) * e.ratio;
}

double speed(const Ellipse& e, double t) {
    return norm(derivAt(e, t));
}

} // namespace

Ellipse ellipseFromParams(Vec2 center, Vec2 major, double ratio, double t0, double t1) {
    Arc turn = arcFromAngles({}, 0, t0, t1);
    return {center, major, ratio, turn.start, turn.end};
}

Interval domain(const Ellipse& e) {
    return {e.start, e.end};
}
Vec2 pointAt(const Ellipse& e, double t) {
    return e.center + e.major * std::cos(t) + minorAxis(e) * std::sin(t);
}
Vec2 derivAt(const Ellipse& e, double t) {
    return minorAxis(e) * std::cos(t) - e.major * std::sin(t);
}
Vec2 deriv2At(const Ellipse& e, double t) {
    return e.center - pointAt(e, t);
}
bool isClosed(const Ellipse& e) {
    return e.end - e.start >= kTwoPi;
}

double lengthBetween(const Ellipse& e, double t0, double t1) {
    if (t0 > t1) return -lengthBetween(e, t1, t0);
    // Integrate quadrant by quadrant: the speed is smooth and has its extremes at the ends.
    double total = 0;
    for (double a = t0; a < t1;) {
        double b = (std::floor(a / (kPi / 2)) + 1) * (kPi / 2);
        if (b <= a) b = a + kPi / 2; // a rounded onto a quadrant boundary
        b = std::min(t1, b);
        total += integrate([&](double t) { return speed(e, t); }, a, b, tol::kLengthRelative);
        a = b;
    }
    return total;
}

Box2 bounds(const Ellipse& e) {
    Box2 box = Box2::of(pointAt(e, e.start), pointAt(e, e.end));
    Vec2 m = minorAxis(e);
    // Extremes in x and y: where the derivative's coordinate vanishes.
    for (double t0 : {std::atan2(m.x, e.major.x), std::atan2(m.y, e.major.y)}) {
        for (double t : {t0, t0 + kPi}) {
            double inTurn = wrapAngle(t, e.start);
            if (inTurn <= e.end) box.add(pointAt(e, inTurn));
        }
    }
    return box;
}

} // namespace zel::geom
