#include "db/ents/nurbs.h"

#include "core/tolerance.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <limits>

namespace zel::db::curve {

namespace {

// Five-point Gauss-Legendre rule on [-1, 1].
constexpr std::array<double, 5> kGaussNodes = {-0.9061798459386640, -0.5384693101056831, 0.0,
                                               0.5384693101056831, 0.9061798459386640};
constexpr std::array<double, 5> kGaussWeights = {0.2369268850561891, 0.4786286704993665,
                                                 0.5688888888888889, 0.4786286704993665,
                                                 0.2369268850561891};
constexpr int kMaxQuadratureDepth = 24;
constexpr int kMaxNewtonSteps = 50;
constexpr int kBisectionSteps = 80;

// Index k of the knot span [U[k], U[k+1]) holding u, with degree <= k < count of points,
// and the span never empty.
int findSpan(const std::vector<double>& U, int p, int n, double u) {
    auto first = U.begin() + p;
    auto last = U.begin() + n + 1;
    int k = int(std::upper_bound(first, last, u) - U.begin()) - 1;
    k = std::clamp(k, p, n - 1);
    while (k > p && U[k] == U[k + 1])
        --k;
    return k;
}

// The p + 1 basis functions of degree p that are not zero on span k, at u.
std::vector<double> basisFunctions(const std::vector<double>& U, int p, int k, double u) {
    std::vector<double> N(p + 1, 0.0), left(p + 1), right(p + 1);
    N[0] = 1;
    for (int j = 1; j <= p; ++j) {
        left[j] = u - U[k + 1 - j];
        right[j] = U[k + j] - u;
        double saved = 0;
        for (int r = 0; r < j; ++r) {
            double denominator = right[r + 1] + left[j - r];
            double term = denominator != 0 ? N[r] / denominator : 0;
            N[r] = saved + right[r + 1] * term;
            saved = left[j - r] * term;
        }
        N[j] = saved;
    }
    return N;
}

double gauss(const Nurbs& c, double a, double b) {
    double half = (b - a) / 2, mid = (a + b) / 2, sum = 0;
    for (size_t i = 0; i < kGaussNodes.size(); ++i)
        sum += kGaussWeights[i] * c.firstDeriv(mid + half * kGaussNodes[i]).length();
    return sum * half;
}

double adaptiveLength(const Nurbs& c, double a, double b, double whole, int depth) {
    double mid = (a + b) / 2;
    double left = gauss(c, a, mid), right = gauss(c, mid, b);
    double accuracy = std::max(tol::kPoint, whole * 64 * std::numeric_limits<double>::epsilon());
    if (depth >= kMaxQuadratureDepth || std::fabs(left + right - whole) <= accuracy)
        return left + right;
    return adaptiveLength(c, a, mid, left, depth + 1) + adaptiveLength(c, mid, b, right, depth + 1);
}

// Solves A x = b in place for each of the three columns of b (Gaussian elimination with
// partial pivoting). False when A is singular.
bool solve(std::vector<std::vector<double>>& A, std::vector<AcGePoint3d>& b) {
    int n = int(A.size());
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::fabs(A[r][col]) > std::fabs(A[pivot][col])) pivot = r;
        if (std::fabs(A[pivot][col]) < std::numeric_limits<double>::min()) return false;
        std::swap(A[pivot], A[col]);
        std::swap(b[pivot], b[col]);
        for (int r = col + 1; r < n; ++r) {
            double f = A[r][col] / A[col][col];
            if (f == 0) continue;
            for (int c = col; c < n; ++c)
                A[r][c] -= f * A[col][c];
            b[r] = b[r] - b[col].asVector() * f;
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        AcGeVector3d v = b[r].asVector();
        for (int c = r + 1; c < n; ++c)
            v -= b[c].asVector() * A[r][c];
        b[r] = AcGePoint3d::kOrigin + v / A[r][r];
    }
    return true;
}

} // namespace

