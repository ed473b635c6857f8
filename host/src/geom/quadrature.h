// Adaptive Gauss-Legendre integration of smooth functions (arc lengths of curves).
#pragma once

#include <functional>

namespace zel::geom {

// The integral of f over [a, b] to a relative accuracy relTol (a > b gives the negative).
double integrate(const std::function<double(double)>& f, double a, double b, double relTol);

// The integral of f over [a, b] by the same rule on `panels` equal panels, without adapting:
// for integrands that are polynomials of low degree or smooth on panels of the given size
// (moments of areas along lines and arcs), whose integral may be zero.
double integratePanels(const std::function<double(double)>& f, double a, double b, int panels);

} // namespace zel::geom
