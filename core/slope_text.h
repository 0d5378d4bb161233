#pragma once

#include "core/number_locale.h"

#include <string>

namespace thermo {

// A rate of temperature change in °C/s and in °C/min, as a class compares it with a
// thermometer and a watch: to three significant digits, "-0,123 °C/s (-7,38 °C/min)".
std::string slopeText(double celsiusPerSecond, const NumberLocale& locale = {});

// With its standard uncertainty, each to the uncertainty's one significant digit:
// "-0,123 ± 0,004 °C/s (-7,4 ± 0,2 °C/min)".
std::string slopeText(double celsiusPerSecond, double uncertainty, const NumberLocale& locale = {});

} // namespace thermo