Nurbs::Homogeneous Nurbs::Piece::eval(double u) const {
    int n = int(points.size());
    if (n == 0) return {};
    if (degree == 0) {
        int k = std::clamp(
            int(std::upper_bound(knots.begin(), knots.begin() + n, u) - knots.begin()) - 1, 0,
            n - 1);
        return points[k];
    }
    int p = degree;
    int k = findSpan(knots, p, n, u);
    std::vector<Homogeneous> d(points.begin() + (k - p), points.begin() + (k + 1));
    for (int r = 1; r <= p; ++r) {
        for (int j = p; j >= r; --j) {
            double lo = knots[j + k - p], hi = knots[j + 1 + k - r];
            double alpha = hi != lo ? (u - lo) / (hi - lo) : 0;
            d[j].x = (1 - alpha) * d[j - 1].x + alpha * d[j].x;
            d[j].y = (1 - alpha) * d[j - 1].y + alpha * d[j].y;
            d[j].z = (1 - alpha) * d[j - 1].z + alpha * d[j].z;
            d[j].w = (1 - alpha) * d[j - 1].w + alpha * d[j].w;
        }
    }
    return d[p];
}

Nurbs::Piece Nurbs::Piece::derivative() const {
    Piece d;
    if (degree == 0 || points.size() < 2) {
        d.degree = 0;
        d.knots = knots;
        d.points.assign(points.size(), Homogeneous{});
        return d;
    }
    d.degree = degree - 1;
    d.knots.assign(knots.begin() + 1, knots.end() - 1);
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        double span = knots[i + degree + 1] - knots[i + 1];
        double f = span > 0 ? degree / span : 0;
        const Homogeneous &a = points[i], &b = points[i + 1];
        d.points.push_back({(b.x - a.x) * f, (b.y - a.y) * f, (b.z - a.z) * f, (b.w - a.w) * f});
    }
    return d;
}

std::optional<Nurbs> Nurbs::make(int degree, std::vector<double> knots,
                                 const std::vector<AcGePoint3d>& controlPoints,
                                 const std::vector<double>& weights, std::string* why) {
    auto fail = [&](const char* reason) -> std::optional<Nurbs> {
        if (why) *why = reason;
        return std::nullopt;
    };
    int n = int(controlPoints.size());
    if (degree < 1) return fail("the degree of a spline must be at least 1");
    if (n < degree + 1) return fail("a spline needs more control points than its degree");
    if (int(knots.size()) != n + degree + 1)
        return fail("the knot count of a spline must be the control point count + degree + 1");
    if (!std::is_sorted(knots.begin(), knots.end()))
        return fail("the knots of a spline must not decrease");
    if (!weights.empty() && int(weights.size()) != n)
        return fail("a rational spline needs one weight per control point");
    for (double w : weights)
        if (!(w > 0)) return fail("the weights of a spline must be positive");
    if (!(knots[n] > knots[degree])) return fail("the knots of a spline leave no domain");
    Nurbs c;
    c.mDegree = degree;
    c.mKnots = std::move(knots);
    c.mCurve.degree = degree;
    c.mCurve.knots = c.mKnots;
    for (int i = 0; i < n; ++i) {
        double w = weights.empty() ? 1.0 : weights[i];
        const AcGePoint3d& p = controlPoints[i];
        c.mCurve.points.push_back({p.x * w, p.y * w, p.z * w, w});
    }
    c.buildDerivatives();
    return c;
}

void Nurbs::buildDerivatives() {
    mFirst = mCurve.derivative();
    mSecond = mFirst.derivative();
}

std::vector<AcGePoint3d> Nurbs::controlPoints() const {
    std::vector<AcGePoint3d> out;
    for (const Homogeneous& h : mCurve.points)
        out.emplace_back(h.x / h.w, h.y / h.w, h.z / h.w);
    return out;
}

std::vector<double> Nurbs::weights() const {
    std::vector<double> out;
    for (const Homogeneous& h : mCurve.points)
        out.push_back(h.w);
    return out;
}

AcGePoint3d Nurbs::point(double u) const {
    Homogeneous h = mCurve.eval(std::clamp(u, startParam(), endParam()));
    return {h.x / h.w, h.y / h.w, h.z / h.w};
}

void Nurbs::derivs(double u, AcGePoint3d& point, AcGeVector3d& d1, AcGeVector3d& d2) const {
    u = std::clamp(u, startParam(), endParam());
    Homogeneous a = mCurve.eval(u), a1 = mFirst.eval(u), a2 = mSecond.eval(u);
    AcGeVector3d c(a.x / a.w, a.y / a.w, a.z / a.w);
    AcGeVector3d A1(a1.x, a1.y, a1.z), A2(a2.x, a2.y, a2.z);
    AcGeVector3d c1 = (A1 - c * a1.w) / a.w;
    AcGeVector3d c2 = (A2 - c1 * (2 * a1.w) - c * a2.w) / a.w;
    point = AcGePoint3d::kOrigin + c;
    d1 = c1;
    d2 = c2;
}

