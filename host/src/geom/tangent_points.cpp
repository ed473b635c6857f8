// Tangent points from a point. An ellipse is the unit circle under an affine map, and an
// affine map keeps lines lines and tangency tangency, so every kind reduces to the unit
// circle: from a point q outside it the tangent points lie at angle(q) +- acos(1 / |q|).
#include "geom/tangent_points.h"

#include "geom/bulge.h"

#include <cassert>
#include <cmath>

namespace zel::geom {

namespace {

// The angles of the tangent points of the unit circle seen from q; none from inside or on it
// (|q| within `slack` of 1).
std::vector<double> unitCircleTangents(Vec2 q, double slack) {
    double d = norm(q);
    if (!(d > 1 + slack)) return {};
    double spread = std::acos(1 / d);
    double toward = angleOf(q);
    return {toward - spread, toward + spread};
}

// A circle or ellipse seen as the unit circle: its centre and axes (the images of x and y).
struct Frame {
    Vec2 center, xAxis, yAxis;
    // The frame's coordinates of p (the axes are orthogonal, neither of zero length).
    Vec2 local(Vec2 p) const {
        Vec2 v = p - center;
        return {dot(v, xAxis) / dot(xAxis, xAxis), dot(v, yAxis) / dot(yAxis, yAxis)};
    }
    Vec2 at(double t) const { return center + xAxis * std::cos(t) + yAxis * std::sin(t); }
};

// The tangent points of a frame's full curve from p whose angle lies in `range` (taken in the
// turn nearest it). The tolerance is a distance; it is scaled to the frame by its smaller axis.
std::vector<TangentPoint> tangentsInFrame(const Frame& f, Vec2 p, const Interval& range,
                                          double tolerance) {
    double shorter = std::min(norm(f.xAxis), norm(f.yAxis));
    assert(shorter > 0 && "a curve of zero size has no tangents");
    std::vector<TangentPoint> out;
    for (double t : unitCircleTangents(f.local(p), tolerance / shorter)) {
        double inRange = nearestTurn(t, range);
        if (!range.contains(inRange, tol::kAngle)) continue;
        out.push_back({f.at(inRange), inRange});
    }
    return out;
}

Frame frameOf(const Circle& c) {
    return {c.center, {c.radius, 0}, {0, c.radius}};
}

Frame frameOf(const Ellipse& e) {
    return {e.center, e.major, perp(e.major) * e.ratio};
}

std::vector<TangentPoint> tangentsOfPolyline(const Polyline& pl, Vec2 p, double tolerance) {
    std::vector<TangentPoint> out;
    for (int i = 0; i < segmentCount(pl); ++i) {
        PolySegment s = segmentOf(pl, i);
        if (!isArc(s)) continue;
        Arc a = arcOfBulge(s.a, s.b, s.bulge).arc;
        for (const TangentPoint& tp :
             tangentsInFrame(frameOf(Circle{a.center, a.radius}), p, domain(a), tolerance))
            out.push_back({tp.point, i + localParamAt(s, tp.param)});
    }
    return out;
}

} // namespace

std::vector<TangentPoint> tangentPointsFrom(const Curve& c, Vec2 p, double tolerance) {
    auto none = [](const auto&) { return std::vector<TangentPoint>{}; };
    return std::visit(
        Overloaded{
            [&](const Segment& k) { return none(k); }, [&](const Ray& k) { return none(k); },
            [&](const XLine& k) { return none(k); }, [&](const Nurbs& k) { return none(k); },
            [&](const Arc& k) {
                return tangentsInFrame(frameOf(Circle{k.center, k.radius}), p, domain(k),
                                       tolerance);
            },
            [&](const Circle& k) {
                return tangentsInFrame(frameOf(k), p, Interval{0, kTwoPi}, tolerance);
            },
            [&](const Ellipse& k) { return tangentsInFrame(frameOf(k), p, domain(k), tolerance); },
            [&](const Polyline& k) { return tangentsOfPolyline(k, p, tolerance); }},
        c);
}

} // namespace zel::geom
