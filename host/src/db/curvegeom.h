// Small geometry shared by the simple entity kinds: plane frames, transformation checks,
// angle normalisation, numeric integration and minimisation on a parameter interval.
#pragma once

#include "arx/ge.h"

#include <functional>

namespace zel::db::geom {

inline constexpr double kTwoPi = 2 * M_PI;

// The angle brought into [0, 2 pi).
double normalizeAngle(double a);
// The sweep from start to end going counter-clockwise, in (0, 2 pi].
double sweepBetween(double start, double end);

// X and Y axes of the plane of a normal (DXF arbitrary axis frame).
void planeAxes(const AcGeVector3d& normal, AcGeVector3d& xAxis, AcGeVector3d& yAxis);

// True when the linear part of the transformation scales lengths in the plane of the given
// axes equally in every direction (rotations, mirrors, uniform scaling); scale receives the
// factor.
bool scalesUniformly(const AcGeMatrix3d& m, const AcGeVector3d& xAxis, const AcGeVector3d& yAxis,
                     double& scale);

// Integral of f over [a, b] by adaptive Gauss-Legendre quadrature.
double integrate(const std::function<double(double)>& f, double a, double b);

// The t in [a, b] that minimises f, for a function with few local minima on the interval:
// sampled in `samples` steps, then refined by golden-section search around the best sample.
double minimize(const std::function<double(double)>& f, double a, double b, int samples = 64);

} // namespace zel::db::geom
