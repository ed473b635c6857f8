// Named tolerances of the host. Every comparison of lengths, points, angles or parameters
// takes one of these as a default argument; no other numeric tolerance literal belongs in
// the host's code.
#pragma once

namespace zel::tol {

// Two points closer than this are the same point. Drawings are in millimetres and rarely
// exceed 1e5; 1e-10 leaves about five digits of double precision for the arithmetic.
inline constexpr double kPoint = 1e-10;

// A vector shorter than this has no direction (normalising it would amplify noise).
inline constexpr double kVectorLength = 1e-12;

// Two unit directions whose cross product is below this are parallel.
inline constexpr double kParallel = 1e-12;

// Angles (radians) closer than this are equal: kPoint at a radius of 1e2.
inline constexpr double kAngle = 1e-12;

// Geometry written to a canonical dump is rounded to this step so that dumps of the same
// drawing agree across machines and compilers.
inline constexpr double kDumpRounding = 1e-9;

// End points of curves that are joined into one chain may be this far apart (PEDIT Join).
inline constexpr double kJoinGap = 1e-8;

} // namespace zel::tol
