#pragma once

#include <span>

namespace thermo {

// Newton's law of cooling fitted to a range of the curve: T(t) = Tf + (T0 - Tf)·exp(-(t - t0)/τ),
// t0 the first time of the range. Each value comes with its standard uncertainty, scaled by
// the scatter of the readings around the model.
struct CoolingFit {
    double finalCelsius;       // Tf
    double initialCelsius;     // T0
    double tauSeconds;         // τ
    double rmsCelsius;         // root mean square of the readings' deviations from the model
    double finalUncertainty;   // °C
    double initialUncertainty; // °C
    double tauUncertainty;     // s
};

inline constexpr int coolingFitFewestPoints = 10;
inline constexpr double coolingFitShortestSeconds = 5.0;

// Nonlinear least squares over readings in time order (a warming toward a hot bath fits as
// well). Throws Failure(InvalidArgument) with a French message when the range is too short
// (fewer than coolingFitFewestPoints readings, less than coolingFitShortestSeconds, or so short
// beside τ that the final temperature is out of its reach), too flat (no change beyond the
// readings' noise), or when no fit converges.
CoolingFit fitCooling(std::span<const double> seconds, std::span<const double> celsius);

} // namespace thermo
