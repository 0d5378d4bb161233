#pragma once

#include <span>
#include <vector>

namespace thermo {

// A reference temperature read on a reference thermometer, and the thermistor's resistance
// measured at that temperature.
struct CalibrationPoint {
    double celsius;
    double ohms;
};

// Thermistor parameters found from calibration points, and for each point the program's
// temperature with them minus the reference temperature.
struct BParameterFit {
    double a;
    double b;
    std::vector<double> deviationsCelsius;
};

// A and B of the program's own law (1/T = 1/298 + ln(Rth/A)/B, T = °C + 273): exact through two
// points at different temperatures, the least-squares line of ln(Rth) against 1/T through more.
// Throws Failure(InvalidArgument) for fewer than two distinct temperatures, a resistance that is
// not positive, a temperature at or below -273 °C, or points whose resistance rises with the
// temperature (no NTC thermistor, B would not be positive).
BParameterFit fitBParameter(std::span<const CalibrationPoint> points);

} // namespace thermo
