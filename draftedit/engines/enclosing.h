// The smallest circle enclosing the lines, arcs and circles of an outline.
#pragma once

#include "draftedit/engines/outline.h"

#include <span>
#include <vector>

namespace draftedit::engines {

struct Circle {
    Pt centre;
    double radius = 0;
};

struct EnclosingResult {
    enum class Status {
        Found,
        TooFewPoints,  // no element, or every point of the outline is one point
        NoConvergence, // the refinement did not settle (non-finite input)
    };
    Status status = Status::TooFewPoints;
    Circle circle;
    int rounds = 0; // refinement rounds used
};

// The smallest circle enclosing a point set (Welzl's algorithm, points in a fixed shuffled
// order so the result does not depend on the input order).
Circle smallestCircleOfPoints(std::vector<Pt> points);

// The smallest circle enclosing the elements. Lines are enclosed when their ends are; an arc
// may reach beyond its ends, so the circle of the end points is refined by adding, for every
// arc that sticks out, its point farthest from the centre, until none sticks out.
EnclosingResult smallestEnclosingCircle(std::span<const OutlineElement> elements);

} // namespace draftedit::engines
