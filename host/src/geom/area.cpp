// Areas by Green's theorem: exact for lines, arcs and bulge polylines, numerical integration
// over the smooth spans of ellipses and splines.
#include "geom/area.h"

#include "core/tolerance.h"
#include "geom/bulge.h"
#include "geom/nurbs.h"
#include "geom/quadrature.h"

namespace zel::geom {

namespace {

double sweptArc(const Arc& a) {
    double r = a.radius, cx = a.center.x, cy = a.center.y;
    double twice = r * r * (a.end - a.start) + r * cx * (std::sin(a.end) - std::sin(a.start)) -
                   r * cy * (std::cos(a.end) - std::cos(a.start));
    return twice / 2;
}

// The swept area by integration between breaks where the curve may turn a corner.
double sweptNumeric(const Curve& c, const std::vector<double>& breaks) {
    auto f = [&](double t) { return cross(pointAt(c, t), derivAt(c, t)) / 2; };
    double sum = 0;
    for (size_t i = 0; i + 1 < breaks.size(); ++i)
        sum += integrate(f, breaks[i], breaks[i + 1], tol::kLengthRelative);
    return sum;
}

std::vector<double> spanBreaks(const Nurbs& n) {
    Interval d = domain(n);
    std::vector<double> out{d.lo};
    for (double k : n.knots)
        if (k > out.back() && k < d.hi) out.push_back(k);
    out.push_back(d.hi);
    return out;
}

double sweptPolyline(const Polyline& p) {
    double sum = 0;
    for (int i = 0; i < segmentCount(p); ++i) {
        PolySegment s = segmentOf(p, i);
        sum += cross(s.a, s.b) / 2;
        if (!isArc(s)) continue;
        double sweep = 4 * std::atan(s.bulge);
        double r = arcOfBulge(s.a, s.b, s.bulge).arc.radius;
        sum += r * r / 2 * (sweep - std::sin(sweep));
    }
    return sum;
}

} // namespace

double sweptArea(const Curve& c) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    return std::visit(Overloaded{[](const Segment& s) { return cross(s.start, s.end) / 2; },
                                 [&](const Ray&) { return nan; }, [&](const XLine&) { return nan; },
                                 [](const Arc& a) { return sweptArc(a); },
                                 [](const Circle& ci) {
                                     return sweptArc({ci.center, ci.radius, 0, kTwoPi});
                                 },
                                 [&](const Ellipse& e) {
                                     return sweptNumeric(c, {e.start, e.end});
                                 },
                                 [&](const Nurbs& n) { return sweptNumeric(c, spanBreaks(n)); },
                                 [](const Polyline& p) { return sweptPolyline(p); }},
                      c);
}

std::optional<double> enclosedArea(const Curve& c) {
    double swept = sweptArea(c);
    if (!std::isfinite(swept)) return std::nullopt;
    if (!isClosed(c)) swept += cross(endPoint(c), startPoint(c)) / 2;
    return std::fabs(swept);
}

std::optional<double> perimeter(const Curve& c, bool withClosingLine) {
    if (std::holds_alternative<Ray>(c) || std::holds_alternative<XLine>(c)) return std::nullopt;
    double l = length(c);
    if (withClosingLine && !isClosed(c)) l += dist(endPoint(c), startPoint(c));
    return l;
}

double polygonArea(std::span<const Vec2> points) {
    double twice = 0;
    for (size_t i = 0; i < points.size(); ++i)
        twice += cross(points[i], points[(i + 1) % points.size()]);
    return std::fabs(twice) / 2;
}

double polygonPerimeter(std::span<const Vec2> points) {
    if (points.size() < 2) return 0;
    double sum = 0;
    for (size_t i = 0; i < points.size(); ++i)
        sum += dist(points[i], points[(i + 1) % points.size()]);
    return sum;
}

} // namespace zel::geom
