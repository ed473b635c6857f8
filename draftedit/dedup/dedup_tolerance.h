// Named tolerances of duplicate removal. The engine has no host behind it, so its tolerances
// live here, each with its reason; no other numeric tolerance belongs in draftedit/dedup.
#pragma once

namespace zel::dedup::tol {

// Positions, lengths and distances (drawing millimetres) closer than this are equal: two
// entities drawn on top of each other by hand or by copying agree to far better than this,
// while distinct geometry of a drawing is never this close.
inline constexpr double kLength = 1e-6;

// Angles (radians) closer than this are equal: 1e-6 times 180/pi, about 0.0033 degrees. Arc
// angles in drawings are often stored rounded to a few decimals of a degree, so a merely
// numeric tolerance would miss arcs that visibly share an end.
inline constexpr double kAngle = 5.729577951308232e-5;

// Rounding of coordinate arithmetic, relative to the largest coordinate of the run: far above
// the double precision (2e-16) of a subtraction, cross product or division, far below kLength
// at drawing sizes. The grouped search widens its cells by it so that rounding never hides a
// pair from it.
inline constexpr double kRelativeRounding = 1e-12;

// The search of the grouped procedure keys lines at least this long by their direction: two
// lines of one supporting line within kLength differ in angle by at most pi kLength / (the
// shorter length), about 3e-4 rad here, narrow enough to tell hatching lines apart. Shorter
// lines (rare slivers) are found by place alone.
inline constexpr double kDirectionalLength = 1e-2;

} // namespace zel::dedup::tol
