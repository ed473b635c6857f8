// Intersections: the carriers of the two curves are intersected (in closed form where there is
// one), then the hits are mapped to the curves' parameters, kept when they lie on the curves
// (or their extensions), merged and ordered. Polylines go segment by segment.
#include "geom/intersect.h"

#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/intersect_detail.h"

namespace zel::geom {

namespace {

using namespace detail;

bool extendsFirst(Extend e) {
    return e == Extend::First || e == Extend::Both;
}
bool extendsSecond(Extend e) {
    return e == Extend::Second || e == Extend::Both;
}

bool isConic(const Curve& c) {
    return std::holds_alternative<Circle>(c) || std::holds_alternative<Ellipse>(c);
}

Vec2 centerOf(const Curve& c) {
    if (auto* ci = std::get_if<Circle>(&c)) return ci->center;
    return std::get<Ellipse>(c).center;
}

// Two full conics that are one: eight points of one on the other (distinct conics share four
// points at most).
bool sameConic(const Curve& a, const Curve& b, double tol) {
    if (dist(centerOf(a), centerOf(b)) > tol) return false;
    for (int i = 0; i < 8; ++i) {
        if (closest(b, pointAt(a, i * kTwoPi / 8)).distance > tol) return false;
    }
    return true;
}

Intersections carriersMeet(const Curve& a, const Curve& b, double tol) {
    if (isConic(a) && isConic(b) &&
        !(std::holds_alternative<Circle>(a) && std::holds_alternative<Circle>(b))) {
        if (sameConic(a, b, tol)) return {{}, true};
    }
    return std::visit(
        Overloaded{
            [&](const XLine& x, const XLine& y) { return lineLine(x, y, tol); },
            [&](const XLine& x, const Circle& y) { return lineCircle(x, y, tol); },
            [&](const Circle& x, const XLine& y) { return swapped(lineCircle(y, x, tol)); },
            [&](const Circle& x, const Circle& y) { return circleCircle(x, y, tol); },
            [&](const XLine& x, const Ellipse& y) { return lineEllipse(x, y, tol); },
            [&](const Ellipse& x, const XLine& y) { return swapped(lineEllipse(y, x, tol)); },
            [&](const auto&, const auto&) { return numericIntersect(a, b, tol); }},
        a, b);
}

// The parameter t of c, or the end it is within tol of, or nullopt when it is off c.
std::optional<double> fitDomain(const Curve& c, double t, Vec2 point, double tol) {
    Interval d = domain(c);
    if (d.contains(t)) return t;
    double end = t < d.lo ? d.lo : d.hi;
    if (std::isfinite(end) && dist(pointAt(c, end), point) <= tol) return end;
    return std::nullopt;
}

// Whether parameters t and u of c name the same point p (not two passes through it).
bool sameSpot(const Curve& c, double t, double u, Vec2 p) {
    if (t == u || dist(pointAt(c, (t + u) / 2), p) <= tol::kHitMerge) return true;
    Interval d = domain(c);
    return isClosed(c) && dist(pointAt(c, d.lo), p) <= tol::kHitMerge;
}

void mergeAndSort(const Curve& a, const Curve& b, std::vector<Hit>& hits) {
    std::vector<Hit> out;
    for (const Hit& h : hits) {
        auto same = std::find_if(out.begin(), out.end(), [&](const Hit& o) {
            return dist(o.point, h.point) <= tol::kHitMerge && sameSpot(a, o.t1, h.t1, h.point) &&
                   sameSpot(b, o.t2, h.t2, h.point);
        });
        if (same == out.end()) {
            out.push_back(h);
        } else {
            same->kind = std::max(same->kind, h.kind);
        }
    }
    std::sort(out.begin(), out.end(),
              [](const Hit& x, const Hit& y) { return x.t1 != y.t1 ? x.t1 < y.t1 : x.t2 < y.t2; });
    hits = std::move(out);
}

// Parameters of the ends of a curve (none for closed or unbounded ones).
std::vector<double> endsOf(const Curve& c) {
    if (isClosed(c)) return {};
    Interval d = domain(c);
    std::vector<double> out;
    for (double t : {d.lo, d.hi}) {
        if (std::isfinite(t)) out.push_back(t);
    }
    return out;
}

// True when a and b share a stretch of positive length between the candidate parameters of a.
bool shareStretch(const Curve& a, const Curve& b, std::vector<double> ts, double tol) {
    Interval d = domain(a);
    double lo = ts.empty() ? 0 : *std::min_element(ts.begin(), ts.end());
    double hi = ts.empty() ? 0 : *std::max_element(ts.begin(), ts.end());
    ts.push_back(std::isfinite(d.lo) ? d.lo : lo - 1);
    ts.push_back(std::isfinite(d.hi) ? d.hi : hi + 1);
    std::sort(ts.begin(), ts.end());
    for (size_t i = 0; i + 1 < ts.size(); ++i) {
        if (ts[i + 1] - ts[i] <= tol::kParam) continue;
        if (closest(b, pointAt(a, (ts[i] + ts[i + 1]) / 2)).distance <= tol) return true;
    }
    return false;
}

// Where curves on a common carrier overlap: the ends of each that lie on the other.
Intersections overlapOf(const Curve& a, const Curve& b, const Curve& ua, const Curve& ub,
                        double tol) {
    Intersections r;
    for (double t : endsOf(ua)) {
        Vec2 p = pointAt(ua, t);
        Closest c = closest(ub, p);
        if (c.distance <= tol) {
            r.hits.push_back(
                {p, paramFromCarrier(a, t), paramFromCarrier(b, c.param), HitKind::OverlapEnd});
        }
    }
    for (double t : endsOf(ub)) {
        Vec2 p = pointAt(ub, t);
        Closest c = closest(ua, p);
        if (c.distance <= tol) {
            r.hits.push_back(
                {p, paramFromCarrier(a, c.param), paramFromCarrier(b, t), HitKind::OverlapEnd});
        }
    }
    mergeAndSort(a, b, r.hits);
    std::vector<double> ts;
    for (const Hit& h : r.hits) {
        ts.push_back(closest(ua, h.point).param);
    }
    r.overlap = shareStretch(ua, ub, ts, tol);
    if (!r.overlap) {
        for (Hit& h : r.hits) {
            h.kind = HitKind::Touch;
        }
    }
    return r;
}

Intersections polylineHits(const Polyline& p, const Curve& other, bool extendOther, double tol) {
    Intersections out;
    for (int i = 0; i < segmentCount(p); ++i) {
        PolySegment s = segmentOf(p, i);
        if (dist(s.a, s.b) <= tol::kPoint) continue;
        Intersections r =
            intersect(curveOf(s), other, extendOther ? Extend::Second : Extend::None, tol);
        for (Hit h : r.hits) {
            h.t1 = i + localParamAt(s, h.t1);
            out.hits.push_back(h);
        }
        out.overlap = out.overlap || r.overlap;
    }
    mergeAndSort(p, other, out.hits);
    return out;
}

} // namespace

Intersections intersect(const Curve& a, const Curve& b, Extend extend, double tol) {
    if (auto* p = std::get_if<Polyline>(&a)) return polylineHits(*p, b, extendsSecond(extend), tol);
    if (auto* p = std::get_if<Polyline>(&b)) {
        Intersections r = swapped(polylineHits(*p, a, extendsFirst(extend), tol));
        mergeAndSort(a, b, r.hits);
        return r;
    }
    bool ea = extendsFirst(extend) && isExtendable(a);
    bool eb = extendsSecond(extend) && isExtendable(b);
    Curve ca = carrier(a), cb = carrier(b);
    Intersections raw = carriersMeet(ca, cb, tol);
    if (raw.overlap) return overlapOf(a, b, ea ? ca : a, eb ? cb : b, tol);
    Intersections out;
    for (const Hit& h : raw.hits) {
        std::optional<double> t1 = paramFromCarrier(a, h.t1), t2 = paramFromCarrier(b, h.t2);
        if (!ea) t1 = fitDomain(a, *t1, h.point, tol);
        if (!eb) t2 = fitDomain(b, *t2, h.point, tol);
        if (t1 && t2) out.hits.push_back({h.point, *t1, *t2, h.kind});
    }
    mergeAndSort(a, b, out.hits);
    return out;
}

} // namespace zel::geom
