#include "db/curvegeom.h"

#include "core/tolerance.h"

#include <cmath>

namespace zel::db::geom {

double normalizeAngle(double a) {
    double r = std::fmod(a, kTwoPi);
    if (r < 0) r += kTwoPi;
    return r >= kTwoPi ? 0.0 : r;
}

double sweepBetween(double start, double end) {
    double s = normalizeAngle(end - start);
    return s <= tol::kAngle ? kTwoPi : s;
}

void planeAxes(const AcGeVector3d& normal, AcGeVector3d& xAxis, AcGeVector3d& yAxis) {
    AcGeMatrix3d m = AcGeMatrix3d::planeToWorld(normal);
    xAxis = m.apply(AcGeVector3d::kXAxis);
    yAxis = m.apply(AcGeVector3d::kYAxis);
}

bool scalesUniformly(const AcGeMatrix3d& m, const AcGeVector3d& xAxis, const AcGeVector3d& yAxis,
                     double& scale) {
    AcGeVector3d x = m.apply(xAxis), y = m.apply(yAxis);
    double lx = x.length(), ly = y.length();
    scale = lx;
    if (lx <= tol::kVectorLength || ly <= tol::kVectorLength) return false;
    if (std::fabs(lx - ly) > tol::kUniformScale * std::max(lx, ly)) return false;
    return std::fabs(x.dotProduct(y)) <= tol::kUniformScale * lx * ly;
}

namespace {

// 7-point Gauss-Legendre rule on [a, b].
double gauss7(const std::function<double(double)>& f, double a, double b) {
    static const double x[] = {0.0, 0.4058451513773972, 0.7415311855993945, 0.9491079123427585};
    static const double w[] = {0.4179591836734694, 0.3818300505051189, 0.2797053914892767,
                               0.1294849661688697};
    double h = (b - a) / 2, c = (a + b) / 2;
    double sum = w[0] * f(c);
    for (int i = 1; i < 4; ++i)
        sum += w[i] * (f(c - h * x[i]) + f(c + h * x[i]));
    return sum * h;
}

double adapt(const std::function<double(double)>& f, double a, double b, double whole, int depth) {
    double m = (a + b) / 2;
    double left = gauss7(f, a, m), right = gauss7(f, m, b);
    double scale = std::max(1.0, std::fabs(whole));
    if (depth <= 0 || std::fabs(left + right - whole) <= tol::kPoint * scale) return left + right;
    return adapt(f, a, m, left, depth - 1) + adapt(f, m, b, right, depth - 1);
}

} // namespace

double integrate(const std::function<double(double)>& f, double a, double b) {
    if (a == b) return 0;
    // Start from several pieces so that a peaked integrand is not mistaken for a flat one.
    const int pieces = 8;
    double sum = 0, step = (b - a) / pieces;
    for (int i = 0; i < pieces; ++i) {
        double lo = a + i * step, hi = i + 1 == pieces ? b : lo + step;
        sum += adapt(f, lo, hi, gauss7(f, lo, hi), 20);
    }
    return sum;
}

double minimize(const std::function<double(double)>& f, double a, double b, int samples) {
    double best = a, bestValue = f(a);
    double step = (b - a) / samples;
    for (int i = 1; i <= samples; ++i) {
        double t = i == samples ? b : a + i * step;
        double v = f(t);
        if (v < bestValue) best = t, bestValue = v;
    }
    double lo = std::max(a, best - step), hi = std::min(b, best + step);
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double c = hi - ratio * (hi - lo), d = lo + ratio * (hi - lo);
    double fc = f(c), fd = f(d);
    for (int i = 0; i < 200 && hi - lo > tol::kParam * std::max(1.0, std::fabs(hi)); ++i) {
        if (fc < fd) {
            hi = d, d = c, fd = fc;
            c = hi - ratio * (hi - lo), fc = f(c);
        } else {
            lo = c, c = d, fc = fd;
            d = lo + ratio * (hi - lo), fd = f(d);
        }
    }
    double t = (lo + hi) / 2;
    return f(t) <= bestValue ? t : best;
}

} // namespace zel::db::geom
