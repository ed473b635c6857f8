// Rational Bezier pieces of curves: the bounded form the numerical algorithms subdivide. The
// control points of a piece (with positive weights) enclose it, so the box of its control
// points bounds the piece.
#pragma once

#include "geom/curve2d.h"

#include <optional>
#include <utility>

namespace zel::geom {

struct BezierPiece {
    std::vector<Vec3> points; // homogeneous control points
    double t0 = 0, t1 = 0;    // the curve's parameters at the piece's ends
    // Set for pieces of circles and ellipses: the curve's parameter is the eccentric angle of
    // this ellipse, not proportional to the Bezier parameter.
    std::optional<Ellipse> conic;
};

Vec2 bezierPoint(const std::vector<Vec3>& points, double u);
Box2 hullBox(const BezierPiece& piece);
// The curve's parameter at the Bezier parameter u of the piece.
double paramAt(const BezierPiece& piece, double u);
std::pair<BezierPiece, BezierPiece> halve(const BezierPiece& piece);
// Pieces of a curve; rays and construction lines are cut to the box `clip`. Polylines have no
// pieces of their own: take those of their segments.
std::vector<BezierPiece> bezierPieces(const Curve& c, const Box2& clip = {});

// The eccentric angle of a point of an ellipse's plane (the point projected onto the ellipse
// along its centre ray), in [0, 2 pi).
double eccentricAngle(const Ellipse& e, Vec2 p);

} // namespace zel::geom
