// Offset curves: every point moved by a distance along the curve's normal.
#pragma once

#include "geom/curve2d.h"

#include <optional>
#include <string>
#include <vector>

namespace zel::geom {

// How the offset segments of a polyline that part at a corner are joined: extended until they
// meet, by an arc about the corner, or by a line touching that arc where the corner's bisector
// crosses it (at the offset distance from the corner).
enum class OffsetGap { Extend, Fillet, Chamfer };

// The curve offset by `distance` to the left of its direction of travel (negative: to the
// right); for counter-clockwise arcs and circles the left is towards the centre. Lines, arcs and
// circles are exact; ellipses and splines become polylines of arcs within `tolerance` of the
// true offset; polylines are offset segment by segment and joined where neighbours meet and,
// where they part, as `gap` says. nullopt, with the reason in `why`, when the offset does not
// exist (an arc offset through its centre).
std::optional<Curve> offset(const Curve& c, double distance, double tolerance,
                            std::string* why = nullptr, OffsetGap gap = OffsetGap::Extend);

// The offset as drafting commands make it: offset() with the parts of a polyline offset (or of
// the polyline fitted to an ellipse or spline) that come nearer the curve than the distance cut
// out: the loops an offset makes inside tight corners and across narrow parts. What is left may
// be several pieces (a closed polyline offset inwards across a waist gives two loops). Empty,
// with the reason in `why`, when nothing is left.
std::vector<Curve> offsetPieces(const Curve& c, double distance, double tolerance,
                                std::string* why = nullptr, OffsetGap gap = OffsetGap::Extend);

// The side of the curve p lies on: +1 left of the direction of travel, -1 right, 0 on it.
int sideOf(const Curve& c, Vec2 p);

} // namespace zel::geom
