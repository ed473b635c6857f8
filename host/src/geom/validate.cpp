// Checks of curve data before the kernel works on it: each failure has a message for the user.
#include "core/tolerance.h"
#include "geom/curve2d.h"
#include "geom/nurbs.h"

#include <string>

namespace zel::geom {

namespace {

bool finite(double v) {
    return std::isfinite(v);
}
bool finite(Vec2 v) {
    return isFinite(v);
}

std::string checkDirection(Vec2 base, Vec2 dir) {
    if (!finite(base) || !finite(dir)) return "the line has a coordinate that is not a number";
    if (std::fabs(norm(dir) - 1) > tol::kParam) return "the line's direction is not a unit vector";
    return {};
}

std::string checkSweep(double start, double end) {
    if (!finite(start) || !finite(end)) return "the arc has an angle that is not a number";
    if (!(start < end) || end - start > kTwoPi + tol::kAngle) {
        return "the arc's end angle must follow its start angle by at most a full turn";
    }
    return {};
}

std::string check(const Segment& s) {
    if (!finite(s.start) || !finite(s.end)) {
        return "the segment has a coordinate that is not a number";
    }
    if (dist(s.start, s.end) <= tol::kPoint) return "the segment has no length";
    return {};
}
std::string check(const Ray& r) {
    return checkDirection(r.base, r.dir);
}
std::string check(const XLine& l) {
    return checkDirection(l.base, l.dir);
}

std::string check(const Circle& c) {
    if (!finite(c.center) || !finite(c.radius)) {
        return "the circle has a value that is not a number";
    }
    if (c.radius <= tol::kPoint) return "the radius must be positive";
    return {};
}

std::string check(const Arc& a) {
    std::string why = check(Circle{a.center, a.radius});
    return why.empty() ? checkSweep(a.start, a.end) : why;
}

std::string check(const Ellipse& e) {
    if (!finite(e.center) || !finite(e.major) || !finite(e.ratio)) {
        return "the ellipse has a value that is not a number";
    }
    if (norm(e.major) <= tol::kPoint) return "the ellipse's major axis has no length";
    if (!(e.ratio * norm(e.major) > tol::kPoint) || e.ratio > 1 + tol::kParam) {
        return "the ratio of the ellipse's axes must be above 0 and at most 1";
    }
    return checkSweep(e.start, e.end);
}

std::string check(const Nurbs& n) {
    if (n.degree < 1 || n.degree > kMaxNurbsDegree) {
        return "the spline's degree must be 1 to " + std::to_string(kMaxNurbsDegree);
    }
    if (n.points.size() < size_t(n.degree) + 1) return "the spline has too few control points";
    if (n.knots.size() != n.points.size() + n.degree + 1) {
        return "the spline needs as many knots as control points plus degree plus one";
    }
    if (!n.weights.empty() && n.weights.size() != n.points.size()) {
        return "the spline needs one weight per control point";
    }
    for (size_t i = 0; i < n.knots.size(); ++i) {
        if (!finite(n.knots[i])) return "the spline has a knot that is not a number";
        if (i > 0 && n.knots[i] < n.knots[i - 1]) return "the spline's knots must not decrease";
    }
    for (Vec2 p : n.points) {
        if (!finite(p)) return "the spline has a control point that is not a number";
    }
    for (double w : n.weights) {
        if (!(w > 0) || !finite(w)) return "the spline's weights must be positive";
    }
    Interval d = domain(n);
    if (!(d.lo < d.hi)) return "the spline's knots leave it no parameter range";
    return {};
}

std::string check(const Polyline& p) {
    if (p.vertices.size() < 2) return "the polyline needs at least two vertices";
    for (const auto& v : p.vertices) {
        if (!finite(v.point) || !finite(v.bulge)) {
            return "the polyline has a vertex or bulge that is not a number";
        }
    }
    return {};
}

} // namespace

std::string validate(const Curve& c) {
    return std::visit([](const auto& k) { return check(k); }, c);
}

} // namespace zel::geom
