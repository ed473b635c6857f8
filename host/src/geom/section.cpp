// Section properties by Green's theorem: every integral over the area becomes one along the
// loops (area = the integral of x dy, first moments of x^2/2 dy and -y^2/2 dx, second moments
// of x^3/3 dy, -y^3/3 dx and x^2 y/2 dy), taken about the middle of the figure's box so that
// coordinates far from the origin lose no digits, then moved to the centroid.
#include "geom/section.h"

#include "geom/bulge.h"
#include "geom/quadrature.h"

#include <array>
#include <cmath>

namespace zel::geom {

namespace {

// Panels per turn of an arc or an ellipse: on an eighth of a half turn the rule integrates
// the cubic trigonometric integrands to the precision of a double.
constexpr double kPanelAngle = kPi / 8;
// Panels per knot span of a spline piece.
constexpr int kSplineSpanPanels = 2;

// The sums of one figure: area, first moments and second moments about the reference point.
struct Moments {
    double a = 0, sx = 0, sy = 0, ixx = 0, iyy = 0, ixy = 0;
    Moments& operator+=(const Moments& m) {
        a += m.a, sx += m.sx, sy += m.sy, ixx += m.ixx, iyy += m.iyy, ixy += m.ixy;
        return *this;
    }
};

// The parameter ranges of a piece on which its integrands are smooth, with their panels.
struct Span {
    double t0, t1;
    int panels;
};

std::vector<Span> spansOf(const Curve& c) {
    Interval d = domain(c);
    auto turns = [&](double span) {
        return Span{d.lo, d.hi, std::max(1, int(std::ceil(std::fabs(span) / kPanelAngle)))};
    };
    return std::visit(Overloaded{[&](const Segment&) {
                                     return std::vector<Span>{{d.lo, d.hi, 1}};
                                 },
                                 [&](const Ray&) { return std::vector<Span>{}; },
                                 [&](const XLine&) { return std::vector<Span>{}; },
                                 [&](const Arc&) { return std::vector<Span>{turns(d.span())}; },
                                 [&](const Circle&) { return std::vector<Span>{turns(d.span())}; },
                                 [&](const Ellipse&) { return std::vector<Span>{turns(d.span())}; },
                                 [&](const Nurbs& n) {
                                     std::vector<Span> out;
                                     double from = d.lo;
                                     for (double k : n.knots) {
                                         if (k <= from || k > d.hi) continue;
                                         out.push_back({from, k, kSplineSpanPanels});
                                         from = k;
                                     }
                                     if (from < d.hi)
                                         out.push_back({from, d.hi, kSplineSpanPanels});
                                     return out;
                                 },
                                 [&](const Polyline&) { return std::vector<Span>{}; }},
                      c);
}

Moments momentsOfPiece(const Curve& c, Vec2 ref) {
    Moments m;
    for (const Span& s : spansOf(c)) {
        auto along = [&](auto term) {
            return integratePanels(
                [&](double t) {
                    Vec2 p = pointAt(c, t) - ref;
                    return term(p, derivAt(c, t));
                },
                s.t0, s.t1, s.panels);
        };
        m.a += along([](Vec2 p, Vec2 d) { return p.x * d.y; });
        m.sx += along([](Vec2 p, Vec2 d) { return p.x * p.x / 2 * d.y; });
        m.sy += along([](Vec2 p, Vec2 d) { return -p.y * p.y / 2 * d.x; });
        m.iyy += along([](Vec2 p, Vec2 d) { return p.x * p.x * p.x / 3 * d.y; });
        m.ixx += along([](Vec2 p, Vec2 d) { return -p.y * p.y * p.y / 3 * d.x; });
        m.ixy += along([](Vec2 p, Vec2 d) { return p.x * p.x * p.y / 2 * d.y; });
    }
    return m;
}

// A piece as the curves the integrals run along (a polyline as its segments).
std::vector<Curve> partsOf(const Curve& c) {
    const auto* pl = std::get_if<Polyline>(&c);
    if (!pl) return {c};
    std::vector<Curve> out;
    for (int i = 0; i < segmentCount(*pl); ++i)
        out.push_back(curveOf(segmentOf(*pl, i)));
    return out;
}

Moments scaled(Moments m, double s) {
    m.a *= s, m.sx *= s, m.sy *= s, m.ixx *= s, m.iyy *= s, m.ixy *= s;
    return m;
}

} // namespace

SectionProperties sectionProperties(std::span<const Loop> loops) {
    Box2 box;
    for (const Loop& l : loops)
        box.add(loopBounds(l));
    Vec2 ref = box.isEmpty() ? Vec2{} : box.center();
    Moments sum;
    SectionProperties out;
    for (const Loop& l : loops) {
        for (const LoopEdge& e : l) {
            out.perimeter += length(e.curve);
            for (const Curve& part : partsOf(e.curve))
                sum += scaled(momentsOfPiece(part, ref), e.reversed ? -1 : 1);
        }
    }
    out.area = sum.a;
    if (sum.a == 0) {
        out.centroid = ref;
        return out;
    }
    Vec2 c{sum.sx / sum.a, sum.sy / sum.a}; // from the reference point
    out.centroid = ref + c;
    out.ixx = sum.ixx - sum.a * c.y * c.y;
    out.iyy = sum.iyy - sum.a * c.x * c.x;
    out.ixy = sum.ixy - sum.a * c.x * c.y;
    return out;
}

PrincipalMoments principalMoments(double ixx, double iyy, double ixy) {
    // The moment about the axis at angle a: mean + r cos(2a - phi).
    double mean = (ixx + iyy) / 2, half = (ixx - iyy) / 2;
    double r = std::hypot(half, ixy);
    double a = std::atan2(-ixy, half) / 2;
    PrincipalMoments p;
    p.greatest = mean + r;
    p.least = mean - r;
    p.greatestAxis = polar(a);
    p.leastAxis = perp(p.greatestAxis);
    return p;
}

} // namespace zel::geom
