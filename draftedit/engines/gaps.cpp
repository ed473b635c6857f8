// The gap search (see gaps.h).
#include "draftedit/engines/gaps.h"

#include "draftedit/engines/tolerances.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace draftedit::engines {
namespace {

// The distance as it reads back from its decimal text; the distance itself when it has none.
double roundedDistance(double d) {
    if (!std::isfinite(d)) return d;
    char buf[400];
    const int n = std::snprintf(buf, sizeof buf, "%.*f", tol::kGapDecimals, d);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) return d;
    return std::strtod(buf, nullptr);
}

} // namespace

std::vector<Pt> findGaps(std::span<const Pt> ends, double lower, double upper) {
    std::vector<Pt> gaps;
    for (size_t i = 0; i < ends.size(); ++i) {
        for (size_t j = i + 1; j < ends.size(); ++j) {
            const double d =
                roundedDistance(std::hypot(ends[i].x - ends[j].x, ends[i].y - ends[j].y));
            if (lower <= d && d <= upper) gaps.push_back(ends[i]);
        }
    }
    return gaps;
}

} // namespace draftedit::engines
