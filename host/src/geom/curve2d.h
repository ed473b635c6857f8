// The curve kinds of the kernel and their basic queries. Every kind is a plain value; Curve is
// a variant over them and each query has one overload per kind, so a kind without an answer is
// a compile error, never a silent default.
//
// Parameters:
//   Segment, Ray, XLine  distance from the start (base) point along the unit direction
//   Arc, Circle          angle in radians, counter-clockwise from the x axis
//   Ellipse              the eccentric angle t of centre + major cos t + minor sin t
//   Nurbs                the knot parameter
//   Polyline             vertex i at i; along a segment in proportion to its length
#pragma once

#include "geom/vec2.h"

#include <string>
#include <variant>
#include <vector>

namespace zel::geom {

// A closed range of parameters; lo or hi may be infinite.
struct Interval {
    double lo = 0, hi = 0;
    bool contains(double t, double eps = 0) const { return lo - eps <= t && t <= hi + eps; }
    double clamp(double t) const { return std::clamp(t, lo, hi); }
    double span() const { return hi - lo; }
    bool isFinite() const { return std::isfinite(lo) && std::isfinite(hi); }
};

struct Segment {
    Vec2 start, end;
};

// A half-infinite line from base along dir (a unit vector).
struct Ray {
    Vec2 base, dir{1, 0};
};

// A construction line: infinite both ways through base along dir (a unit vector).
struct XLine {
    Vec2 base, dir{1, 0};
};

// A counter-clockwise arc; start < end <= start + 2 pi (make one with arcFromAngles).
struct Arc {
    Vec2 center;
    double radius = 0;
    double start = 0, end = 0;
};

struct Circle {
    Vec2 center;
    double radius = 0;
};

// An ellipse or elliptical arc: minor axis = ratio * perp(major), 0 < ratio <= 1; the arc runs
// counter-clockwise in the eccentric angle, start < end <= start + 2 pi.
struct Ellipse {
    Vec2 center;
    Vec2 major{1, 0};
    double ratio = 1;
    double start = 0, end = kTwoPi;
};

// A non-uniform rational B-spline: knots.size() == points.size() + degree + 1; weights empty
// (polynomial) or one positive weight per control point.
struct Nurbs {
    int degree = 3;
    std::vector<double> knots;
    std::vector<Vec2> points;
    std::vector<double> weights;
};

// Vertex with the bulge of the segment that starts there: tan(sweep / 4), positive when the
// arc turns counter-clockwise.
struct BulgeVertex {
    Vec2 point;
    double bulge = 0;
};

struct Polyline {
    std::vector<BulgeVertex> vertices;
    bool closed = false;
};

using Curve = std::variant<Segment, Ray, XLine, Arc, Circle, Ellipse, Nurbs, Polyline>;

// A visitor made of lambdas, one per kind (std::visit(Overloaded{...}, curve)).
template <class... F> struct Overloaded : F... { using F::operator()...; };

// Builders that normalise angles: the sweep runs counter-clockwise from a0 to a1 and is taken
// as a full turn when a1 equals a0 modulo 2 pi.
Arc arcFromAngles(Vec2 center, double radius, double a0, double a1);
Ellipse ellipseFromParams(Vec2 center, Vec2 major, double ratio, double t0, double t1);
Ray rayThrough(Vec2 base, Vec2 through);
XLine xlineThrough(Vec2 a, Vec2 b);

// The empty string when the curve is usable, else why not (for the message to the user).
// The queries below take valid curves only.
std::string validate(const Curve& c);

// Basic queries of every kind: the parameter range, the point and first and second derivatives
// at a parameter, the arc length between two parameters (t0 <= t1 in the range; a reversed pair
// gives the negative length), the bounding box, closedness.
#define ZEL_GEOM_BASIC_QUERIES(Kind)                                                               \
    Interval domain(const Kind& c);                                                                \
    Vec2 pointAt(const Kind& c, double t);                                                         \
    Vec2 derivAt(const Kind& c, double t);                                                         \
    Vec2 deriv2At(const Kind& c, double t);                                                        \
    double lengthBetween(const Kind& c, double t0, double t1);                                     \
    Box2 bounds(const Kind& c);                                                                    \
    bool isClosed(const Kind& c);

ZEL_GEOM_BASIC_QUERIES(Segment)
ZEL_GEOM_BASIC_QUERIES(Ray)
ZEL_GEOM_BASIC_QUERIES(XLine)
ZEL_GEOM_BASIC_QUERIES(Arc)
ZEL_GEOM_BASIC_QUERIES(Circle)
ZEL_GEOM_BASIC_QUERIES(Ellipse)
ZEL_GEOM_BASIC_QUERIES(Nurbs)
ZEL_GEOM_BASIC_QUERIES(Polyline)
ZEL_GEOM_BASIC_QUERIES(Curve)
#undef ZEL_GEOM_BASIC_QUERIES

double length(const Curve& c);
// The parameter at arc length s from the start (s clamped to 0..length); on a construction
// line from its base point.
double paramAtLength(const Curve& c, double s);
Vec2 startPoint(const Curve& c);
Vec2 endPoint(const Curve& c);
// Unit tangent in the direction of increasing parameter.
Vec2 tangentAt(const Curve& c, double t);

// The unbounded curve a curve lies on: Segment and Ray give the XLine with the same parameter,
// Arc the Circle, an elliptical arc its full Ellipse. Others are their own carrier.
Curve carrier(const Curve& c);
bool isExtendable(const Curve& c);
// A parameter of the carrier as a parameter of the curve: angles are taken in the turn nearest
// the curve's own range (t below start means "before the start").
double paramFromCarrier(const Curve& c, double carrierParam);
// Angle a + k 2 pi nearest the interval (inside it when possible).
double nearestTurn(double a, const Interval& range);

} // namespace zel::geom
