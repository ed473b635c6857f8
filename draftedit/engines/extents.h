// Extents of an outline across the axes of a frame turned by an angle.
#pragma once

#include "draftedit/engines/outline.h"

#include <optional>
#include <span>

namespace draftedit::engines {

struct Extents {
    Pt middle; // the middle of the box, in the unturned frame
    double width = 0, height = 0;
};

// The box of the outline in the frame turned by phi (radians) about the origin: line ends,
// the circles' quadrant points and the arcs' ends and quadrant points within their sweep.
// nullopt when no element gives a point.
std::optional<Extents> extentsAtAngle(std::span<const OutlineElement> elements, double phi);

} // namespace draftedit::engines
