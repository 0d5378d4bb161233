#pragma once

#include "analysis/least_squares.h"
#include "analysis/readings_shape.h"

#include <optional>
#include <span>

namespace thermo {

// The two exponential laws, fitted by nonlinear least squares to readings in time order, t0
// their first time; `shape` is the range's outline, whose three-point exponential gives the
// solver its start. None when no start converges.

// Newton's law of cooling T = Tf + (T0 − Tf)·e^(−(t − t0)/τ): x = (Tf, T0, τ). A warming
// toward a hot bath fits as well; τ is positive.
std::optional<LeastSquaresSolution> fitNewton(std::span<const double> t, std::span<const double> y,
                                              const Outline& shape);

// The free exponential T = a·e^(b·(t − t0)) + c: x = (a, b, c), b of either sign.
std::optional<LeastSquaresSolution> fitExponential(std::span<const double> t,
                                                   std::span<const double> y, const Outline& shape);

} // namespace thermo
