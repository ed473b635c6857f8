// Rational Bezier pieces of the curve kinds and their subdivision.
#include "geom/bezier.h"

#include "geom/nurbs.h"

#include <cassert>

namespace zel::geom {

namespace {

BezierPiece linePiece(Vec2 a, Vec2 b, double t0, double t1) {
    return {{homogeneous(a, 1), homogeneous(b, 1)}, t0, t1, std::nullopt};
}

// Exact rational quadratic pieces of the arc [t0, t1] of an ellipse, a quarter turn at most.
std::vector<BezierPiece> conicPieces(const Ellipse& e, double t0, double t1) {
    int count = std::max(1, int(std::ceil((t1 - t0) / (kPi / 2))));
    std::vector<BezierPiece> out;
    double step = (t1 - t0) / count;
    Vec2 minor = perp(e.major) * e.ratio;
    for (int i = 0; i < count; ++i) {
        double a = t0 + i * step, b = i + 1 == count ? t1 : a + step, m = (a + b) / 2;
        double w = std::cos(step / 2);
        Vec2 mid = e.center + (e.major * std::cos(m) + minor * std::sin(m)) / w;
        out.push_back(
            {{homogeneous(pointAt(e, a), 1), homogeneous(mid, w), homogeneous(pointAt(e, b), 1)},
             a,
             b,
             e});
    }
    return out;
}

Ellipse asEllipse(const Arc& a) {
    return {a.center, {a.radius, 0}, 1, a.start, a.end};
}

// The parameters of the line p + t d inside the box (empty when it misses).
std::optional<Interval> clipLine(Vec2 p, Vec2 d, Interval range, const Box2& box) {
    if (box.isEmpty()) return std::nullopt;
    double lo = range.lo, hi = range.hi;
    for (int axis = 0; axis < 2; ++axis) {
        double pa = axis ? p.y : p.x, da = axis ? d.y : d.x;
        double bl = axis ? box.lo.y : box.lo.x, bh = axis ? box.hi.y : box.hi.x;
        if (da == 0) {
            if (pa < bl || pa > bh) return std::nullopt;
            continue;
        }
        double a = (bl - pa) / da, b = (bh - pa) / da;
        lo = std::max(lo, std::min(a, b));
        hi = std::min(hi, std::max(a, b));
    }
    if (lo > hi) return std::nullopt;
    return Interval{lo, hi};
}

std::vector<BezierPiece> clippedLine(Vec2 p, Vec2 d, Interval range, const Box2& clip) {
    auto r = clipLine(p, d, range, clip);
    if (!r) return {};
    return {linePiece(p + d * r->lo, p + d * r->hi, r->lo, r->hi)};
}

struct PiecesOf {
    const Box2& clip;
    std::vector<BezierPiece> operator()(const Segment& s) const {
        return {linePiece(s.start, s.end, 0, domain(s).hi)};
    }
    std::vector<BezierPiece> operator()(const Ray& r) const {
        return clippedLine(r.base, r.dir, domain(r), clip);
    }
    std::vector<BezierPiece> operator()(const XLine& l) const {
        return clippedLine(l.base, l.dir, domain(l), clip);
    }
    std::vector<BezierPiece> operator()(const Arc& a) const {
        return conicPieces(asEllipse(a), a.start, a.end);
    }
    std::vector<BezierPiece> operator()(const Circle& c) const {
        return conicPieces({c.center, {c.radius, 0}, 1}, 0, kTwoPi);
    }
    std::vector<BezierPiece> operator()(const Ellipse& e) const {
        return conicPieces(e, e.start, e.end);
    }
    std::vector<BezierPiece> operator()(const Nurbs& n) const {
        std::vector<BezierPiece> out;
        for (auto& span : bezierSpans(n)) {
            out.push_back({span.points, span.t0, span.t1, {}});
        }
        return out;
    }
    std::vector<BezierPiece> operator()(const Polyline&) const {
        assert(!"bezierPieces: split a polyline into its segments first");
        return {};
    }
};

} // namespace

Vec2 bezierPoint(const std::vector<Vec3>& points, double u) {
    std::vector<Vec3> p = points;
    for (size_t r = 1; r < p.size(); ++r) {
        for (size_t i = 0; i + r < p.size(); ++i) {
            p[i] = lerp(p[i], p[i + 1], u);
        }
    }
    return p[0].project();
}

Box2 hullBox(const BezierPiece& piece) {
    Box2 box;
    for (const Vec3& p : piece.points) {
        box.add(p.project());
    }
    return box;
}

double eccentricAngle(const Ellipse& e, Vec2 p) {
    Vec2 minor = perp(e.major) * e.ratio;
    Vec2 d = p - e.center;
    return angleOf({dot(d, e.major) / dot(e.major, e.major), dot(d, minor) / dot(minor, minor)});
}

double paramAt(const BezierPiece& piece, double u) {
    if (!piece.conic) return piece.t0 + (piece.t1 - piece.t0) * u;
    if (u <= 0) return piece.t0;
    if (u >= 1) return piece.t1;
    double a = eccentricAngle(*piece.conic, bezierPoint(piece.points, u));
    return nearestTurn(a, {piece.t0, piece.t1});
}

std::pair<BezierPiece, BezierPiece> halve(const BezierPiece& piece) {
    size_t n = piece.points.size();
    std::vector<Vec3> left(n), right(n), p = piece.points;
    for (size_t r = 0; r < n; ++r) {
        left[r] = p[0];
        right[n - 1 - r] = p[n - 1 - r];
        for (size_t i = 0; i + r + 1 < n; ++i) {
            p[i] = lerp(p[i], p[i + 1], 0.5);
        }
    }
    double tm = paramAt(piece, 0.5);
    return {BezierPiece{std::move(left), piece.t0, tm, piece.conic},
            BezierPiece{std::move(right), tm, piece.t1, piece.conic}};
}

std::vector<BezierPiece> bezierPieces(const Curve& c, const Box2& clip) {
    return std::visit(PiecesOf{clip}, c);
}

} // namespace zel::geom
