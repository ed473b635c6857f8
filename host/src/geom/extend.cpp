// Extending curves along their carriers to a point.
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/edit.h"

namespace zel::geom {

namespace {

// The carrier parameter of p when p is on the carrier of c, else nullopt.
std::optional<double> carrierParam(const Curve& c, Vec2 p, double tolerance) {
    Closest r = closest(c, p, true);
    if (r.distance > tolerance) return std::nullopt;
    return r.param;
}

// The first or last segment of an open polyline extended to p.
std::optional<Curve> extendPolyline(const Polyline& pl, Vec2 p, double tolerance) {
    int n = segmentCount(pl);
    if (pl.closed || n == 0) return std::nullopt;
    for (bool atStart : {true, false}) {
        PolySegment s = segmentOf(pl, atStart ? 0 : n - 1);
        Curve piece = curveOf(s);
        auto t = carrierParam(piece, p, tolerance);
        if (!t) continue;
        double u = localParamAt(s, *t);
        if (atStart ? u >= 0 : u <= 1) continue;
        Polyline out = pl;
        // The segment from its new end back to the old far end, on the same line or circle.
        Vec2 q = pointAt(carrier(piece), *t);
        double scale = atStart ? 1 - u : u; // new length over old length
        double bulge = std::tan(std::atan(s.bulge) * scale);
        if (atStart) {
            out.vertices.front() = {q, bulge};
        } else {
            out.vertices[n - 1].bulge = bulge;
            out.vertices.back().point = q;
        }
        return out;
    }
    return std::nullopt;
}

std::optional<Curve> extendAlong(const Curve& c, Vec2 p, double tolerance) {
    auto t = carrierParam(c, p, tolerance);
    if (!t) return std::nullopt;
    Interval d = domain(c);
    if (d.contains(*t)) return c;
    return *t < d.lo ? subCurve(carrier(c), *t, d.hi) : subCurve(carrier(c), d.lo, *t);
}

} // namespace

std::optional<Curve> extendTo(const Curve& c, Vec2 p, double tolerance) {
    using R = std::optional<Curve>;
    auto unchangedIfOn = [&](const Curve& k) -> R {
        if (closest(k, p).distance <= tolerance) return k;
        return std::nullopt;
    };
    return std::visit(Overloaded{[&](const Segment&) { return extendAlong(c, p, tolerance); },
                                 [&](const Ray& r) -> R {
                                     auto t = carrierParam(c, p, tolerance);
                                     if (!t) return std::nullopt;
                                     return *t >= 0 ? r : Ray{pointAt(r, *t), r.dir};
                                 },
                                 [&](const XLine&) { return unchangedIfOn(c); },
                                 [&](const Arc&) { return extendAlong(c, p, tolerance); },
                                 [&](const Circle&) { return unchangedIfOn(c); },
                                 [&](const Ellipse& e) -> R {
                                     if (isClosed(e)) return unchangedIfOn(c);
                                     return extendAlong(c, p, tolerance);
                                 },
                                 [&](const Nurbs&) { return unchangedIfOn(c); },
                                 [&](const Polyline& pl) -> R {
                                     if (auto on = unchangedIfOn(c)) return on;
                                     return extendPolyline(pl, p, tolerance);
                                 }},
                      c);
}

} // namespace zel::geom
