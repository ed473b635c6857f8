// Seeded random curves of every kind for the kernel's property tests.
#pragma once

#include "geom/bulge.h"
#include "geom/curve2d.h"

#include <random>

namespace zel::geom::testing {

inline constexpr int kKindCount = 9; // the eight kinds, with elliptical arcs and full ellipses

class CurveRandom {
public:
    explicit CurveRandom(unsigned seed) : mRng(seed) {}

    double real(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(mRng);
    }
    int integer(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mRng); }
    bool coin() { return integer(0, 1) == 1; }
    Vec2 point(double r = 10) { return {real(-r, r), real(-r, r)}; }
    Vec2 direction() { return polar(real(0, kTwoPi)); }

    Segment segment() {
        Vec2 a = point();
        return {a, a + direction() * real(0.5, 15)};
    }
    Ray ray() { return {point(), direction()}; }
    XLine xline() { return {point(), direction()}; }
    Arc arc() { return arcFromAngles(point(), real(0.5, 8), real(0, kTwoPi), real(0, kTwoPi)); }
    Circle circle() { return {point(), real(0.5, 8)}; }
    Ellipse ellipse(bool full) {
        Vec2 major = direction() * real(1, 8);
        double ratio = real(0.2, 1);
        if (full) return {point(), major, ratio, 0, kTwoPi};
        return ellipseFromParams(point(), major, ratio, real(0, kTwoPi), real(0, kTwoPi));
    }
    // Clamped knots with random interior knots (some repeated) and, half the time, weights.
    Nurbs nurbs() {
        Nurbs n;
        n.degree = integer(1, 4);
        int count = n.degree + 1 + integer(0, 5);
        for (int i = 0; i < count; ++i) {
            n.points.push_back(point(8));
        }
        int interior = count - n.degree - 1;
        std::vector<double> inner;
        for (int i = 0; i < interior; ++i) {
            inner.push_back(real(0.05, 0.95));
        }
        std::sort(inner.begin(), inner.end());
        if (interior >= 2 && n.degree >= 2 && coin()) inner[1] = inner[0]; // a double knot
        double lo = real(-2, 2), span = real(0.5, 5);
        n.knots.assign(n.degree + 1, lo);
        for (double k : inner) {
            n.knots.push_back(lo + k * span);
        }
        n.knots.insert(n.knots.end(), n.degree + 1, lo + span);
        if (coin()) {
            for (int i = 0; i < count; ++i) {
                n.weights.push_back(real(0.5, 2));
            }
        }
        return n;
    }
    Polyline polyline() {
        Polyline p;
        int count = integer(2, 6);
        for (int i = 0; i < count; ++i) {
            double bulge = coin() ? 0 : real(-1.5, 1.5);
            p.vertices.push_back({point(), bulge});
        }
        p.closed = count > 2 && coin();
        return p;
    }

    Curve ofKind(int kind) {
        switch (kind) {
        case 0:
            return segment();
        case 1:
            return ray();
        case 2:
            return xline();
        case 3:
            return arc();
        case 4:
            return circle();
        case 5:
            return ellipse(false);
        case 6:
            return ellipse(true);
        case 7:
            return nurbs();
        case 8:
            return polyline();
        }
        return segment();
    }
    Curve any() { return ofKind(integer(0, kKindCount - 1)); }

    // A parameter inside the curve's range (within [-20, 20] on unbounded lines).
    double paramIn(const Curve& c) {
        Interval d = domain(c);
        return real(std::max(d.lo, -20.0), std::min(d.hi, 20.0));
    }

private:
    std::mt19937 mRng;
};

inline const char* kindName(const Curve& c) {
    static const char* names[] = {"segment", "ray",     "xline", "arc",
                                  "circle",  "ellipse", "nurbs", "polyline"};
    return names[c.index()];
}

// Points of the curve at n + 1 evenly spread parameters (unbounded lines cut to [-20, 20]) and
// at the knots of splines and the vertices of polylines, in order along the curve.
inline std::vector<Vec2> samples(const Curve& c, int n) {
    Interval d = domain(c);
    double lo = std::max(d.lo, -20.0), hi = std::min(d.hi, 20.0);
    std::vector<double> ts;
    for (int i = 0; i <= n; ++i) {
        ts.push_back(lo + (hi - lo) * i / n);
    }
    if (auto* s = std::get_if<Nurbs>(&c)) {
        for (double k : s->knots) {
            if (d.contains(k)) ts.push_back(k);
        }
    }
    if (std::holds_alternative<Polyline>(c)) {
        for (double v = 1; v < d.hi; ++v) {
            ts.push_back(v);
        }
    }
    std::sort(ts.begin(), ts.end());
    std::vector<Vec2> out;
    for (double t : ts) {
        out.push_back(pointAt(c, t));
    }
    return out;
}

} // namespace zel::geom::testing
