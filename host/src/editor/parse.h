// Typed points, distances and angles, as the command line reads them.
//
// Points (coordinates of the current UCS):
//   x,y   x,y,z        absolute (z is the current elevation when left out); "#" before is allowed
//   @dx,dy  @dx,dy,dz  relative to the last point
//   @dist<angle        polar, relative to the last point
//   dist<angle         polar from the origin
//   @                  the last point itself
// Numbers are read in the current linear units (LUNITS: "1'2\"" in architectural units),
// angles in the current angular units (AUNITS), counted from ANGBASE in the direction of
// ANGDIR.
#pragma once

#include "arx/ge.h"
#include "core/units.h"

#include <optional>
#include <string_view>

namespace zel::editor {

struct ParseContext {
    core::UnitSettings units;
    double angbase = 0.0;   // radians
    bool clockwise = false; // ANGDIR 1
    AcGePoint3d lastPoint;  // LASTPOINT
    double elevation = 0.0; // z of points typed as x,y
};

std::optional<AcGePoint3d> parsePoint(std::wstring_view text, const ParseContext& ctx);
// A distance in the current linear units (may be negative).
std::optional<double> parseDistanceText(std::wstring_view text, const ParseContext& ctx);
// An angle as the user typed it, in radians in [0, 2pi), not yet turned by ANGBASE/ANGDIR.
std::optional<double> parseAngleText(std::wstring_view text, const ParseContext& ctx);

// The direction (radians from the x axis, counter-clockwise, in [0, 2pi)) that a typed angle
// stands for: ANGBASE plus the angle, counted clockwise when ANGDIR is 1.
double directionOfTypedAngle(double typed, const ParseContext& ctx);
// An angle brought into [0, 2pi).
double normalizeAngle(double radians);

} // namespace zel::editor
