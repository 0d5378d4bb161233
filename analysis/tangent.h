#pragma once

#include "core/session_series.h"

#include <cstddef>
#include <optional>

namespace thermo {

// The tangent to a run's temperature curve at one time.
struct Tangent {
    double seconds = 0;          // where it touches the curve
    double celsius = 0;          // the curve's temperature there
    double slope = 0;            // dT/dt, °C/s
    double slopeUncertainty = 0; // standard, °C/s
    std::size_t readings = 0;    // the readings it was worked out from
};

// The slope is that of a parabola fitted by least squares to the temperatures (as shown, to a
// tenth of a degree) within `halfWidth` seconds on either side of `seconds`, gaps left out:
// the noise of a reading averages out over the window, which the user widens on a noisy curve,
// rather than spiking a difference of two readings; the parabola follows the curve's bend, at
// the ends of the run as well, where the window has only one side. None when the window holds
// fewer than five temperatures.
std::optional<Tangent> tangentAt(const SessionSeries& series, double seconds, double halfWidth);

} // namespace thermo
