#pragma once

#include "analysis/least_squares.h"

#include <span>

namespace thermo {

// Straight lines by linear least squares (GSL), the uncertainties from the readings' scatter
// around the line.

// T = a·t + b: x = (a, b).
LeastSquaresSolution fitAffine(std::span<const double> t, std::span<const double> y);
// T = a·t, through the origin of the axes: x = (a).
LeastSquaresSolution fitLinear(std::span<const double> t, std::span<const double> y);

} // namespace thermo
