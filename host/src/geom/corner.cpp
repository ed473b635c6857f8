// Fillets and chamfers. Each curve keeps the part its pick is on: the direction in which that
// part leaves the corner point decides which end of the curve moves there; the end moves
// along the curve's carrier (a line, a circle), trimming or extending it. An end that would
// have to move past the curve's far end means the corner does not fit.
#include "geom/corner.h"

#include "core/tolerance.h"
#include "geom/bulge.h"
#include "geom/closest.h"
#include "geom/intersect.h"
#include "geom/tangent.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace zel::geom {

namespace {

bool isLineLike(const Curve& c) {
    return std::holds_alternative<Segment>(c) || std::holds_alternative<Ray>(c) ||
           std::holds_alternative<XLine>(c);
}

bool isFilletKind(const Curve& c) {
    return isLineLike(c) || std::holds_alternative<Arc>(c) || std::holds_alternative<Circle>(c);
}

Vec2 lineDirection(const Curve& c) {
    assert(isLineLike(c) && "lineDirection: a line is needed");
    return std::get<XLine>(carrier(c)).dir;
}

Corner failed(CornerError e) {
    Corner c;
    c.error = e;
    return c;
}

// The unit tangent of the curve's carrier at its point p.
Vec2 carrierTangent(const Curve& c, Vec2 p) {
    Curve cc = carrier(c);
    return tangentAt(cc, closest(cc, p).param);
}

// Which part of an arc's gap (the rest of its circle) an angle lies in: true when nearer the
// arc's start than its end.
bool nearerArcStart(const Arc& a, double angle) {
    double sweep = a.end - a.start;
    double past = wrapAngle(angle - a.start, 0) - sweep; // beyond the end, 0..gap
    return past > (kTwoPi - sweep) / 2;
}

// Room left on an arc when one end moves to `angle` and the other stays: positive when the
// new arc still runs the same way as the old one (the moved end did not pass the other).
bool arcEndFits(const Arc& a, double angle, bool atStart) {
    double sweep = a.end - a.start;
    double from = atStart ? wrapAngle(angle - a.start, 0) : wrapAngle(a.end - angle, 0);
    if (from <= sweep) return sweep - from > tol::kAngle;
    // On the gap: it has to be the extension past the end that moves.
    return atStart ? nearerArcStart(a, angle) : !nearerArcStart(a, angle);
}

// The curve with its start (atStart) or end moved to p on its carrier; nullopt when the end
// would pass the other end. Circles stay as they are.
std::optional<Curve> moveEnd(const Curve& c, Vec2 p, bool atStart) {
    using R = std::optional<Curve>;
    return std::visit(Overloaded{[&](const Segment& s) -> R {
                                     Vec2 d = s.end - s.start;
                                     double room =
                                         atStart ? dot(s.end - p, d) : dot(p - s.start, d);
                                     if (room / norm(d) <= tol::kPoint) return std::nullopt;
                                     return atStart ? Segment{p, s.end} : Segment{s.start, p};
                                 },
                                 [&](const Ray& r) -> R {
                                     if (atStart) return Ray{p, r.dir};
                                     if (dot(p - r.base, r.dir) <= tol::kPoint) return std::nullopt;
                                     return Segment{r.base, p};
                                 },
                                 [&](const XLine& l) -> R {
                                     return Ray{p, atStart ? l.dir : -l.dir};
                                 },
                                 [&](const Arc& a) -> R {
                                     double angle = angleOf(p - a.center);
                                     if (!arcEndFits(a, angle, atStart)) return std::nullopt;
                                     return atStart
                                                ? arcFromAngles(a.center, a.radius, angle, a.end)
                                                : arcFromAngles(a.center, a.radius, a.start, angle);
                                 },
                                 [&](const Circle& ci) -> R { return ci; },
                                 [&](const Ellipse&) -> R { return std::nullopt; },
                                 [&](const Nurbs&) -> R { return std::nullopt; },
                                 [&](const Polyline&) -> R { return std::nullopt; }},
                      c);
}

// The side of a corner at p whose kept part leaves p in direction k.
std::optional<CornerSide> sideLeaving(const Curve& c, Vec2 p, Vec2 k) {
    if (std::holds_alternative<Circle>(c)) return CornerSide{c, p, false, true};
    bool atStart = dot(carrierTangent(c, p), k) > 0;
    std::optional<Curve> moved = moveEnd(c, p, atStart);
    if (!moved) return std::nullopt;
    return CornerSide{*moved, p, atStart || std::holds_alternative<Ray>(*moved), false};
}

// The direction along a line from the corner towards the part holding the pick (towards the
// line's body when the pick is at the corner).
Vec2 towardsPick(const Curve& line, Vec2 corner, Vec2 pick) {
    Vec2 dir = lineDirection(line);
    double along = dot(pick - corner, dir);
    if (std::fabs(along) <= tol::kPoint) {
        Vec2 body = std::visit(Overloaded{[](const Segment& s) { return (s.start + s.end) / 2; },
                                          [](const Ray& r) { return r.base + r.dir; },
                                          [&](const auto&) { return corner + dir; }},
                               line);
        along = dot(body - corner, dir);
    }
    return along >= 0 ? dir : -dir;
}

// The side of a sharp corner at p: the part holding the pick is kept.
std::optional<CornerSide> sideAtCorner(const Curve& c, Vec2 p, Vec2 pick) {
    if (std::holds_alternative<Circle>(c)) return CornerSide{c, p, false, true};
    if (isLineLike(c)) return sideLeaving(c, p, towardsPick(c, p, pick));
    const Arc& a = std::get<Arc>(c);
    double corner = angleOf(p - a.center), picked = angleOf(pick - a.center);
    double sweep = a.end - a.start;
    bool atStart = wrapAngle(corner - a.start, 0) < sweep
                       ? wrapAngle(picked - corner, 0) < wrapAngle(a.end - corner, 0)
                       : nearerArcStart(a, corner);
    std::optional<Curve> moved = moveEnd(c, p, atStart);
    if (!moved) return std::nullopt;
    return CornerSide{*moved, p, atStart, false};
}

bool parallelLines(const Curve& a, const Curve& b) {
    return isLineLike(a) && isLineLike(b) &&
           std::fabs(cross(lineDirection(a), lineDirection(b))) <= tol::kParallel;
}

Corner sharpCorner(const Curve& a, Vec2 pick1, const Curve& b, Vec2 pick2) {
    const Hit* best = nullptr;
    double bestDistance = kInf;
    Intersections meet = intersect(a, b, Extend::Both);
    for (const Hit& h : meet.hits) {
        double d = dist(h.point, pick1) + dist(h.point, pick2);
        if (d < bestDistance) best = &h, bestDistance = d;
    }
    if (!best) return failed(CornerError::NoCorner);
    auto s1 = sideAtCorner(a, best->point, closest(carrier(a), pick1).point);
    auto s2 = sideAtCorner(b, best->point, closest(carrier(b), pick2).point);
    if (!s1 || !s2) return failed(CornerError::NoCorner);
    return Corner{CornerError::None, *s1, *s2, std::nullopt, true};
}

// Where a fillet starts on the first of two parallel lines, and the direction in which the
// first line's kept part leaves it: a segment's end nearer the pick, a ray's base, on a
// construction line the point of the pick.
std::pair<Vec2, Vec2> parallelStart(const Curve& a, Vec2 pick, const Curve& b) {
    Vec2 dir = lineDirection(a);
    if (auto* s = std::get_if<Segment>(&a)) {
        bool nearStart = dist(s->start, pick) <= dist(s->end, pick);
        return nearStart ? std::pair{s->start, dir} : std::pair{s->end, -dir};
    }
    if (auto* r = std::get_if<Ray>(&a)) return {r->base, dir};
    Vec2 foot = closest(a, pick).point;
    if (auto* r = std::get_if<Ray>(&b)) return {foot, dot(r->dir, dir) > 0 ? dir : -dir};
    if (auto* s = std::get_if<Segment>(&b)) {
        return {foot, dot((s->start + s->end) / 2 - foot, dir) >= 0 ? dir : -dir};
    }
    return {foot, dir};
}

// Two parallel lines: a half circle from the end of the first across to the second.
Corner parallelFillet(const Curve& a, Vec2 pick1, const Curve& b) {
    auto [t1, k] = parallelStart(a, pick1, b);
    Vec2 t2 = closest(carrier(b), t1).point;
    double gap = dist(t1, t2);
    if (gap <= tol::kPoint) return failed(CornerError::Parallel);
    Vec2 center = (t1 + t2) / 2;
    double a1 = angleOf(t1 - center), a2 = angleOf(t2 - center);
    bool fromFirst = dot(polar(a1 + kPi / 2), -k) > 0;
    Arc arc = arcFromAngles(center, gap / 2, fromFirst ? a1 : a2, (fromFirst ? a1 : a2) + kPi);
    auto s1 = sideLeaving(a, t1, k), s2 = sideLeaving(b, t2, k);
    if (!s1 || !s2) return failed(CornerError::NoCorner);
    return Corner{CornerError::None, *s1, *s2, Curve(arc), fromFirst};
}

// The sides a tangent arc leaves: each curve's kept part leaves its tangent point the way
// opposite to the arc's run from it.
std::optional<Corner> filletSides(const Curve& a, const Curve& b, const TangentArc& t) {
    Vec2 c = t.arc.center;
    Vec2 ccw1 = perp(unit(t.point1 - c)), ccw2 = perp(unit(t.point2 - c));
    Vec2 leave1 = t.fromFirst ? ccw1 : -ccw1; // along the arc from point 1 towards point 2
    Vec2 leave2 = t.fromFirst ? -ccw2 : ccw2;
    auto s1 = sideLeaving(a, t.point1, -leave1), s2 = sideLeaving(b, t.point2, -leave2);
    if (!s1 || !s2) return std::nullopt;
    return Corner{CornerError::None, *s1, *s2, Curve(t.arc), t.fromFirst};
}

// The point at distance d from the corner along a line towards its pick, and the kept side
// there; nullopt when d runs past the line's far end.
std::optional<CornerSide> chamferSide(const Curve& line, Vec2 corner, Vec2 pick, double d) {
    Vec2 k = towardsPick(line, corner, pick);
    double reach = std::visit(
        Overloaded{[&](const Segment& s) {
                       return std::max(dot(s.start - corner, k), dot(s.end - corner, k));
                   },
                   [&](const Ray& r) { return dot(r.dir, k) > 0 ? kInf : dot(r.base - corner, k); },
                   [&](const auto&) { return kInf; }},
        line);
    if (reach - d <= tol::kPoint) return std::nullopt;
    return sideLeaving(line, corner + k * d, k);
}

} // namespace

