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

// Angles typed in degrees (array fill angles, angles between items) closer than this are equal:
// typed values carry a few decimals, and a sum of typed steps drifts far less than this.
inline constexpr double kTypedDegrees = 1e-9;

// Geometry written to a canonical dump is rounded to this step so that dumps of the same
// drawing agree across machines and compilers.
inline constexpr double kDumpRounding = 1e-9;

// End points of curves that are joined into one chain may be this far apart (PEDIT Join).
inline constexpr double kJoinGap = 1e-8;

// Curve parameters closer than this are equal. Parameters count segments (polylines) or knot
// units (splines), so this is kPoint on a segment or knot span of unit size.
inline constexpr double kParam = 1e-10;

// The DXF arbitrary-axis algorithm takes the world Y axis instead of Z to build an object's X
// axis when both x and y of its normal are below this (a value fixed by the file format).
inline constexpr double kArbitraryAxis = 1.0 / 64.0;

// A point this close to a curve is on it, for queries that take a point of the curve
// (getParamAtPoint): points found by iteration (ellipses) land within it at drawing sizes.
inline constexpr double kOnCurve = 1e-8;

// Relative difference below which two scale factors of a transformation are equal (a uniform
// scaling keeps circles circles).
inline constexpr double kUniformScale = 1e-9;

} // namespace zel::tol

namespace zel::tol {

// Curve kernel (host/src/geom).

// Relative accuracy of arc lengths found by numerical integration (ellipses, splines): close
// to the precision of a double, so that pieces of a split curve add up to the whole.
inline constexpr double kLengthRelative = 1e-12;

// Curves whose tangents at a common point make an angle with a sine below this touch rather
// than cross. Iteration pins a touching point only to about the square root of the precision
// along the tangent, so this is that loose.
inline constexpr double kTouchSine = 1e-4;

// Intersection points closer than this are one point (the same hit found from two pieces of
// a polyline or from two starting guesses of an iteration).
inline constexpr double kHitMerge = 1e-8;

// Directions in which curves leave a common vertex that differ by less than this (radians) are
// one direction (the curves touch there) and are told apart by curvature: directions of
// touching curves found by iteration agree to about the square root of the precision.
inline constexpr double kSameDirection = 1e-7;

// Offsets of ellipses and splines, and boundaries along them, are arcs fitted within this of
// the true curve: far below what a drawing shows, far above the error of the points found.
inline constexpr double kCurveFit = 1e-6;

} // namespace zel::tol

namespace zel::tol {

// LISP (host/src/lisp).

// equal with a non-zero fuzz compares |a - b| <= fuzz + this share of the larger magnitude:
// a fuzz written in decimal (0.000001) is not exact in binary, and the difference of two
// decimals that far apart may exceed it by a few units in the last place.
inline constexpr double kLispFuzzRelative = 1e-14;

} // namespace zel::tol
