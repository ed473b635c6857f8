// Corners at every vertex of a polyline: the fillet or chamfer of each pair of straight
// segments that meet at an angle, made inside the polyline (the joint becomes a segment).
#pragma once

#include "geom/corner.h"

#include <functional>

namespace zel::geom {

struct PolylineCorners {
    Polyline polyline; // the polyline with its corners made
    int made = 0;      // vertices that got a joint
    int tooShort = 0;  // vertices whose segments have no room for the joint
};

// The corner of two straight segments, each picked at its middle (fillet or chamfer).
using SegmentCorner = std::function<Corner(const Curve& a, Vec2 pick1, const Curve& b, Vec2 pick2)>;

// Makes the corner at each vertex between two straight segments that are not in line, in the
// order of the vertices (a closed polyline's first vertex last). Arc segments and vertices
// where a corner gives no joint (radius or distances 0) are left as they are.
PolylineCorners cornersOfPolyline(const Polyline& p, const SegmentCorner& corner);

} // namespace zel::geom
