// The geometry of STRETCH: which points a crossing window or polygon holds, and arcs whose
// ends move while the height of the arc over its chord stays.
#pragma once

#include "geom/curve2d.h"

#include <optional>
#include <span>

namespace zel::geom {

// Whether p lies inside the polygon (closed: the last corner joins the first) or on its
// boundary.
bool insideOrOn(Vec2 p, std::span<const Vec2> polygon);

// The arc from its start moved by ds to its end moved by de, with the same height over the
// chord and on the same side of it; nullopt when the ends meet. A polyline segment of bulge b
// keeps the height with bulge b times the old chord over the new.
std::optional<Arc> stretchArc(const Arc& a, Vec2 ds, Vec2 de);
double stretchBulge(Vec2 a, Vec2 b, double bulge, Vec2 a2, Vec2 b2);

} // namespace zel::geom
