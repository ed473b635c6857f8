// Conventions of group values (ZelGroupValue) shared by the reading and writing sides.
#pragma once

#include "arx/db.h"

#include <cstdint>

namespace zel::dxf {

// A point group written with x only (old files): flat, and `integer` holds this mark.
inline constexpr int64_t kPointXOnly = 1;

// How many coordinates a point group is written with: 3, or 2 when flat (no z tag was read;
// light polyline vertices, R12 points), or 1 for an x without y.
inline int pointDimensions(const ZelGroupValue& v) {
    if (!v.flat) return 3;
    return v.integer == kPointXOnly ? 1 : 2;
}

} // namespace zel::dxf
