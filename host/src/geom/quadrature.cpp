// Adaptive Gauss-Legendre integration: a panel is accepted when the rule on the panel and the
// rule on its two halves agree to the requested share of the whole integral.
#include "geom/quadrature.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace zel::geom {

namespace {

constexpr int kOrder = 10;    // nodes of the rule on one panel
constexpr int kMaxDepth = 40; // halvings of a panel before its estimate is taken as it is

struct Rule {
    std::array<double, kOrder> node{}, weight{};
};

// Nodes and weights of the Gauss-Legendre rule on [-1, 1]: roots of the Legendre polynomial
// found by Newton's method from Chebyshev-like first guesses.
Rule makeRule() {
    Rule r;
    for (int i = 0; i < kOrder; ++i) {
        double x = std::cos(std::numbers::pi * (i + 0.75) / (kOrder + 0.5));
        double dp = 1;
        for (int iter = 0; iter < 100; ++iter) {
            double p0 = 1, p1 = x;
            for (int k = 2; k <= kOrder; ++k) {
                double pk = ((2 * k - 1) * x * p1 - (k - 1) * p0) / k;
                p0 = p1;
                p1 = pk;
            }
            dp = kOrder * (x * p1 - p0) / (x * x - 1);
            double step = p1 / dp;
            x -= step;
            if (std::fabs(step) <= 4 * std::numeric_limits<double>::epsilon()) break;
        }
        r.node[i] = x;
        r.weight[i] = 2 / ((1 - x * x) * dp * dp);
    }
    return r;
}

const Rule& rule() {
    static const Rule r = makeRule();
    return r;
}

double panel(const std::function<double(double)>& f, double a, double b) {
    const Rule& r = rule();
    double half = (b - a) / 2, mid = (a + b) / 2, sum = 0;
    for (int i = 0; i < kOrder; ++i) {
        sum += r.weight[i] * f(mid + half * r.node[i]);
    }
    return sum * half;
}

double adapt(const std::function<double(double)>& f, double a, double b, double whole,
             double absTol, int depth) {
    double m = (a + b) / 2;
    double left = panel(f, a, m), right = panel(f, m, b);
    if (std::fabs(left + right - whole) <= absTol || depth >= kMaxDepth) return left + right;
    return adapt(f, a, m, left, absTol / 2, depth + 1) +
           adapt(f, m, b, right, absTol / 2, depth + 1);
}

} // namespace

double integrate(const std::function<double(double)>& f, double a, double b, double relTol) {
    if (a == b) return 0;
    if (a > b) return -integrate(f, b, a, relTol);
    double whole = panel(f, a, b);
    // The tolerance is relative to the size of the integral; a coarse estimate sets it.
    double scale = std::fabs(whole);
    if (scale == 0) {
        scale = std::fabs(panel(f, a, (a + b) / 2)) + std::fabs(panel(f, (a + b) / 2, b));
    }
    return adapt(f, a, b, whole, relTol * scale, 0);
}

double integratePanels(const std::function<double(double)>& f, double a, double b, int panels) {
    if (panels < 1) panels = 1;
    double step = (b - a) / panels, sum = 0;
    for (int i = 0; i < panels; ++i)
        sum += panel(f, a + step * i, i + 1 == panels ? b : a + step * (i + 1));
    return sum;
}

} // namespace zel::geom