AcGeVector3d Nurbs::firstDeriv(double u) const {
    u = std::clamp(u, startParam(), endParam());
    Homogeneous a = mCurve.eval(u), a1 = mFirst.eval(u);
    AcGeVector3d c(a.x / a.w, a.y / a.w, a.z / a.w);
    return (AcGeVector3d(a1.x, a1.y, a1.z) - c * a1.w) / a.w;
}

std::vector<double> Nurbs::spanBreaks() const {
    std::vector<double> breaks;
    for (double k : mKnots)
        if (k >= startParam() && k <= endParam() && (breaks.empty() || k > breaks.back()))
            breaks.push_back(k);
    return breaks;
}

double Nurbs::length(double u0, double u1) const {
    u0 = std::clamp(u0, startParam(), endParam());
    u1 = std::clamp(u1, startParam(), endParam());
    if (u1 <= u0) return 0;
    double total = 0;
    std::vector<double> breaks = spanBreaks();
    for (size_t i = 0; i + 1 < breaks.size(); ++i) {
        double a = std::max(u0, breaks[i]), b = std::min(u1, breaks[i + 1]);
        if (b > a) total += adaptiveLength(*this, a, b, gauss(*this, a, b), 0);
    }
    return total;
}

double Nurbs::paramAtLength(double dist) const {
    if (dist <= 0) return startParam();
    std::vector<double> breaks = spanBreaks();
    double done = 0;
    for (size_t i = 0; i + 1 < breaks.size(); ++i) {
        double a = breaks[i], b = breaks[i + 1];
        double spanLength = length(a, b);
        if (done + spanLength < dist && i + 2 < breaks.size()) {
            done += spanLength;
            continue;
        }
        // Newton steps on the arc length inside [a, b], kept in a shrinking bracket.
        double target = dist - done, lo = a, hi = b;
        double u = spanLength > 0 ? a + (b - a) * std::clamp(target / spanLength, 0.0, 1.0) : a;
        for (int step = 0; step < kMaxNewtonSteps; ++step) {
            double err = length(a, u) - target;
            if (std::fabs(err) <= tol::kPoint) break;
            (err > 0 ? hi : lo) = u;
            double speed = firstDeriv(u).length();
            double next = speed > 0 ? u - err / speed : (lo + hi) / 2;
            u = (next > lo && next < hi) ? next : (lo + hi) / 2;
        }
        return u;
    }
    return endParam();
}

double Nurbs::newtonClosest(const AcGePoint3d& q, double u) const {
    double best = u, bestDist = point(u).distanceTo(q);
    for (int step = 0; step < kMaxNewtonSteps; ++step) {
        AcGePoint3d p;
        AcGeVector3d d1, d2;
        derivs(u, p, d1, d2);
        AcGeVector3d r = p - q;
        double f = d1.dotProduct(r);
        double fp = d2.dotProduct(r) + d1.dotProduct(d1);
        if (fp <= 0) fp = d1.dotProduct(d1); // away from a minimum: a Gauss-Newton step
        if (fp <= 0) break;
        double next = std::clamp(u - f / fp, startParam(), endParam());
        double moved = std::fabs(next - u) * d1.length();
        u = next;
        double d = point(u).distanceTo(q);
        if (d < bestDist) best = u, bestDist = d;
        if (moved <= tol::kPoint) break;
    }
    return best;
}

double Nurbs::closestParam(const AcGePoint3d& q) const {
    std::vector<double> breaks = spanBreaks();
    const int samples = 4 * (mDegree + 1);
    double best = startParam(), bestDist = point(best).distanceTo(q);
    for (size_t i = 0; i + 1 < breaks.size(); ++i) {
        double a = breaks[i], b = breaks[i + 1], seed = a, seedDist = point(a).distanceTo(q);
        for (int s = 1; s <= samples; ++s) {
            double u = a + (b - a) * s / samples;
            double d = point(u).distanceTo(q);
            if (d < seedDist) seed = u, seedDist = d;
        }
        double u = newtonClosest(q, seed);
        double d = point(u).distanceTo(q);
        if (d < bestDist) best = u, bestDist = d;
    }
    return best;
}

