// Bulge polylines: the conversion between bulges and arcs, the segments of a polyline as
// kernel curves, and the polyline's area and distances.
#pragma once

#include "geom/curve2d.h"

namespace zel::geom {

// One segment of a polyline: from a to b with the bulge of a.
struct PolySegment {
    Vec2 a, b;
    double bulge = 0;
};

// The arc of a bulge segment: the counter-clockwise arc it lies on and whether the segment
// runs along it clockwise (from arc end to arc start).
struct BulgeArc {
    Arc arc;
    bool clockwise = false;
};

// True when the segment is drawn as an arc: a bulge whose arc leaves the chord by more than
// the point tolerance (smaller bulges are straight within it).
bool isArc(const PolySegment& s);
BulgeArc arcOfBulge(Vec2 a, Vec2 b, double bulge);
// The bulge of an arc run counter-clockwise or clockwise: tan(sweep / 4), negative clockwise.
double bulgeOfArc(const Arc& arc, bool clockwise = false);
// The segment of the arc (from its start to its end, or reversed when clockwise).
PolySegment segmentOfArc(const Arc& arc, bool clockwise = false);

int segmentCount(const Polyline& p);
PolySegment segmentOf(const Polyline& p, int i);
// The segment as a kernel curve: a Segment or an Arc (counter-clockwise, even when the segment
// runs clockwise).
Curve curveOf(const PolySegment& s);
// Parameters of curveOf(s) and the local parameter u in [0, 1] along the segment.
double curveParamAt(const PolySegment& s, double u);
double localParamAt(const PolySegment& s, double curveParam);
// The segment holding polyline parameter t and t's local parameter in it.
std::pair<int, double> locate(const Polyline& p, double t);

// Signed area enclosed by the polyline (closed by a straight segment when open): positive when
// it runs counter-clockwise.
double signedArea(const Polyline& p);
Vec2 pointAtDistance(const Polyline& p, double distance);

} // namespace zel::geom
