// Offset curves: every point moved by a distance along the curve's normal.
#pragma once

#include "geom/curve2d.h"

#include <optional>
#include <string>

namespace zel::geom {

// The curve offset by `distance` to the left of its direction of travel (negative: to the
// right); for counter-clockwise arcs and circles the left is towards the centre. Lines, arcs and
// circles are exact; ellipses and splines become polylines of arcs within `tolerance` of the
// true offset; polylines are offset segment by segment and joined where neighbours meet (or by
// an arc about the vertex where they part). nullopt, with the reason in `why`, when the
// offset does not exist (an arc offset through its centre).
std::optional<Curve> offset(const Curve& c, double distance, double tolerance,
                            std::string* why = nullptr);

// The side of the curve p lies on: +1 left of the direction of travel, -1 right, 0 on it.
int sideOf(const Curve& c, Vec2 p);

} // namespace zel::geom
