#include "geom/cutting.h"

#include "core/tolerance.h"
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/edit.h"
#include "geom/intersect.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace zel::geom {

namespace {

// x brought into [0, period).
double wrapInto(double x, double period) {
    double r = std::fmod(x, period);
    if (r < 0) r += period;
    return r >= period ? 0.0 : r;
}

bool isLongEnough(const Curve& c) {
    return length(c) > tol::kPoint;
}

void keepPiece(std::vector<Curve>& out, const Curve& c, double t0, double t1) {
    if (!(t1 - t0 > tol::kParam)) return; // also the empty stretch past an unbounded end
    Curve piece = subCurve(c, t0, t1);
    if (isLongEnough(piece)) out.push_back(std::move(piece));
}

// The part of a closed curve from t0 onwards to t1 (wrapping past the end).
Curve closedPart(const Curve& c, double t0, double t1) {
    Interval d = domain(c);
    double period = d.span();
    return subCurve(c, d.lo + wrapInto(t0 - d.lo, period), d.lo + wrapInto(t1 - d.lo, period));
}

CurveEnd lineEnd(Vec2 base, Vec2 dir, double endParam, int direction) {
    return {XLine{base, dir}, endParam, direction, kInf};
}

CurveEnd arcEnd(const Arc& a, bool atStart) {
    double room = kTwoPi - (a.end - a.start);
    return {Circle{a.center, a.radius}, atStart ? a.start : a.end, atStart ? -1 : 1, room};
}

std::optional<CurveEnd> polylineEnd(const Polyline& p, bool atStart) {
    int n = segmentCount(p);
    if (p.closed || n == 0) return std::nullopt;
    PolySegment s = segmentOf(p, atStart ? 0 : n - 1);
    if (!isArc(s)) {
        double len = dist(s.a, s.b);
        if (len <= tol::kPoint) return std::nullopt;
        return lineEnd(s.a, unit(s.b - s.a), atStart ? 0 : len, atStart ? -1 : 1);
    }
    BulgeArc ba = arcOfBulge(s.a, s.b, s.bulge);
    // Run clockwise, the polyline starts at the arc's end and ends at its start.
    return arcEnd(ba.arc, ba.clockwise ? !atStart : atStart);
}

// An open spline's end carried on along its end tangent: the carrier starts at the end.
std::optional<CurveEnd> splineEnd(const Nurbs& n, bool atStart) {
    if (isClosed(n)) return std::nullopt;
    Vec2 dir = splineEndDirection(n, atStart);
    if (norm(dir) == 0) return std::nullopt;
    Interval d = domain(n);
    return lineEnd(pointAt(n, atStart ? d.lo : d.hi), dir, 0, 1);
}

// How far ahead of the end (in eccentric angle) the arc length along the ellipse reaches
// delta: Newton steps kept inside a bracket that bisection narrows when a step leaves it.
std::optional<double> ellipseAhead(const Ellipse& e, const CurveEnd& end, double delta) {
    auto lengthTo = [&](double x) {
        double t = end.endParam + end.direction * x;
        return std::abs(lengthBetween(e, std::min(end.endParam, t), std::max(end.endParam, t)));
    };
    double lo = 0, hi = end.room - tol::kAngle;
    if (hi <= 0 || lengthTo(hi) <= delta) return std::nullopt;
    double x = std::min(delta / std::max(norm(derivAt(e, end.endParam)), tol::kPoint), hi / 2);
    for (int i = 0; i < 100; ++i) {
        double f = lengthTo(x) - delta;
        (f < 0 ? lo : hi) = x;
        double speed = norm(derivAt(e, end.endParam + end.direction * x));
        double next = speed > tol::kPoint ? x - f / speed : (lo + hi) / 2;
        if (next <= lo || next >= hi) next = (lo + hi) / 2;
        if (std::abs(next - x) <= tol::kParam) return next;
        x = next;
    }
    return x;
}

// The carrier parameter ahead of the end by arc length delta (> 0).
std::optional<double> paramAhead(const CurveEnd& end, double delta) {
    return std::visit(Overloaded{[&](const XLine&) -> std::optional<double> {
                                     return end.endParam + end.direction * delta;
                                 },
                                 [&](const Circle& ci) -> std::optional<double> {
                                     double angle = delta / ci.radius;
                                     if (angle >= end.room - tol::kAngle) return std::nullopt;
                                     return end.endParam + end.direction * angle;
                                 },
                                 [&](const Ellipse& e) -> std::optional<double> {
                                     std::optional<double> x = ellipseAhead(e, end, delta);
                                     if (!x) return std::nullopt;
                                     return end.endParam + end.direction * *x;
                                 },
                                 [](const auto&) -> std::optional<double> { return std::nullopt; }},
                      end.carrier);
}

// The end of a polyline moved `ahead` along the carrier of its end segment.
Polyline extendPolylineEnd(Polyline p, bool atStart, const CurveEnd& end, double ahead) {
    Vec2 q = pointAt(end.carrier, end.endParam + end.direction * ahead);
    size_t n = p.vertices.size();
    BulgeVertex& from = atStart ? p.vertices[0] : p.vertices[n - 2];
    if (std::holds_alternative<Circle>(end.carrier)) {
        double sweep = 4 * std::atan(std::abs(from.bulge)) + ahead;
        from.bulge = std::copysign(std::tan(sweep / 4), from.bulge);
    }
    (atStart ? p.vertices[0] : p.vertices[n - 1]).point = q;
    return p;
}

// The curve with one end moved `ahead` (in carrier parameters) beyond its end.
Curve extendBy(const Curve& c, bool atStart, const CurveEnd& end, double ahead) {
    double t = end.endParam + end.direction * ahead;
    Vec2 q = pointAt(end.carrier, t);
    return std::visit(
        Overloaded{
            [&](const Segment& s) -> Curve {
                return atStart ? Segment{q, s.end} : Segment{s.start, q};
            },
            [&](const Ray& r) -> Curve {
                return Ray{q, r.dir};
            },
            [&](const Arc& a) -> Curve {
                return atStart ? Arc{a.center, a.radius, t, a.end}
                               : Arc{a.center, a.radius, a.start, t};
            },
            [&](const Ellipse& e) -> Curve {
                return atStart ? Ellipse{e.center, e.major, e.ratio, t, e.end}
                               : Ellipse{e.center, e.major, e.ratio, e.start, t};
            },
            [&](const Polyline& p) -> Curve { return extendPolylineEnd(p, atStart, end, ahead); },
            [&](const Nurbs& n) -> Curve { return extendSplineStraight(n, atStart, ahead); },
            [&](const auto&) -> Curve {
                assert(false && "only curves with a CurveEnd extend");
                return c;
            }},
        c);
}

} // namespace

