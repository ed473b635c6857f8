// Boundaries: the face of the planar arrangement of a set of curves that holds a point. The
// curves are cut at every crossing into edges; edges hanging loose (an end that meets nothing)
// are left out; the face is found by casting a ray from the point to the nearest edge and
// walking round the face with it on the left, turning as sharply left as possible at each
// vertex. Parts of the arrangement not joined to the face's outer loop and lying inside it
// are its islands.
#pragma once

#include "geom/curve2d.h"

#include <optional>
#include <span>
#include <vector>

namespace zel::geom {

// The direction of the ray cast from the point: towards the nearest curve, or along an axis.
enum class BoundaryRay { Nearest, PlusX, MinusX, PlusY, MinusY };

struct BoundaryOptions {
    bool islands = true;
    BoundaryRay ray = BoundaryRay::Nearest;
};

// A piece of a curve walked forwards or backwards.
struct LoopEdge {
    Curve curve; // a Segment, Arc, Ellipse or Nurbs piece
    bool reversed = false;
};
using Loop = std::vector<LoopEdge>;

enum class BoundaryStatus {
    Found,
    OnCurve,   // the point lies on a curve
    Open,      // nothing closed holds the point; `opening` is the loose end nearest it
    NotInside, // nothing closed holds the point and no curve has a loose end
};

struct Boundary {
    BoundaryStatus status = BoundaryStatus::NotInside;
    Loop outer; // counter-clockwise
    std::vector<Loop> islands;
    std::optional<Vec2> opening;
};

// The boundary around p from the curves (lines, arcs, circles, polylines, ellipses and
// splines; rays and construction lines are left out). Without islands, the islands are not
// given back (the outer loop is the same).
Boundary findBoundary(std::span<const Curve> curves, Vec2 p, const BoundaryOptions& options = {});

// Signed area of a loop (positive counter-clockwise) and its bounding box.
double loopArea(const Loop& loop);
Box2 loopBounds(const Loop& loop);
// The loop as one closed bulge polyline; elliptical and spline pieces become arcs within
// `tolerance` of them.
Polyline loopPolyline(const Loop& loop, double tolerance);

} // namespace zel::geom
