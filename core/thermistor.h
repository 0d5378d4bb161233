#pragma once

#include "core/number_locale.h"

#include <string>

namespace thermo {

inline constexpr double supplyThreshold = 4.9; // volts, strict comparison
inline constexpr int referenceKelvin = 298;    // 25 °C as the formula uses it
inline constexpr int kelvinOffset = 273;
// A thermistor voltage this close to 0 V is a short circuit: two steps of a 10-bit converter
// under 5 V (4.9 mV each), what an Uno's converter may read on a grounded input. A sound
// thermistor is far above it: with R = A = 10 kΩ, B = 4275 K and 5 V, 10 mV means 20 Ω, or
// about 250 °C.
inline constexpr double shortCircuitVolts = 0.010;

bool supplyHighEnough(double ut);

// The text of parameter R, A or B as a number; a text that is not one is reported under the
// parameter's name ("Le paramètre R est vide").
double parseParameter(const std::string& text, char name, const NumberLocale& locale = {});

// Uth / (Ut - Uth): the thermistor's resistance over R, since the same current flows through
// both. Ut = Uth (an open thermistor) is a DivisionByZero.
double dividerRatio(double uth, double ut);

// Temperature in °C of the thermistor from the divider's voltages and the three parameter
// texts, by the B-parameter law in its fixed order of operations. Each failure is raised as a
// Failure whose kind says what went wrong and whose message names the likely cause. Once R and A
// are read, a Uth within shortCircuitVolts of 0 V is reported as the short circuit.
double thermistorTemperature(double uth, double ut, const std::string& r, const std::string& a,
                             const std::string& b, const NumberLocale& locale = {});

// The same law from the thermistor's resistance and the parameters as numbers. A B that is not
// positive, or a temperature at or below 0 K, is refused: such parameters cannot describe a
// thermistor.
double thermistorTemperature(double rth, double a, double b);

} // namespace thermo
