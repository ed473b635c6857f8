// Joining curves into one polyline (PEDIT Join): lines, arcs and open polylines whose ends
// meet the chain's ends are added at either end, turned round when needed, until none meets.
#pragma once

#include "geom/curve2d.h"

#include <optional>
#include <span>
#include <vector>

namespace zel::geom {

// The polyline of a line, an arc or an open polyline; nullopt for other curves.
std::optional<Polyline> asPolyline(const Curve& c);

struct JoinResult {
    Polyline polyline;
    int segmentsAdded = 0;
    std::vector<size_t> used; // indices of the pieces joined, in the order they were added
};

// Joins the pieces to the open polyline `start`; ends within `gap` meet. The result is closed
// when the chain comes back to its start.
JoinResult joinChain(Polyline start, std::span<const Curve> pieces, double gap);

} // namespace zel::geom
