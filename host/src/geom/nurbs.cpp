// Non-uniform rational B-splines: de Boor evaluation of the homogeneous curve and of its
// derivative curves, Boehm knot insertion, and what is built on them.
#include "geom/nurbs.h"

#include "core/tolerance.h"
#include "geom/bezier.h"
#include "geom/quadrature.h"

#include <cassert>

namespace zel::geom {

namespace {

using Local = std::array<Vec3, kMaxNurbsDegree + 1>;

int lastIndex(const Nurbs& c) {
    return int(c.points.size()) - 1;
}

// findSpan over a knot vector of degree p with control points 0..n.
int spanOf(const std::vector<double>& U, int p, int n, double u) {
    if (u >= U[n + 1]) {
        int k = n;
        while (k > p && U[k] >= U[n + 1]) {
            --k;
        }
        return k;
    }
    if (u <= U[p]) {
        int k = p;
        while (k < n && U[k + 1] <= U[p]) {
            ++k;
        }
        return k;
    }
    return int(std::upper_bound(U.begin() + p, U.begin() + n + 1, u) - U.begin()) - 1;
}

// de Boor's triangle for the B-spline of degree q on span k whose local control points are
// d[0..q] and whose knots are c.knots shifted by r (the r-th derivative curve).
Vec3 deBoor(const Nurbs& c, Local d, int k, int q, int r, double u) {
    const auto& U = c.knots;
    int p = c.degree;
    for (int rho = 1; rho <= q; ++rho) {
        for (int j = q; j >= rho; --j) {
            double lo = U[j + k - p + r], hi = U[j + 1 + k - rho];
            double alpha = (u - lo) / (hi - lo);
            d[j] = lerp(d[j - 1], d[j], alpha);
        }
    }
    return d[q];
}

int multiplicity(const std::vector<double>& knots, double u) {
    return int(std::count(knots.begin(), knots.end(), u));
}

// u moved onto a knot within kParam of it, so that no sliver span is created.
double snapToKnot(const Nurbs& c, double u) {
    for (double k : c.knots) {
        if (std::fabs(k - u) <= tol::kParam) return k;
    }
    return u;
}

} // namespace

bool isRational(const Nurbs& c) {
    return !c.weights.empty();
}

std::vector<Vec3> homogeneousPoints(const Nurbs& c) {
    std::vector<Vec3> out;
    out.reserve(c.points.size());
    for (size_t i = 0; i < c.points.size(); ++i) {
        out.push_back(homogeneous(c.points[i], isRational(c) ? c.weights[i] : 1.0));
    }
    return out;
}

Nurbs fromHomogeneous(int degree, std::vector<double> knots, const std::vector<Vec3>& points,
                      bool rational) {
    Nurbs c{degree, std::move(knots), {}, {}};
    for (const Vec3& p : points) {
        c.points.push_back(p.project());
        if (rational) c.weights.push_back(p.w);
    }
    return c;
}

int findSpan(const Nurbs& c, double u) {
    return spanOf(c.knots, c.degree, lastIndex(c), u);
}

std::array<Vec3, 3> evalHomogeneous(const Nurbs& c, double u, int order) {
    assert(c.degree <= kMaxNurbsDegree && "evalHomogeneous: degree above the kernel's limit");
    const auto& U = c.knots;
    int p = c.degree, k = findSpan(c, u);
    u = domain(c).clamp(u);
    Local net{};
    for (int j = 0; j <= p; ++j) {
        const Vec2& pt = c.points[k - p + j];
        net[j] = homogeneous(pt, isRational(c) ? c.weights[k - p + j] : 1.0);
    }
    std::array<Vec3, 3> out{};
    for (int r = 0; r <= order && r <= p; ++r) {
        if (r > 0) {
            // The control points of the r-th derivative curve from those of the (r-1)-th.
            for (int j = 0; j <= p - r; ++j) {
                int i = k - p + j;
                net[j] = (net[j + 1] - net[j]) * ((p - r + 1) / (U[i + p + 1] - U[i + r]));
            }
        }
        out[r] = deBoor(c, net, k, p - r, r, u);
    }
    return out;
}

Nurbs insertKnot(const Nurbs& c, double u, int times) {
    std::vector<Vec3> P = homogeneousPoints(c);
    std::vector<double> U = c.knots;
    int p = c.degree;
    for (int t = 0; t < times; ++t) {
        int k = spanOf(U, p, int(P.size()) - 1, u);
        std::vector<Vec3> Q(P.size() + 1);
        for (int i = 0; i < int(Q.size()); ++i) {
            if (i <= k - p) {
                Q[i] = P[i];
            } else if (i > k) {
                Q[i] = P[i - 1];
            } else {
                double alpha = (u - U[i]) / (U[i + p] - U[i]);
                Q[i] = lerp(P[i - 1], P[i], alpha);
            }
        }
        U.insert(U.begin() + k + 1, u);
        P = std::move(Q);
    }
    return fromHomogeneous(p, std::move(U), P, isRational(c));
}

Nurbs subNurbs(const Nurbs& c, double a, double b) {
    int p = c.degree;
    a = snapToKnot(c, a);
    b = snapToKnot(c, b);
    Nurbs r = insertKnot(c, a, std::max(0, p - multiplicity(c.knots, a)));
    r = insertKnot(r, b, std::max(0, p - multiplicity(r.knots, b)));
    const auto& U = r.knots;
    int la = int(std::upper_bound(U.begin(), U.end(), a) - U.begin()) - 1;
    int fb = int(std::lower_bound(U.begin(), U.end(), b) - U.begin());
    std::vector<Vec3> P = homogeneousPoints(r);
    std::vector<Vec3> pts(P.begin() + (la - p), P.begin() + fb);
    std::vector<double> knots(p + 1, a);
    knots.insert(knots.end(), U.begin() + la + 1, U.begin() + fb);
    knots.insert(knots.end(), p + 1, b);
    return fromHomogeneous(p, std::move(knots), pts, isRational(c));
}

Nurbs reversedNurbs(const Nurbs& c) {
    Nurbs r = c;
    double sum = c.knots.front() + c.knots.back();
    for (size_t i = 0; i < c.knots.size(); ++i) {
        r.knots[i] = sum - c.knots[c.knots.size() - 1 - i];
    }
    std::reverse(r.points.begin(), r.points.end());
    std::reverse(r.weights.begin(), r.weights.end());
    return r;
}

Nurbs joinNurbs(const Nurbs& a, const Nurbs& b) {
    assert(a.degree == b.degree && "joinNurbs: pieces of different degrees");
    int p = a.degree;
    std::vector<Vec3> P = homogeneousPoints(a), Q = homogeneousPoints(b);
    double scale = P.back().w / Q.front().w; // the shared point keeps one weight
    for (size_t i = 1; i < Q.size(); ++i) {
        P.push_back(Q[i] * scale);
    }
    double shift = a.knots.back() - b.knots.front();
    std::vector<double> knots(a.knots.begin(), a.knots.end() - 1);
    for (size_t i = p + 1; i < b.knots.size(); ++i) {
        knots.push_back(b.knots[i] + shift);
    }
    return fromHomogeneous(p, std::move(knots), P, isRational(a) || isRational(b));
}

std::vector<BezierSpan> bezierSpans(const Nurbs& c) {
    Interval dom = domain(c);
    int p = c.degree;
    Nurbs r = subNurbs(c, dom.lo, dom.hi);
    std::vector<double> breaks;
    for (double k : r.knots) {
        if (k > dom.lo && k < dom.hi && (breaks.empty() || breaks.back() != k)) breaks.push_back(k);
    }
    for (double k : breaks) {
        r = insertKnot(r, k, std::max(0, p - multiplicity(r.knots, k)));
    }
    std::vector<Vec3> P = homogeneousPoints(r);
    std::vector<BezierSpan> out;
    for (size_t s = 0; s * p + p < P.size(); ++s) {
        BezierSpan span{{P.begin() + s * p, P.begin() + s * p + p + 1}, 0, 0};
        span.t0 = s == 0 ? dom.lo : breaks[s - 1];
        span.t1 = s < breaks.size() ? breaks[s] : dom.hi;
        out.push_back(std::move(span));
    }
    return out;
}

Interval domain(const Nurbs& c) {
    assert(c.knots.size() == c.points.size() + c.degree + 1 && "Nurbs: knots do not match");
    return {c.knots[c.degree], c.knots[c.points.size()]};
}

Vec2 pointAt(const Nurbs& c, double t) {
    return evalHomogeneous(c, t, 0)[0].project();
}

Vec2 derivAt(const Nurbs& c, double t) {
    auto h = evalHomogeneous(c, t, 1);
    Vec2 pt = h[0].project();
    return (h[1].xy() - pt * h[1].w) / h[0].w;
}

Vec2 deriv2At(const Nurbs& c, double t) {
    auto h = evalHomogeneous(c, t, 2);
    Vec2 pt = h[0].project();
    Vec2 d1 = (h[1].xy() - pt * h[1].w) / h[0].w;
    return (h[2].xy() - d1 * (2 * h[1].w) - pt * h[2].w) / h[0].w;
}

double lengthBetween(const Nurbs& c, double t0, double t1) {
    if (t0 > t1) return -lengthBetween(c, t1, t0);
    // Span by span: the curve is smooth inside a span, not across it.
    double total = 0;
    auto speed = [&](double t) { return norm(derivAt(c, t)); };
    for (double a = t0; a < t1;) {
        auto next = std::upper_bound(c.knots.begin(), c.knots.end(), a);
        double b = next == c.knots.end() ? t1 : std::min(t1, *next);
        total += integrate(speed, a, b, tol::kLengthRelative);
        a = b;
    }
    return total;
}

bool isClosed(const Nurbs& c) {
    Interval d = domain(c);
    return dist(pointAt(c, d.lo), pointAt(c, d.hi)) <= tol::kPoint;
}

Box2 bounds(const Nurbs& c) {
    Box2 box;
    std::vector<BezierPiece> pending;
    for (auto& piece : bezierPieces(c)) {
        box.add(piece.points.front().project()).add(piece.points.back().project());
        pending.push_back(std::move(piece));
    }
    // Refine only pieces whose control points reach out of the box found so far; their hull
    // shrinks onto the curve as they are halved.
    while (!pending.empty()) {
        BezierPiece piece = std::move(pending.back());
        pending.pop_back();
        Box2 hull = hullBox(piece);
        if (box.contains(hull)) continue;
        if (hull.diagonal() <= tol::kPoint) {
            box.add(hull);
            continue;
        }
        auto [left, right] = halve(piece);
        box.add(right.points.front().project());
        pending.push_back(std::move(left));
        pending.push_back(std::move(right));
    }
    return box;
}

} // namespace zel::geom
