// Areas and perimeters: of curves taken as closed figures (an open curve closed by the straight
// line from its end back to its start, as area measuring does) and of point polygons.
#pragma once

#include "geom/curve2d.h"

#include <optional>
#include <span>

namespace zel::geom {

// Half the integral of cross(p, dp) along the curve from its start to its end: the signed
// area swept from the origin. A closed chain of pieces adds up to the area it encloses
// (positive counter-clockwise). Infinite curves (rays, construction lines) give NaN.
double sweptArea(const Curve& c);

// The area the curve encloses, closed by a straight line from its end to its start; nullopt
// for rays and construction lines.
std::optional<double> enclosedArea(const Curve& c);

// The perimeter of the figure: the curve's length, with the closing line of an open curve
// counted when `withClosingLine`. nullopt for rays and construction lines.
std::optional<double> perimeter(const Curve& c, bool withClosingLine);

// The polygon through the points, closed: its area (not signed) and its perimeter.
double polygonArea(std::span<const Vec2> points);
double polygonPerimeter(std::span<const Vec2> points);

} // namespace zel::geom
