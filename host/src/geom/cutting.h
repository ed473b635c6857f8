// The geometry of the cutting commands: breaking a curve between two points, trimming the part
// around a pick between the nearest cuts, extending an end to the nearest boundary ahead of it,
// lengthening or shortening an end by an arc length.
#pragma once

#include "geom/curve2d.h"

#include <optional>
#include <span>
#include <vector>

namespace zel::geom {

// Whether a curve runs round on itself (circles, full ellipses, closed polylines and splines):
// parameters past its end continue from its start.
bool isPeriodicCurve(const Curve& c);

enum class BreakError {
    None,
    ClosedAtOnePoint, // a closed curve cannot be split at one point
    NothingLeft,      // the gap covers the whole curve
};

struct BreakResult {
    std::vector<Curve> pieces;
    BreakError error = BreakError::None;
};

// The curve less the part between parameters t1 and t2. Closed curves lose the part from t1
// onwards to t2 (counter-clockwise on circles and ellipses); open curves the part between the
// two, in either order. The same parameter twice splits an open curve in two there (a
// construction line into two rays); a break point at an end leaves that end as it was.
BreakResult breakCurve(const Curve& c, double t1, double t2);

// The pieces left when the part holding parameter t, between the nearest cuts on either side
// of it (or the curve's ends), is removed. nullopt when no cut bounds it: an open curve needs
// a cut on one side at least, a closed one two cuts.
std::optional<std::vector<Curve>> trimAt(const Curve& c, double t, std::span<const double> cuts);

// One end of a curve as the carrier it extends along: parameters of `carrier` (an XLine,
// Circle or full Ellipse); the end is at endParam, and moving `direction` (+1 or -1) from it
// goes beyond the end, for less than `room` (the rest of the turn on circles and ellipses).
struct CurveEnd {
    Curve carrier;
    double endParam = 0;
    int direction = 1;
    double room = kInf;
    // How far ahead of the end a parameter of the carrier lies (in carrier parameters); a
    // negative value is behind the end (inside the curve, on closed carriers the rest of the
    // turn counts as behind).
    double ahead(double t) const;
};

// The end of an open curve that can be extended: lines (both ends), rays (at the base point),
// arcs, elliptical arcs, open polylines (their end segment), open splines (along the straight
// line of their end tangent, from the end: see extendSplineStraight). nullopt for others.
std::optional<CurveEnd> curveEnd(const Curve& c, bool atStart);

// Which end of the curve is nearer the parameter t (measured along the curve).
bool nearerStart(const Curve& c, double t);

struct Extension {
    Curve curve;
    Vec2 end; // the new end point, on the boundary
};

// Where the carrier of an end crosses a boundary ahead of the end: how far ahead (as
// CurveEnd::ahead measures it) and the point, on the boundary.
struct Crossing {
    double ahead = kInf;
    Vec2 point;
};

// The nearest crossing ahead of the end of the carrier with the boundaries (taken whole when
// extendBoundaries); nullopt when none lies ahead.
std::optional<Crossing> nearestCrossingAhead(const CurveEnd& end, std::span<const Curve> boundaries,
                                             bool extendBoundaries);

// The curve (whose end at atStart is `end`) extended to the crossing.
Extension extendToCrossing(const Curve& c, bool atStart, const CurveEnd& end, const Crossing& x);

// The curve extended at one end to the nearest crossing, ahead of that end, of its carrier
// with the boundaries (taken whole when extendBoundaries). nullopt when nothing lies ahead.
std::optional<Extension> extendToBoundaries(const Curve& c, bool atStart,
                                            std::span<const Curve> boundaries,
                                            bool extendBoundaries);

// The curve with one end moved by arc length delta: ahead along its carrier when positive,
// back along the curve when negative. nullopt when the curve would vanish, wrap a full turn,
// or cannot be lengthened (closed curves; rays and construction lines). Splines grow straight
// along their end tangent (extendSplineStraight) and shorten along themselves.
std::optional<Curve> lengthenEnd(const Curve& c, bool atStart, double delta);

// The signed arc length from the end to the point of its carrier nearest p: positive ahead of
// the end, negative back into the curve (the new length minus the old, as LENGTHEN DYnamic).
std::optional<double> deltaToPoint(const Curve& c, bool atStart, Vec2 p);

} // namespace zel::geom
