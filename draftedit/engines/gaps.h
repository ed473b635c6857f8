// The gap search: end points of lines and arcs that nearly, but not quite, meet.
#pragma once

#include "draftedit/engines/cutrules.h"

#include <span>
#include <vector>

namespace draftedit::engines {

// Every pair of points (i before j) whose distance, rounded to ten decimals, lies within
// [lower, upper] adds point i to the result (once per such pair), in the order found.
std::vector<Pt> findGaps(std::span<const Pt> ends, double lower, double upper);

} // namespace draftedit::engines