Corner fillet(const Curve& a, Vec2 pick1, const Curve& b, Vec2 pick2, double radius) {
    if (!isFilletKind(a) || !isFilletKind(b)) return failed(CornerError::NotSupported);
    if (!(radius >= 0) || !std::isfinite(radius)) return failed(CornerError::RadiusTooLarge);
    if (parallelLines(a, b)) return parallelFillet(a, pick1, b);
    if (radius <= tol::kPoint) return sharpCorner(a, pick1, b, pick2);
    std::vector<TangentArc> candidates = tangentArcs(a, b, radius);
    auto fits = [&](const TangentArc& t) { return filletSides(a, b, t).has_value(); };
    std::optional<TangentArc> chosen = chooseTangentArc(candidates, a, pick1, b, pick2, fits);
    if (!chosen) return failed(CornerError::RadiusTooLarge);
    return *filletSides(a, b, *chosen);
}

Corner chamfer(const Curve& a, Vec2 pick1, const Curve& b, Vec2 pick2, double d1, double d2) {
    if (!isLineLike(a) || !isLineLike(b)) return failed(CornerError::NotSupported);
    if (parallelLines(a, b)) return failed(CornerError::Parallel);
    if (!(d1 >= 0 && d2 >= 0) || !std::isfinite(d1) || !std::isfinite(d2))
        return failed(CornerError::DistanceTooLarge);
    if (d1 <= tol::kPoint && d2 <= tol::kPoint) return sharpCorner(a, pick1, b, pick2);
    Intersections meet = intersect(carrier(a), carrier(b));
    if (meet.hits.empty()) return failed(CornerError::NoCorner);
    Vec2 corner = meet.hits.front().point;
    auto s1 = chamferSide(a, corner, closest(carrier(a), pick1).point, d1);
    auto s2 = chamferSide(b, corner, closest(carrier(b), pick2).point, d2);
    if (!s1 || !s2) return failed(CornerError::DistanceTooLarge);
    std::optional<Curve> line;
    if (dist(s1->point, s2->point) > tol::kPoint) line = Segment{s1->point, s2->point};
    return Corner{CornerError::None, *s1, *s2, line, true};
}

