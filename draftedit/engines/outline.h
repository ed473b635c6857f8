// The elements of a drawn outline that the outline measurements work on: lines, arcs and
// circles in the plane of the current UCS, already divided by the figure-scale factor.
#pragma once

#include "draftedit/engines/cutrules.h"

namespace draftedit::engines {

struct OutlineElement {
    enum class Kind { Line, Arc, Circle };
    Kind kind = Kind::Line;
    Pt p1, p2;                 // a line's ends
    Pt centre;                 // an arc's or circle's centre
    double radius = 0;         // an arc's or circle's radius
    double start = 0, end = 0; // an arc's angles (radians, counter-clockwise)
};

} // namespace draftedit::engines
