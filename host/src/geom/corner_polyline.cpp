#include "geom/corner_polyline.h"

#include "core/tolerance.h"
#include "geom/bulge.h"

namespace zel::geom {
namespace {

Vec2 middle(const PolySegment& s) {
    return (s.a + s.b) * 0.5;
}

// Two straight segments meeting at an angle (neither empty, not in line).
bool takesCorner(const PolySegment& s1, const PolySegment& s2) {
    if (isArc(s1) || isArc(s2)) return false;
    Vec2 d1 = s1.b - s1.a, d2 = s2.b - s2.a;
    double l1 = norm(d1), l2 = norm(d2);
    if (l1 <= tol::kPoint || l2 <= tol::kPoint) return false;
    return std::abs(cross(d1, d2)) / (l1 * l2) > tol::kSameDirection;
}

enum class Outcome { Made, TooShort, Left };

// The corner between segments i and j (j follows i) made in `p`.
Outcome cornerAt(Polyline& p, int i, int j, const SegmentCorner& corner) {
    PolySegment s1 = segmentOf(p, i), s2 = segmentOf(p, j);
    if (!takesCorner(s1, s2)) return Outcome::Left;
    Corner c = corner(curveOf(s1), middle(s1), curveOf(s2), middle(s2));
    if (c.error == CornerError::RadiusTooLarge || c.error == CornerError::DistanceTooLarge)
        return Outcome::TooShort;
    if (c.error != CornerError::None || !c.joint) return Outcome::Left;
    std::optional<Polyline> joined = polylineWithCorner(p, i, j, c);
    if (!joined) return Outcome::Left;
    p = std::move(*joined);
    return Outcome::Made;
}

void count(PolylineCorners& out, Outcome o) {
    if (o == Outcome::Made) ++out.made;
    if (o == Outcome::TooShort) ++out.tooShort;
}

} // namespace

PolylineCorners cornersOfPolyline(const Polyline& p, const SegmentCorner& corner) {
    PolylineCorners out{p, 0, 0};
    Polyline& q = out.polyline;
    // The later segment of the vertex in hand; a joint put in before it moves it one on.
    for (int j = 1; j < segmentCount(q); ++j) {
        Outcome o = cornerAt(q, j - 1, j, corner);
        count(out, o);
        if (o == Outcome::Made) ++j;
    }
    int n = segmentCount(q);
    if (q.closed && n > 2) count(out, cornerAt(q, n - 1, 0, corner));
    return out;
}

} // namespace zel::geom
