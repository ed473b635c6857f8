// Entities of the XY plane as the two-dimensional kernel sees them.
#pragma once

#include "arx/db.h"
#include "geom/curve2d.h"

namespace zel::db {

// +1 for a plane seen from above, -1 from below, 0 for a plane not parallel to XY.
int planeFacing(const AcGeVector3d& normal);

// The vertices and bulges of a light polyline in world XY (bulges turned for a plane seen
// from below, facing -1), with its closed flag.
geom::Polyline planarPolyline(const AcDbPolyline& p, int facing);

} // namespace zel::db
