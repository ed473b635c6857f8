// Non-uniform rational B-spline curves: evaluation by de Boor's algorithm on weighted
// (homogeneous) control points, derivatives from the derivative curves, arc length by adaptive
// Gauss quadrature, closest points by sampling and Newton steps, tight extents, and the
// interpolation of fit points.
#pragma once

#include "arx/ge.h"

#include <optional>
#include <string>
#include <vector>

namespace zel::db::curve {

class Nurbs {
public:
    // Checks the data (knot count = control points + degree + 1, knots not decreasing,
    // positive weights, enough control points) and builds the curve; nullopt with a reason
    // otherwise. Empty weights mean a non-rational curve.
    static std::optional<Nurbs> make(int degree, std::vector<double> knots,
                                     const std::vector<AcGePoint3d>& controlPoints,
                                     const std::vector<double>& weights, std::string* why);

    // The cubic (or lower degree when there are few points) curve through the fit points,
    // parameterised by chord length; end tangents are used when not zero.
    static std::optional<Nurbs> interpolate(const std::vector<AcGePoint3d>& fitPoints,
                                            const AcGeVector3d& startTangent,
                                            const AcGeVector3d& endTangent, std::string* why);

    int degree() const { return mDegree; }
    const std::vector<double>& knots() const { return mKnots; }
    std::vector<AcGePoint3d> controlPoints() const;
    std::vector<double> weights() const;
    double startParam() const { return mKnots[mDegree]; }
    double endParam() const { return mKnots[mKnots.size() - 1 - mDegree]; }

    AcGePoint3d point(double u) const;
    AcGeVector3d firstDeriv(double u) const;
    void derivs(double u, AcGePoint3d& point, AcGeVector3d& d1, AcGeVector3d& d2) const;

    // Arc length between two parameters (u0 <= u1).
    double length(double u0, double u1) const;
    double length() const { return length(startParam(), endParam()); }
    // The parameter at arc length dist from the start (0 <= dist <= length()).
    double paramAtLength(double dist) const;
    double closestParam(const AcGePoint3d& q) const;
    AcDbExtents extents() const;

private:
    struct Homogeneous {
        double x = 0, y = 0, z = 0, w = 0;
    };
    // A polynomial B-spline of homogeneous points: the curve or one of its derivatives.
    struct Piece {
        int degree = 0;
        std::vector<double> knots;
        std::vector<Homogeneous> points;
        Homogeneous eval(double u) const;
        Piece derivative() const;
    };

    Nurbs() = default;
    void buildDerivatives();
    // Parameters where a knot span starts, in the domain, and the domain end.
    std::vector<double> spanBreaks() const;
    double newtonClosest(const AcGePoint3d& q, double u) const;

    int mDegree = 0;
    std::vector<double> mKnots;
    Piece mCurve, mFirst, mSecond;
};

} // namespace zel::db::curve