AcDbExtents Nurbs::extents() const {
    AcDbExtents ext;
    std::vector<double> breaks = spanBreaks();
    const int samples = 4 * (mDegree + 1);
    for (size_t i = 0; i + 1 < breaks.size(); ++i) {
        double a = breaks[i], b = breaks[i + 1];
        double prevU = a;
        AcGeVector3d prevD = firstDeriv(a);
        ext.addPoint(point(a));
        for (int s = 1; s <= samples; ++s) {
            double u = a + (b - a) * s / samples;
            AcGeVector3d d = firstDeriv(u);
            ext.addPoint(point(u));
            for (int axis = 0; axis < 3; ++axis) {
                if ((prevD[axis] < 0) == (d[axis] < 0)) continue;
                // A turning point of this coordinate between the samples: bisect it.
                double lo = prevU, hi = u;
                bool loNegative = prevD[axis] < 0;
                for (int k = 0; k < kBisectionSteps && hi - lo > tol::kParam; ++k) {
                    double mid = (lo + hi) / 2;
                    ((firstDeriv(mid)[axis] < 0) == loNegative ? lo : hi) = mid;
                }
                ext.addPoint(point((lo + hi) / 2));
            }
            prevU = u, prevD = d;
        }
    }
    return ext;
}

std::optional<Nurbs> Nurbs::interpolate(const std::vector<AcGePoint3d>& fitPoints,
                                        const AcGeVector3d& startTangent,
                                        const AcGeVector3d& endTangent, std::string* why) {
    std::vector<AcGePoint3d> q;
    for (const AcGePoint3d& p : fitPoints)
        if (q.empty() || q.back().distanceTo(p) > tol::kPoint) q.push_back(p);
    if (q.size() < 2) {
        if (why) *why = "a spline needs at least two distinct fit points";
        return std::nullopt;
    }
    int last = int(q.size()) - 1;
    double chord = 0;
    for (int i = 1; i <= last; ++i)
        chord += q[i].distanceTo(q[i - 1]);
    std::vector<double> ubar(q.size(), 0.0);
    for (int i = 1; i <= last; ++i)
        ubar[i] = ubar[i - 1] + q[i].distanceTo(q[i - 1]) / chord;
    ubar[last] = 1;

    bool hasStart = !startTangent.isZeroLength(), hasEnd = !endTangent.isZeroLength();
    // Parameters with the ends repeated where a tangent adds a control point.
    std::vector<double> t;
    if (hasStart) t.push_back(0);
    t.insert(t.end(), ubar.begin(), ubar.end());
    if (hasEnd) t.push_back(1);
    int n = int(t.size());
    int p = std::min(3, n - 1);
    std::vector<double> U(p + 1, 0.0);
    for (int j = 1; j <= n - p - 1; ++j) {
        double sum = 0;
        for (int i = j; i < j + p; ++i)
            sum += t[i];
        U.push_back(sum / p);
    }
    U.insert(U.end(), p + 1, 1.0);

    std::vector<std::vector<double>> A;
    std::vector<AcGePoint3d> b;
    auto interpolationRow = [&](int k) {
        std::vector<double> row(n, 0.0);
        int span = findSpan(U, p, n, ubar[k]);
        std::vector<double> N = basisFunctions(U, p, span, ubar[k]);
        for (int i = 0; i <= p; ++i)
            row[span - p + i] = N[i];
        A.push_back(row);
        b.push_back(q[k]);
    };
    auto tangentRow = [&](int i0, double f, const AcGeVector3d& tangent) {
        std::vector<double> row(n, 0.0);
        row[i0] = -f, row[i0 + 1] = f;
        A.push_back(row);
        b.push_back(AcGePoint3d::kOrigin + tangent.normal() * chord);
    };
    interpolationRow(0);
    if (hasStart) tangentRow(0, p / U[p + 1], startTangent);
    for (int k = 1; k < last; ++k)
        interpolationRow(k);
    if (hasEnd) tangentRow(n - 2, p / (1 - U[U.size() - p - 2]), endTangent);
    interpolationRow(last);
    if (!solve(A, b)) {
        if (why) *why = "the fit points of the spline give no curve";
        return std::nullopt;
    }
    return make(p, std::move(U), b, {}, why);
}

} // namespace zel::db::curve