Corner chamferByAngle(const Curve& a, Vec2 pick1, const Curve& b, Vec2 pick2, double d,
                      double angle) {
    if (!isLineLike(a) || !isLineLike(b)) return failed(CornerError::NotSupported);
    if (parallelLines(a, b)) return failed(CornerError::Parallel);
    Intersections meet = intersect(carrier(a), carrier(b));
    if (meet.hits.empty()) return failed(CornerError::NoCorner);
    Vec2 corner = meet.hits.front().point;
    Vec2 k1 = towardsPick(a, corner, closest(carrier(a), pick1).point);
    Vec2 k2 = towardsPick(b, corner, closest(carrier(b), pick2).point);
    // The triangle corner, first point, second point: its angle at the corner is the one
    // between the kept directions, at the first point the chamfer angle; the sine rule gives
    // the second distance.
    double atCorner = std::acos(std::clamp(dot(k1, k2), -1.0, 1.0));
    double atSecond = kPi - atCorner - angle;
    if (!(angle > tol::kAngle) || !(atSecond > tol::kAngle))
        return failed(CornerError::DistanceTooLarge);
    double d2 = d * std::sin(angle) / std::sin(atSecond);
    return chamfer(a, pick1, b, pick2, d, d2);
}

namespace {

// The bulge of a polyline segment changed into `curve`, running the way the old one ran.
double bulgeOfPiece(const Curve& curve, double oldBulge) {
    auto* arc = std::get_if<Arc>(&curve);
    if (!arc) return 0;
    return bulgeOfArc(*arc, oldBulge < 0);
}

// Whether the side moved the start of the polyline segment (its curve runs against the
// segment when the segment is a clockwise arc).
bool movesSegmentStart(const PolySegment& s, const CornerSide& side) {
    bool clockwise = isArc(s) && s.bulge < 0;
    return side.atStart != clockwise;
}

void dropRepeatedVertices(Polyline& p) {
    std::vector<BulgeVertex> out;
    for (const BulgeVertex& v : p.vertices) {
        if (!out.empty() && dist(out.back().point, v.point) <= tol::kPoint) {
            out.back().bulge = v.bulge;
            continue;
        }
        out.push_back(v);
    }
    if (p.closed && out.size() > 1 && dist(out.front().point, out.back().point) <= tol::kPoint)
        out.pop_back();
    p.vertices = std::move(out);
}

} // namespace

