// Queries over any curve: dispatch to the kinds, lengths and carriers.
#include "geom/curve2d.h"

#include "core/tolerance.h"
#include "geom/bulge.h"
#include "geom/nurbs.h"

namespace zel::geom {

namespace {

// Parameters that cut the domain into pieces on which the curve is smooth.
std::vector<double> smoothBreaks(const Curve& c) {
    Interval d = domain(c);
    std::vector<double> out{d.lo};
    auto addInside = [&](double t) {
        if (t > out.back() && t < d.hi) out.push_back(t);
    };
    std::visit(Overloaded{[&](const Ellipse&) {
                              double q = std::floor(d.lo / (kPi / 2)) + 1;
                              for (; q * (kPi / 2) < d.hi; ++q) {
                                  addInside(q * (kPi / 2));
                              }
                          },
                          [&](const Nurbs& n) {
                              for (double k : n.knots) {
                                  addInside(k);
                              }
                          },
                          [&](const Polyline&) {
                              for (double i = 1; i < d.hi; ++i) {
                                  addInside(i);
                              }
                          },
                          [](const Segment&) {}, [](const Ray&) {}, [](const XLine&) {},
                          [](const Arc&) {}, [](const Circle&) {}},
               c);
    out.push_back(d.hi);
    return out;
}

// The parameter in [a, b] where the length from a reaches target (0 <= target <= length of
// [a, b]): Newton's method kept inside a shrinking bracket.
double solveLength(const Curve& c, double a, double b, double target, double pieceLength) {
    double lo = a, hi = b;
    double t = a + (b - a) * (pieceLength > 0 ? target / pieceLength : 0);
    for (int iter = 0; iter < 100; ++iter) {
        double f = lengthBetween(c, a, t) - target;
        if (std::fabs(f) <= tol::kLengthRelative * std::max(pieceLength, tol::kPoint)) break;
        (f < 0 ? lo : hi) = t;
        double speed = norm(derivAt(c, t));
        double next = speed > 0 ? t - f / speed : lo - 1;
        t = next > lo && next < hi ? next : (lo + hi) / 2;
        if (hi - lo <= tol::kParam * tol::kLengthRelative) break;
    }
    return t;
}

} // namespace

Interval domain(const Curve& c) {
    return std::visit([](const auto& k) { return domain(k); }, c);
}
Vec2 pointAt(const Curve& c, double t) {
    return std::visit([t](const auto& k) { return pointAt(k, t); }, c);
}
Vec2 derivAt(const Curve& c, double t) {
    return std::visit([t](const auto& k) { return derivAt(k, t); }, c);
}
Vec2 deriv2At(const Curve& c, double t) {
    return std::visit([t](const auto& k) { return deriv2At(k, t); }, c);
}
double lengthBetween(const Curve& c, double t0, double t1) {
    return std::visit([=](const auto& k) { return lengthBetween(k, t0, t1); }, c);
}
Box2 bounds(const Curve& c) {
    return std::visit([](const auto& k) { return bounds(k); }, c);
}
bool isClosed(const Curve& c) {
    return std::visit([](const auto& k) { return isClosed(k); }, c);
}

double length(const Curve& c) {
    Interval d = domain(c);
    return lengthBetween(c, d.lo, d.hi);
}

Vec2 startPoint(const Curve& c) {
    return pointAt(c, domain(c).lo);
}
Vec2 endPoint(const Curve& c) {
    return pointAt(c, domain(c).hi);
}
Vec2 tangentAt(const Curve& c, double t) {
    return unit(derivAt(c, t));
}

double paramAtLength(const Curve& c, double s) {
    Interval d = domain(c);
    if (!std::isfinite(d.hi)) return (std::isfinite(d.lo) ? d.lo : 0) + s; // rays and lines
    if (s <= 0) return d.lo;
    std::vector<double> breaks = smoothBreaks(c);
    double done = 0;
    for (size_t i = 0; i + 1 < breaks.size(); ++i) {
        double piece = lengthBetween(c, breaks[i], breaks[i + 1]);
        if (done + piece >= s) return solveLength(c, breaks[i], breaks[i + 1], s - done, piece);
        done += piece;
    }
    return d.hi;
}

double nearestTurn(double a, const Interval& range) {
    double r = wrapAngle(a, range.lo);
    if (r <= range.hi) return r;
    return r - range.hi <= range.lo - (r - kTwoPi) ? r : r - kTwoPi;
}

Curve carrier(const Curve& c) {
    return std::visit(Overloaded{[](const Segment& s) -> Curve {
                                     return XLine{s.start, unit(s.end - s.start)};
                                 },
                                 [](const Ray& r) -> Curve {
                                     return XLine{r.base, r.dir};
                                 },
                                 [](const Arc& a) -> Curve {
                                     return Circle{a.center, a.radius};
                                 },
                                 [](const Ellipse& e) -> Curve {
                                     return Ellipse{e.center, e.major, e.ratio};
                                 },
                                 [](const XLine& l) -> Curve { return l; },
                                 [](const Circle& k) -> Curve { return k; },
                                 [](const Nurbs& n) -> Curve { return n; },
                                 [](const Polyline& p) -> Curve { return p; }},
                      c);
}

bool isExtendable(const Curve& c) {
    return std::visit(
        Overloaded{[](const Segment&) { return true; }, [](const Ray&) { return true; },
                   [](const Arc&) { return true; }, [](const Ellipse& e) { return !isClosed(e); },
                   [](const XLine&) { return false; }, [](const Circle&) { return false; },
                   [](const Nurbs&) { return false; }, [](const Polyline&) { return false; }},
        c);
}

double paramFromCarrier(const Curve& c, double t) {
    auto turn = [&](const auto&) { return nearestTurn(t, domain(c)); };
    auto same = [&](const auto&) { return t; };
    return std::visit(
        Overloaded{
            [&](const Segment& k) { return same(k); }, [&](const Ray& k) { return same(k); },
            [&](const XLine& k) { return same(k); }, [&](const Arc& k) { return turn(k); },
            [&](const Circle& k) { return turn(k); }, [&](const Ellipse& k) { return turn(k); },
            [&](const Nurbs& k) { return same(k); }, [&](const Polyline& k) { return same(k); }},
        c);
}

} // namespace zel::geom
