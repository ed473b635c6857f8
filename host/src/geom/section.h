// Section properties of plane figures bounded by closed loops of curves: area, perimeter,
// centroid and the second moments of area (moments of inertia) about axes through the
// centroid, by Green's theorem along the loops.
#pragma once

#include "geom/boundary.h"

#include <span>

namespace zel::geom {

struct SectionProperties {
    // The area of the material: the loops enclose it on their left (outer loops run
    // counter-clockwise, holes clockwise); negative when they all run the other way.
    double area = 0;
    double perimeter = 0; // the lengths of all loops
    Vec2 centroid;
    // Second moments about the axes through the centroid parallel to x and y:
    // ixx = integral of (y - cy)^2, iyy = integral of (x - cx)^2, ixy = integral of
    // (x - cx)(y - cy) over the area.
    double ixx = 0, iyy = 0, ixy = 0;
};

// The properties of the figure the loops bound (each loop a closed chain of pieces).
SectionProperties sectionProperties(std::span<const Loop> loops);

// Principal second moments of (ixx, iyy, ixy): the greatest and least moment about an axis
// through the centroid, and those axes (unit vectors, at right angles).
struct PrincipalMoments {
    double greatest = 0, least = 0;
    Vec2 greatestAxis{1, 0}, leastAxis{0, 1};
};
PrincipalMoments principalMoments(double ixx, double iyy, double ixy);

} // namespace zel::geom
