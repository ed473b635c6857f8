// Adaptive Gauss-Legendre integration of smooth functions (arc lengths of curves).
#pragma once

#include <functional>

namespace zel::geom {

// The integral of f over [a, b] to a relative accuracy relTol (a > b gives the negative).
double integrate(const std::function<double(double)>& f, double a, double b, double relTol);

} // namespace zel::geom