bool isPeriodicCurve(const Curve& c) {
    if (std::holds_alternative<Segment>(c) || std::holds_alternative<Ray>(c) ||
        std::holds_alternative<XLine>(c) || std::holds_alternative<Arc>(c))
        return false;
    if (auto* p = std::get_if<Polyline>(&c)) return p->closed;
    return isClosed(c);
}

BreakResult breakCurve(const Curve& c, double t1, double t2) {
    bool same = dist(pointAt(c, t1), pointAt(c, t2)) <= tol::kPoint;
    if (isPeriodicCurve(c)) {
        if (same) return {{}, BreakError::ClosedAtOnePoint};
        return {{closedPart(c, t2, t1)}, BreakError::None};
    }
    Interval d = domain(c);
    double lo = std::min(t1, t2), hi = same ? lo : std::max(t1, t2);
    BreakResult r;
    keepPiece(r.pieces, c, d.lo, lo);
    keepPiece(r.pieces, c, hi, d.hi);
    if (r.pieces.empty()) r.error = BreakError::NothingLeft;
    return r;
}

std::optional<std::vector<Curve>> trimAt(const Curve& c, double t, std::span<const double> cuts) {
    Interval d = domain(c);
    if (isPeriodicCurve(c)) {
        double period = d.span();
        double first = kInf, last = -kInf, firstCut = 0, lastCut = 0;
        for (double cut : cuts) {
            double rel = wrapInto(cut - t, period);
            if (rel <= tol::kParam || rel >= period - tol::kParam) continue;
            if (rel < first) first = rel, firstCut = cut;
            if (rel > last) last = rel, lastCut = cut;
        }
        if (!std::isfinite(first) || last - first <= tol::kParam) return std::nullopt;
        return std::vector<Curve>{closedPart(c, firstCut, lastCut)};
    }
    double lo = d.lo, hi = d.hi;
    for (double cut : cuts) {
        if (cut < t - tol::kParam && cut > lo) lo = cut;
        if (cut > t + tol::kParam && cut < hi) hi = cut;
    }
    if (lo == d.lo && hi == d.hi) return std::nullopt;
    std::vector<Curve> out;
    keepPiece(out, c, d.lo, lo);
    keepPiece(out, c, hi, d.hi);
    return out;
}

double CurveEnd::ahead(double t) const {
    if (std::holds_alternative<XLine>(carrier)) return (t - endParam) * direction;
    double a = wrapInto((t - endParam) * direction, kTwoPi);
    return a < room ? a : a - kTwoPi;
}

