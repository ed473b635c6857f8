// Circular segments (see arcsegment.h). Wide arcs use the closed forms; for shallow arcs
// those forms subtract nearly equal large terms (the centre lies far away), so the segment is
// integrated over the chord instead with the sagitta written without cancellation.
#include "draftedit/engines/arcsegment.h"

#include <array>
#include <cmath>
#include <numbers>

namespace draftedit::engines {
namespace {

// Below this included angle the quadrature is used: the nearest singularity of the sagitta
// lies at least twice the half-chord away, so the Gauss rule below converges to rounding.
constexpr double kShallowAngle = 1.0;
constexpr int kGaussPoints = 24;
// Newton's steps for the Gauss nodes end when they shrink to rounding of numbers near 1.
constexpr double kNodeStep = 1e-16;

struct GaussRule {
    std::array<double, kGaussPoints> nodes{};
    std::array<double, kGaussPoints> weights{};
};

// Gauss-Legendre nodes and weights on [-1, 1] by Newton's method on the Legendre polynomial.
GaussRule makeGaussRule() {
    GaussRule rule;
    constexpr int n = kGaussPoints;
    for (int i = 0; i < n; ++i) {
        double x = std::cos(std::numbers::pi * (i + 0.75) / (n + 0.5));
        double derivative = 1;
        for (int iteration = 0; iteration < 100; ++iteration) {
            double p0 = 1, p1 = x;
            for (int k = 2; k <= n; ++k) {
                double p2 = ((2.0 * k - 1) * x * p1 - (k - 1.0) * p0) / k;
                p0 = p1;
                p1 = p2;
            }
            derivative = n * (x * p1 - p0) / (x * x - 1);
            double step = p1 / derivative;
            x -= step;
            if (std::fabs(step) < kNodeStep) break;
        }
        rule.nodes[i] = x;
        rule.weights[i] = 2 / ((1 - x * x) * derivative * derivative);
    }
    return rule;
}

const GaussRule& gaussRule() {
    static const GaussRule rule = makeGaussRule();
    return rule;
}

ChordSegment closedForm(double chord, double theta) {
    const double half = theta / 2;
    const double r = chord / (2 * std::sin(half));
    const double sinT = std::sin(theta), cosT = std::cos(theta);
    const double sinH = std::sin(half), cosH = std::cos(half);
    const double r2 = r * r, r4 = r2 * r2;
    ChordSegment seg;
    seg.area = r2 / 2 * (theta - sinT);
    // Moments about the centre, then moved to the chord (the centre lies at v = -r cos(half)).
    const double centreFirst = 2.0 / 3.0 * r2 * r * sinH * sinH * sinH;
    const double centreSecond = r4 / 8 * (theta - sinT * cosT);
    const double offset = r * cosH;
    seg.momentAcross = centreFirst - offset * seg.area;
    seg.inertiaAcross = centreSecond - 2 * offset * centreFirst + offset * offset * seg.area;
    seg.inertiaAlong = r4 / 24 * (3 * theta - 4 * sinT + sinT * cosT);
    return seg;
}

ChordSegment integrated(double chord, double theta) {
    const double half = theta / 2;
    const double r = chord / (2 * std::sin(half));
    const double centreToChord = r * std::cos(half);
    const double halfChord = chord / 2;
    const GaussRule& rule = gaussRule();
    ChordSegment seg;
    for (int i = 0; i < kGaussPoints; ++i) {
        const double s = halfChord * rule.nodes[i];
        const double w = halfChord * rule.weights[i];
        // Height of the arc over the chord at s: sqrt(r² - s²) - sqrt(r² - halfChord²).
        const double g =
            (halfChord - s) * (halfChord + s) / (std::sqrt(r * r - s * s) + centreToChord);
        seg.area += w * g;
        seg.momentAcross += w * g * g / 2;
        seg.inertiaAcross += w * g * g * g / 3;
        seg.inertiaAlong += w * s * s * g;
    }
    return seg;
}

} // namespace

ChordSegment circularSegment(double chord, double theta) {
    if (!(chord > 0) || !(theta > 0)) return {};
    return theta < kShallowAngle ? integrated(chord, theta) : closedForm(chord, theta);
}

} // namespace draftedit::engines
