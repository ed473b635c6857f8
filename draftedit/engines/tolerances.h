// Named tolerances of the engines and the outline measurements. Each has the reason for its
// value; no other numeric tolerance literal belongs in the engines.
#pragma once

namespace draftedit::engines::tol {

// Values that the file-based engines compare with zero (bulges, chord components, cut
// parameters, discriminants, angles): the input files carry coordinates in centimetres or
// millimetres with about six significant decimals, so anything below a millionth is noise of
// the writer.
inline constexpr double kEngineZero = 1e-6;

// Distances of the gap search are rounded to this many decimals before the limits are
// applied, so that a distance written and read back as text compares the same way.
inline constexpr int kGapDecimals = 10;

// Relative slack of the point-in-circle test of the smallest enclosing circle: a few units in
// the last place of the radius, so that a point that defines the circle counts as inside it.
inline constexpr double kCircleRelative = 1e-12;

// An element that sticks out of the enclosing circle by less than this share of the radius
// needs no further refinement: the distance-to-point model is then exact to double precision.
inline constexpr double kCircleRefine = 1e-13;

} // namespace draftedit::engines::tol