Polyline polylineWithSide(const Polyline& p, int i, const CornerSide& side) {
    assert(!p.closed && "polylineWithSide: an open polyline is needed");
    PolySegment s = segmentOf(p, i);
    double bulge = bulgeOfPiece(side.curve, s.bulge);
    Polyline out{{}, false};
    if (movesSegmentStart(s, side)) {
        out.vertices.push_back({side.point, bulge});
        out.vertices.insert(out.vertices.end(), p.vertices.begin() + i + 1, p.vertices.end());
    } else {
        out.vertices.assign(p.vertices.begin(), p.vertices.begin() + i + 1);
        out.vertices.back().bulge = bulge;
        out.vertices.push_back({side.point, 0});
    }
    dropRepeatedVertices(out);
    return out;
}

std::optional<Polyline> polylineWithCorner(const Polyline& p, int i, int j, const Corner& corner) {
    int n = segmentCount(p);
    if (i == j || i < 0 || j < 0 || i >= n || j >= n) return std::nullopt;
    const CornerSide* early = &corner.first;
    const CornerSide* late = &corner.second;
    bool firstIsEarly = true;
    if (j < i) std::swap(i, j), std::swap(early, late), firstIsEarly = false;
    Polyline q = p;
    if (p.closed && i == 0 && j == n - 1 && n > 2) {
        // The last segment runs into the first: turn the vertices so that it comes first.
        std::rotate(q.vertices.begin(), q.vertices.begin() + j, q.vertices.end());
        i = 0, j = 1;
        std::swap(early, late), firstIsEarly = !firstIsEarly;
    }
    PolySegment se = segmentOf(q, i), sl = segmentOf(q, j);
    if (movesSegmentStart(se, *early) || !movesSegmentStart(sl, *late)) return std::nullopt;
    Polyline out{{}, q.closed};
    out.vertices.assign(q.vertices.begin(), q.vertices.begin() + i + 1);
    out.vertices.back().bulge = bulgeOfPiece(early->curve, se.bulge);
    double jointBulge = 0;
    if (corner.joint) {
        if (auto* arc = std::get_if<Arc>(&*corner.joint))
            jointBulge = bulgeOfArc(*arc, corner.jointFromFirst != firstIsEarly);
        out.vertices.push_back({early->point, jointBulge});
    }
    out.vertices.push_back({late->point, bulgeOfPiece(late->curve, sl.bulge)});
    out.vertices.insert(out.vertices.end(), q.vertices.begin() + j + 1, q.vertices.end());
    dropRepeatedVertices(out);
    return out;
}

} // namespace zel::geom
