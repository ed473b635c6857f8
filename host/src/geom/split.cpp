// Reversing, cutting and splitting curves.
#include "core/tolerance.h"
#include "geom/bezier.h"
#include "geom/bulge.h"
#include "geom/edit.h"
#include "geom/nurbs.h"

#include <cassert>

namespace zel::geom {

namespace {

bool isPeriodic(const Curve& c) {
    return std::holds_alternative<Circle>(c) ||
           (std::holds_alternative<Ellipse>(c) && isClosed(std::get<Ellipse>(c)));
}

// The arc as polyline vertices run clockwise (reversed) or counter-clockwise, in pieces of at
// most half a turn so that every bulge is finite.
std::vector<BulgeVertex> arcVertices(const Arc& a, bool clockwise) {
    int pieces = a.end - a.start > kPi ? 2 : 1;
    double step = (a.end - a.start) / pieces;
    std::vector<BulgeVertex> out;
    for (int i = 0; i <= pieces; ++i) {
        double angle = clockwise ? a.end - i * step : a.start + i * step;
        double bulge = i == pieces ? 0 : std::tan(step / 4) * (clockwise ? -1 : 1);
        out.push_back({pointAt(a, angle), bulge});
    }
    return out;
}

Polyline reversedPolyline(const Polyline& p) {
    size_t n = p.vertices.size();
    Polyline r{{}, p.closed};
    for (size_t j = 0; j < n; ++j) {
        size_t from = p.closed ? (n - j) % n : n - 1 - j;
        // The segment now starting at `from` is the old one ending there.
        size_t seg = p.closed ? (n + from - 1) % n : from - 1;
        double bulge = (!p.closed && j == n - 1) ? 0 : -p.vertices[seg].bulge;
        r.vertices.push_back({p.vertices[from].point, bulge});
    }
    return r;
}

// The vertices of the polyline from t0 to t1 (t1 > t0, counting segments past the end of a
// closed polyline from its start again).
Polyline subPolyline(const Polyline& p, double t0, double t1) {
    int n = segmentCount(p);
    Polyline out{{}, false};
    for (int k = int(std::floor(t0)); k < int(std::ceil(t1)); ++k) {
        double u0 = std::max(t0 - k, 0.0), u1 = std::min(t1 - k, 1.0);
        if (u1 <= u0) continue;
        PolySegment s = segmentOf(p, ((k % n) + n) % n);
        double sweep = 4 * std::atan(s.bulge) * (u1 - u0);
        Vec2 start = pointAt(p, (k % n) + u0);
        out.vertices.push_back({start, std::tan(sweep / 4)});
    }
    double end = std::fmod(t1, double(n));
    out.vertices.push_back({pointAt(p, end == 0 && t1 > 0 ? n : end), 0});
    return out;
}

Curve subNurbsWrapped(const Nurbs& n, double t0, double t1) {
    Interval d = domain(n);
    if (t0 < t1) return subNurbs(n, t0, t1);
    return joinNurbs(subNurbs(n, t0, d.hi), subNurbs(n, d.lo, t1));
}

Curve subLine(Vec2 base, Vec2 dir, double t0, double t1) {
    if (std::isinf(t0) && std::isinf(t1)) return XLine{base, dir};
    if (std::isinf(t1)) return Ray{base + dir * t0, dir};
    if (std::isinf(t0)) return Ray{base + dir * t1, -dir};
    return Segment{base + dir * t0, base + dir * t1};
}

double turnAfter(double t0, double t1) {
    return t1 <= t0 ? t1 + kTwoPi : t1;
}

Nurbs conicNurbs(const Ellipse& e) {
    Nurbs n{2, {e.start, e.start, e.start}, {}, {}};
    for (const BezierPiece& piece : bezierPieces(e)) {
        for (size_t i = n.points.empty() ? 0 : 1; i < 3; ++i) {
            n.points.push_back(piece.points[i].project());
            n.weights.push_back(piece.points[i].w);
        }
        n.knots.insert(n.knots.end(), {piece.t1, piece.t1});
    }
    n.knots.push_back(e.end);
    return n;
}

Ellipse asEllipse(const Arc& a) {
    return {a.center, {a.radius, 0}, 1, a.start, a.end};
}

} // namespace

std::optional<Nurbs> toNurbs(const Curve& c) {
    return std::visit(
        Overloaded{[](const Segment& s) -> std::optional<Nurbs> {
                       double len = dist(s.start, s.end);
                       return Nurbs{1, {0, 0, len, len}, {s.start, s.end}, {}};
                   },
                   [](const Ray&) -> std::optional<Nurbs> { return std::nullopt; },
                   [](const XLine&) -> std::optional<Nurbs> { return std::nullopt; },
                   [](const Arc& a) -> std::optional<Nurbs> { return conicNurbs(asEllipse(a)); },
                   [](const Circle& ci) -> std::optional<Nurbs> {
                       return conicNurbs({ci.center, {ci.radius, 0}, 1});
                   },
                   [](const Ellipse& e) -> std::optional<Nurbs> { return conicNurbs(e); },
                   [](const Nurbs& n) -> std::optional<Nurbs> { return n; },
                   [](const Polyline&) -> std::optional<Nurbs> { return std::nullopt; }},
        c);
}

std::optional<Curve> reversed(const Curve& c) {
    using R = std::optional<Curve>;
    return std::visit(Overloaded{[](const Segment& s) -> R {
                                     return Segment{s.end, s.start};
                                 },
                                 [](const Ray&) -> R { return std::nullopt; },
                                 [](const XLine& l) -> R {
                                     return XLine{l.base, -l.dir};
                                 },
                                 [](const Arc& a) -> R {
                                     return Polyline{arcVertices(a, true), false};
                                 },
                                 [](const Circle& ci) -> R {
                                     auto v = arcVertices({ci.center, ci.radius, 0, kTwoPi}, true);
                                     v.pop_back(); // the closing vertex repeats the first
                                     return Polyline{std::move(v), true};
                                 },
                                 [](const Ellipse& e) -> R { return reversedNurbs(conicNurbs(e)); },
                                 [](const Nurbs& n) -> R { return reversedNurbs(n); },
                                 [](const Polyline& p) -> R { return reversedPolyline(p); }},
                      c);
}

Curve subCurve(const Curve& c, double t0, double t1) {
    return std::visit(
        Overloaded{[&](const Segment& s) -> Curve {
                       return subLine(s.start, unit(s.end - s.start), t0, t1);
                   },
                   [&](const Ray& r) -> Curve { return subLine(r.base, r.dir, t0, t1); },
                   [&](const XLine& l) -> Curve { return subLine(l.base, l.dir, t0, t1); },
                   [&](const Arc& a) -> Curve {
                       return Arc{a.center, a.radius, t0, t1};
                   },
                   [&](const Circle& ci) -> Curve {
                       return Arc{ci.center, ci.radius, t0, turnAfter(t0, t1)};
                   },
                   [&](const Ellipse& e) -> Curve {
                       double end = isClosed(e) ? turnAfter(t0, t1) : t1;
                       return Ellipse{e.center, e.major, e.ratio, t0, end};
                   },
                   [&](const Nurbs& n) -> Curve { return subNurbsWrapped(n, t0, t1); },
                   [&](const Polyline& p) -> Curve {
                       double end = (p.closed && t1 <= t0) ? t1 + segmentCount(p) : t1;
                       return subPolyline(p, t0, end);
                   }},
        c);
}

std::vector<Curve> split(const Curve& c, std::vector<double> params) {
    Interval d = domain(c);
    bool periodic = isPeriodic(c);
    std::vector<double> cuts;
    for (double t : params) {
        if (periodic) t = wrapAngle(t, d.lo);
        if (d.contains(t, -tol::kParam) || (periodic && std::isfinite(t))) cuts.push_back(t);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end(),
                           [](double a, double b) { return b - a <= tol::kParam; }),
               cuts.end());
    if (periodic) {
        if (cuts.empty()) return {c};
        std::vector<Curve> out;
        for (size_t i = 0; i < cuts.size(); ++i) {
            out.push_back(subCurve(c, cuts[i], cuts[(i + 1) % cuts.size()]));
        }
        return out;
    }
    cuts.insert(cuts.begin(), d.lo);
    cuts.push_back(d.hi);
    std::vector<Curve> out;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        out.push_back(subCurve(c, cuts[i], cuts[i + 1]));
    }
    return out;
}

} // namespace zel::geom
