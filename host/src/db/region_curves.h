// The loops of regions as the curve kernel sees them, and back.
#pragma once

#include "arx/db.h"
#include "arx/dbregion.h"
#include "geom/boundary.h"

#include <vector>

namespace zel::db {

// A region loop as kernel pieces in the region's plane coordinates.
geom::Loop kernelLoop(const ZelRegionLoop& loop);
std::vector<geom::Loop> kernelLoops(const AcDbRegion& region);

// A kernel loop as a region loop: segments, arcs, circles and ellipses exactly; splines and
// polylines as lines and arcs within `fitTolerance` of them.
ZelRegionLoop regionLoop(const geom::Loop& loop, double fitTolerance);

// The faces of oriented region loops (outer loops counter-clockwise, holes clockwise): per
// face the index of its outer loop, then the holes whose nearest enclosing outer loop it is.
std::vector<std::vector<int>> regionFaces(const std::vector<ZelRegionLoop>& loops);

// The region's loops as curves of the world XY plane, for a region whose plane is parallel
// to it (seen from above or below); empty for other planes and for regions without geometry.
std::vector<geom::Curve> regionCurvesXY(const AcDbRegion& region);

} // namespace zel::db
