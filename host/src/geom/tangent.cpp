// Tangent arcs: the centres of arcs of radius r tangent to a curve lie on its offsets by r
// (the lines beside a line, the circles of radius R + r and |R - r| about a circle), so the
// candidates are the intersections of the offsets of both curves.
#include "geom/tangent.h"

#include "core/tolerance.h"
#include "geom/closest.h"
#include "geom/intersect.h"

namespace zel::geom {

namespace {

// The carriers' offsets by r: one or two lines, or one or two circles.
std::vector<Curve> offsetsBy(const Curve& carrierCurve, double r) {
    std::vector<Curve> out;
    if (auto* l = std::get_if<XLine>(&carrierCurve)) {
        for (double side : {1.0, -1.0}) {
            out.push_back(XLine{l->base + perp(l->dir) * (side * r), l->dir});
        }
    } else if (auto* c = std::get_if<Circle>(&carrierCurve)) {
        out.push_back(Circle{c->center, c->radius + r});
        if (std::fabs(c->radius - r) > tol::kPoint) {
            out.push_back(Circle{c->center, std::fabs(c->radius - r)});
        }
    }
    return out;
}

bool isLineOrCircle(const Curve& c) {
    return std::holds_alternative<XLine>(c) || std::holds_alternative<Circle>(c);
}

// The point where the circle of radius r about `center` touches the carrier: on a circle the
// near or the far point from the centre (the far one when the arc holds the circle inside).
std::optional<Vec2> touchPoint(const Curve& carrierCurve, Vec2 center, double r) {
    if (auto* c = std::get_if<Circle>(&carrierCurve)) {
        double d = dist(center, c->center);
        if (d <= tol::kPoint) return std::nullopt;
        Vec2 u = (center - c->center) / d;
        bool far = std::fabs(d + c->radius - r) < std::fabs(std::fabs(d - c->radius) - r);
        return c->center + u * (far ? -c->radius : c->radius);
    }
    return closest(carrierCurve, center).point;
}

std::optional<TangentArc> arcAt(const Curve& a, const Curve& b, Vec2 center, double r) {
    auto p1 = touchPoint(carrier(a), center, r), p2 = touchPoint(carrier(b), center, r);
    if (!p1 || !p2 || dist(*p1, *p2) <= tol::kPoint) return std::nullopt;
    double a1 = angleOf(*p1 - center), a2 = angleOf(*p2 - center);
    double sweep = wrapAngle(a2 - a1, 0);
    bool fromFirst = sweep <= kPi;
    Arc arc = fromFirst ? Arc{center, r, a1, a1 + sweep} : Arc{center, r, a2, a2 + kTwoPi - sweep};
    return TangentArc{
        arc, fromFirst, *p1, *p2, closest(a, *p1, true).param, closest(b, *p2, true).param};
}

// True when no cut lies between carrier parameters t and u (on a circle: on one of the two
// ways round).
bool samePart(const Curve& carrierCurve, const std::vector<double>& cuts, double t, double u) {
    if (std::holds_alternative<Circle>(carrierCurve)) {
        auto clear = [&](double from, double to) {
            double span = wrapAngle(to - from, 0);
            return std::none_of(cuts.begin(), cuts.end(), [&](double c) {
                double s = wrapAngle(c - from, 0);
                return s > 0 && s < span;
            });
        };
        return clear(t, u) || clear(u, t);
    }
    return std::none_of(cuts.begin(), cuts.end(), [&](double c) { return (c - t) * (c - u) < 0; });
}

} // namespace

std::vector<TangentArc> tangentArcs(const Curve& a, const Curve& b, double radius) {
    Curve ca = carrier(a), cb = carrier(b);
    if (!isLineOrCircle(ca) || !isLineOrCircle(cb) || !(radius > tol::kPoint)) return {};
    std::vector<TangentArc> out;
    for (const Curve& oa : offsetsBy(ca, radius)) {
        for (const Curve& ob : offsetsBy(cb, radius)) {
            for (const Hit& h : intersect(oa, ob).hits) {
                if (auto arc = arcAt(a, b, h.point, radius)) out.push_back(*arc);
            }
        }
    }
    return out;
}

std::optional<TangentArc> chooseTangentArc(const std::vector<TangentArc>& candidates,
                                           const Curve& a, Vec2 pick1, const Curve& b, Vec2 pick2,
                                           const std::function<bool(const TangentArc&)>& accept) {
    Curve ca = carrier(a), cb = carrier(b);
    std::vector<double> cutsA, cutsB;
    for (const Hit& h : intersect(ca, cb).hits) {
        cutsA.push_back(h.t1);
        cutsB.push_back(h.t2);
    }
    double pickA = closest(ca, pick1).param, pickB = closest(cb, pick2).param;
    const TangentArc* best = nullptr;
    bool bestKept = false;
    double bestDistance = kInf;
    for (const TangentArc& c : candidates) {
        if (accept && !accept(c)) continue;
        bool kept = samePart(ca, cutsA, pickA, closest(ca, c.point1).param) &&
                    samePart(cb, cutsB, pickB, closest(cb, c.point2).param);
        double d = dist(c.point1, pick1) + dist(c.point2, pick2);
        if ((kept && !bestKept) || (kept == bestKept && d < bestDistance)) {
            best = &c;
            bestKept = kept;
            bestDistance = d;
        }
    }
    if (!best) return std::nullopt;
    return *best;
}

} // namespace zel::geom
