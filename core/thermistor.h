#pragma once

#include "core/number_locale.h"

#include <string>

namespace thermo {

inline constexpr double supplyThreshold = 4.9; // volts, strict comparison
inline constexpr int referenceKelvin = 298;    // 25 °C as the formula uses it
inline constexpr int kelvinOffset = 273;

bool supplyHighEnough(double ut);

// Temperature in °C of the thermistor from the divider's voltages and the three parameter
// texts, by the B-parameter law in its fixed order of operations. Each failure is raised as a
// Failure whose kind says what went wrong and whose message names the likely cause.
double thermistorTemperature(double uth, double ut, const std::string& r, const std::string& a,
                             const std::string& b, const NumberLocale& locale = {});

} // namespace thermo
