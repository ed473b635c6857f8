// Corners between two curves: a fillet (an arc of a radius tangent to both) or a chamfer (a
// line from a distance along one to a distance along the other), and the curves trimmed or
// extended to meet it. Which corner is meant comes from the picks: the part of each curve
// holding its pick is the part kept.
#pragma once

#include "geom/curve2d.h"

#include <optional>

namespace zel::geom {

enum class CornerError {
    None,
    NotSupported,     // a kind the corner does not take (fillets: lines, arcs, circles;
                      // chamfers: lines)
    RadiusTooLarge,   // no arc of the radius fits the kept parts
    DistanceTooLarge, // a chamfer distance runs past the far end of its curve
    Parallel,         // chamfer of parallel lines; fillet of one line twice
    NoCorner,         // the curves do not meet, not even on their extensions
};

// One curve of a corner as the corner leaves it: the part holding the pick, its end towards
// the corner moved to `point`. Circles keep their whole shape (they are never trimmed).
struct CornerSide {
    Curve curve;
    Vec2 point;
    bool atStart = false; // point is the kept curve's start (else its end; circles: neither)
    bool whole = false;   // the curve is kept whole (circles)
};

struct Corner {
    CornerError error = CornerError::None;
    CornerSide first, second;
    // The fillet arc (counter-clockwise, as arcs are) or the chamfer line; none for a sharp
    // corner (radius 0, both distances 0).
    std::optional<Curve> joint;
    // The joint runs from first.point to second.point (else the other way round).
    bool jointFromFirst = true;
};

// The fillet between curve a picked at pick1 and curve b picked at pick2: Segment, Ray, XLine,
// Arc, Circle. Radius 0 meets at the corner; parallel lines are joined by a half circle of
// half their distance at the end of the first.
Corner fillet(const Curve& a, Vec2 pick1, const Curve& b, Vec2 pick2, double radius);

// The chamfer between lines (Segment, Ray, XLine) a and b: from the corner d1 along a towards
// pick1 and d2 along b towards pick2.
Corner chamfer(const Curve& a, Vec2 pick1, const Curve& b, Vec2 pick2, double d1, double d2);
// The chamfer d along a from the corner whose line leaves a at `angle` (radians, between the
// chamfer line and a, inside the corner). An angle that meets b on the far side of the
// corner (or none at all) is a distance that does not fit.
Corner chamferByAngle(const Curve& a, Vec2 pick1, const Curve& b, Vec2 pick2, double d,
                      double angle);

// The polyline with segment i (a Segment or an Arc, as curveOf gives it) changed into `side`:
// the part of the polyline from the far end up to and including the changed segment is kept,
// the rest (beyond the moved end) dropped. Open polylines only.
Polyline polylineWithSide(const Polyline& p, int i, const CornerSide& side);

// The polyline with the corner between segments i and j made inside it (the joint becomes a
// segment; the segments between them are dropped). nullopt when the corner does not run from
// the end of the earlier segment to the start of the later one.
std::optional<Polyline> polylineWithCorner(const Polyline& p, int i, int j, const Corner& corner);

} // namespace zel::geom
