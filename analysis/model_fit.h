#pragma once

#include "core/model_result.h"
#include "core/number_locale.h"

#include <span>
#include <string>

namespace thermo {

inline constexpr std::size_t modelFewestReadings = 10;
inline constexpr double modelShortestSeconds = 5.0;

// A model fitted to readings, and what was left aside to fit it.
struct ModelFit {
    ModelResult model;  // its equation text left empty: the window writes it in its numbers
    std::string remark; // the step the model was fitted beside, in French; empty if none
};

// Fits `kind` to temperatures in time order, and refuses, throwing Failure(InvalidArgument)
// with the reason in French (numbers written with `locale`), what would not describe them:
//  - too few readings (fewer than modelFewestReadings, or over less than
//    modelShortestSeconds), or a range no wider than its noise ("Plage trop courte…",
//    "Plage trop plate…");
//  - a jump of the temperature between two readings: the model is fitted over the longest
//    stretch without one (after a jump, from where the temperature leaves the level it jumped
//    to), and the remark says so; refused when no stretch is long enough;
//  - an exponential whose time constant is shorter than the time between two readings or
//    longer than ten times the range;
//  - a characteristic parameter (τ, b, a slope) with a standard uncertainty beyond a quarter
//    of its value: the readings do not determine it;
//  - readings scattered around the model far beyond their noise: more than five times the
//    noise, 0,15 °C and 2 % of the range's change.
ModelFit fitModel(ModelKind kind, std::span<const double> seconds, std::span<const double> celsius,
                  const NumberLocale& locale);

} // namespace thermo
