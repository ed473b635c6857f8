// The smallest enclosing circle (see enclosing.h).
//
// The circle of an outline is the circle of a point set: the ends of its lines and arcs and,
// for an arc, the point farthest from the circle's centre when that point lies inside the
// arc's sweep. That point depends on the centre, so the point set grows: each round adds the
// farthest point of every arc that sticks out of the current circle and takes the circle of
// the points again. The distance to the added point agrees with the distance to the arc to
// second order around the current centre, so the rounds converge like Newton's method.
#include "draftedit/engines/enclosing.h"

#include "draftedit/engines/tolerances.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <random>

namespace draftedit::engines {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Rounds of refinement before giving up; convergence needs a handful.
constexpr int kMaxRounds = 100;
// Fixed seed of the point shuffle: the same outline gives the same circle every time.
constexpr unsigned kShuffleSeed = 20260101;

double dist(Pt a, Pt b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

struct Solver {
    double slack = 0; // absolute slack of the inside test

    bool inside(const Circle& c, Pt p) const { return dist(c.centre, p) <= c.radius + slack; }

    static Circle diameter(Pt a, Pt b) {
        return {{(a.x + b.x) / 2, (a.y + b.y) / 2}, dist(a, b) / 2};
    }

    // The circle through three points; for (nearly) collinear points the widest diameter
    // circle, which then encloses all three.
    static Circle throughThree(Pt a, Pt b, Pt c) {
        const double bx = b.x - a.x, by = b.y - a.y, cx = c.x - a.x, cy = c.y - a.y;
        const double d = 2 * (bx * cy - by * cx);
        const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
        const double ux = (cy * b2 - by * c2) / d, uy = (bx * c2 - cx * b2) / d;
        if (d == 0 || !std::isfinite(ux) || !std::isfinite(uy)) {
            Circle best = diameter(a, b);
            for (Circle k : {diameter(a, c), diameter(b, c)})
                if (k.radius > best.radius) best = k;
            return best;
        }
        return {{a.x + ux, a.y + uy}, std::hypot(ux, uy)};
    }

    Circle smallest(std::vector<Pt>& pts) const {
        if (pts.empty()) return {};
        Circle c{pts[0], 0};
        for (size_t i = 1; i < pts.size(); ++i) {
            if (inside(c, pts[i])) continue;
            c = {pts[i], 0};
            for (size_t j = 0; j < i; ++j) {
                if (inside(c, pts[j])) continue;
                c = diameter(pts[i], pts[j]);
                for (size_t k = 0; k < j; ++k)
                    if (!inside(c, pts[k])) c = throughThree(pts[i], pts[j], pts[k]);
            }
        }
        return c;
    }
};

double largestMagnitude(std::span<const Pt> pts, std::span<const OutlineElement> elements) {
    double m = 0;
    for (Pt p : pts)
        m = std::max({m, std::fabs(p.x), std::fabs(p.y)});
    for (const OutlineElement& e : elements)
        m = std::max(m, std::fabs(e.radius));
    return m;
}

struct ArcSweep {
    Pt centre;
    double radius = 0, start = 0, sweep = 0; // sweep in (0, 2π]
};

void collect(std::span<const OutlineElement> elements, std::vector<Pt>& pts,
             std::vector<ArcSweep>& arcs) {
    for (const OutlineElement& e : elements) {
        const Pt c = e.centre;
        const double r = std::fabs(e.radius);
        switch (e.kind) {
        case OutlineElement::Kind::Line:
            pts.push_back(e.p1);
            pts.push_back(e.p2);
            break;
        case OutlineElement::Kind::Circle:
            pts.push_back({c.x + r, c.y});
            pts.push_back({c.x - r, c.y});
            arcs.push_back({c, r, 0, kTwoPi});
            break;
        case OutlineElement::Kind::Arc: {
            double end = e.end;
            if (e.start > end) end += kTwoPi;
            pts.push_back({c.x + r * std::cos(e.start), c.y + r * std::sin(e.start)});
            pts.push_back({c.x + r * std::cos(end), c.y + r * std::sin(end)});
            arcs.push_back({c, r, e.start, std::min(end - e.start, kTwoPi)});
            break;
        }
        }
    }
}

// The point of the arc farthest from p when it lies inside the sweep (else the farthest
// point is an end, which the point set holds already).
std::optional<Pt> farthestInside(const ArcSweep& a, Pt p) {
    const double dx = a.centre.x - p.x, dy = a.centre.y - p.y;
    const double d = std::hypot(dx, dy);
    if (!(d > 0)) return std::nullopt; // every point of the arc is as far as its ends
    const double ux = dx / d, uy = dy / d;
    const double sx = std::cos(a.start), sy = std::sin(a.start);
    double angle = std::atan2(sx * uy - sy * ux, sx * ux + sy * uy);
    if (angle < 0) angle += kTwoPi;
    if (angle > a.sweep) return std::nullopt;
    return Pt{a.centre.x + a.radius * ux, a.centre.y + a.radius * uy};
}

bool finite(const Circle& c) {
    return std::isfinite(c.centre.x) && std::isfinite(c.centre.y) && std::isfinite(c.radius);
}

} // namespace

Circle smallestCircleOfPoints(std::vector<Pt> points) {
    std::shuffle(points.begin(), points.end(), std::mt19937(kShuffleSeed));
    Solver solver;
    solver.slack = tol::kCircleRelative * largestMagnitude(points, {});
    return solver.smallest(points);
}

EnclosingResult smallestEnclosingCircle(std::span<const OutlineElement> elements) {
    EnclosingResult result;
    std::vector<Pt> pts;
    std::vector<ArcSweep> arcs;
    collect(elements, pts, arcs);
    if (pts.empty()) return result;
    const double scale = largestMagnitude(pts, elements);
    if (!std::isfinite(scale)) {
        result.status = EnclosingResult::Status::NoConvergence;
        return result;
    }
    Solver solver;
    solver.slack = tol::kCircleRelative * scale;
    std::shuffle(pts.begin(), pts.end(), std::mt19937(kShuffleSeed));
    for (result.rounds = 1; result.rounds <= kMaxRounds; ++result.rounds) {
        const Circle c = solver.smallest(pts);
        if (!finite(c)) break;
        size_t added = 0;
        for (const ArcSweep& a : arcs) {
            std::optional<Pt> far = farthestInside(a, c.centre);
            if (far &&
                dist(*far, c.centre) > c.radius + tol::kCircleRefine * scale + solver.slack) {
                pts.push_back(*far);
                ++added;
            }
        }
        if (added > 0) {
            // New points go in front: the circle is rebuilt around them first.
            std::rotate(pts.begin(), pts.end() - static_cast<std::ptrdiff_t>(added), pts.end());
            continue;
        }
        result.circle = c;
        result.status = c.radius > solver.slack ? EnclosingResult::Status::Found
                                                : EnclosingResult::Status::TooFewPoints;
        return result;
    }
    result.status = EnclosingResult::Status::NoConvergence;
    return result;
}

} // namespace draftedit::engines