std::optional<CurveEnd> curveEnd(const Curve& c, bool atStart) {
    using R = std::optional<CurveEnd>;
    return std::visit(Overloaded{[&](const Segment& s) -> R {
                                     double len = dist(s.start, s.end);
                                     return lineEnd(s.start, unit(s.end - s.start),
                                                    atStart ? 0 : len, atStart ? -1 : 1);
                                 },
                                 [&](const Ray& r) -> R {
                                     if (!atStart) return std::nullopt;
                                     return lineEnd(r.base, r.dir, 0, -1);
                                 },
                                 [](const XLine&) -> R { return std::nullopt; },
                                 [&](const Arc& a) -> R { return arcEnd(a, atStart); },
                                 [](const Circle&) -> R { return std::nullopt; },
                                 [&](const Ellipse& e) -> R {
                                     if (isClosed(e)) return std::nullopt;
                                     double room = kTwoPi - (e.end - e.start);
                                     return CurveEnd{Ellipse{e.center, e.major, e.ratio, 0, kTwoPi},
                                                     atStart ? e.start : e.end, atStart ? -1 : 1,
                                                     room};
                                 },
                                 [&](const Nurbs& n) -> R { return splineEnd(n, atStart); },
                                 [&](const Polyline& p) -> R { return polylineEnd(p, atStart); }},
                      c);
}

bool nearerStart(const Curve& c, double t) {
    Interval d = domain(c);
    if (!std::isfinite(d.lo)) return false;
    if (!std::isfinite(d.hi)) return true;
    t = d.clamp(t);
    return lengthBetween(c, d.lo, t) < lengthBetween(c, t, d.hi);
}

std::optional<Crossing> nearestCrossingAhead(const CurveEnd& end, std::span<const Curve> boundaries,
                                             bool extendBoundaries) {
    Crossing best;
    for (const Curve& b : boundaries) {
        Intersections xs =
            intersect(end.carrier, b, extendBoundaries ? Extend::Both : Extend::First);
        for (const Hit& h : xs.hits) {
            double a = end.ahead(h.t1);
            if (a > tol::kParam && a < best.ahead) best = {a, h.point};
        }
    }
    if (!std::isfinite(best.ahead)) return std::nullopt;
    return best;
}

Extension extendToCrossing(const Curve& c, bool atStart, const CurveEnd& end, const Crossing& x) {
    return {extendBy(c, atStart, end, x.ahead), x.point};
}

std::optional<Extension> extendToBoundaries(const Curve& c, bool atStart,
                                            std::span<const Curve> boundaries,
                                            bool extendBoundaries) {
    std::optional<CurveEnd> end = curveEnd(c, atStart);
    if (!end) return std::nullopt;
    std::optional<Crossing> x = nearestCrossingAhead(*end, boundaries, extendBoundaries);
    if (!x) return std::nullopt;
    return extendToCrossing(c, atStart, *end, *x);
}

std::optional<Curve> lengthenEnd(const Curve& c, bool atStart, double delta) {
    if (isPeriodicCurve(c)) return std::nullopt;
    Interval d = domain(c);
    if (!d.isFinite()) return std::nullopt;
    double total = length(c);
    if (delta < 0) {
        if (-delta >= total - tol::kPoint) return std::nullopt;
        double t = paramAtLength(c, atStart ? -delta : total + delta);
        return atStart ? subCurve(c, t, d.hi) : subCurve(c, d.lo, t);
    }
    if (delta <= tol::kPoint) return c;
    std::optional<CurveEnd> end = curveEnd(c, atStart);
    if (!end) return std::nullopt;
    std::optional<double> t = paramAhead(*end, delta);
    if (!t) return std::nullopt;
    return extendBy(c, atStart, *end, (*t - end->endParam) * end->direction);
}

std::optional<double> deltaToPoint(const Curve& c, bool atStart, Vec2 p) {
    std::optional<CurveEnd> end = curveEnd(c, atStart);
    if (!end) return std::nullopt;
    double t = closest(end->carrier, p).param;
    double a = end->ahead(t);
    if (a >= 0) {
        return std::visit(Overloaded{[&](const XLine&) { return a; },
                                     [&](const Circle& ci) { return a * ci.radius; },
                                     [&](const auto&) {
                                         return std::abs(
                                             lengthBetween(end->carrier, end->endParam,
                                                           end->endParam + end->direction * a));
                                     }},
                          end->carrier);
    }
    // Behind the end: the length back along the curve to the point nearest p.
    Interval d = domain(c);
    double u = closest(c, p).param;
    return -(atStart ? lengthBetween(c, d.lo, u) : lengthBetween(c, u, d.hi));
}

} // namespace zel::geom
