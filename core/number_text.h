#pragma once

#include "core/number_locale.h"

#include <cstdint>
#include <string>

namespace thermo {

inline constexpr const char* voltageSuffix = " V";
inline constexpr const char* temperatureSuffix = " \u00B0C";

// General text of a double: at most 15 significant digits, no trailing zeros, no grouping,
// the locale's decimal separator; magnitudes from 1E15 up use an exponent form (1,5E+15).
// A value that rounds to zero shows as 0, never -0.
std::string numberText(double x, const NumberLocale& locale = {});
std::string voltageText(double volts, const NumberLocale& locale = {});
// Rounds to one decimal (halves to even) before writing.
std::string temperatureText(double celsius, const NumberLocale& locale = {});
// x rounded half to even to `decimals` places (0 to 340) and written with exactly that many,
// zeros kept ("20,0", "0,00"): the digits say how fine the value is. A value that rounds to
// zero carries no sign.
std::string fixedText(double x, int decimals, const NumberLocale& locale = {});
std::string decimalText(std::int32_t n);
// Base 16, capital digits, no prefix, of the number held by the text s (read with
// parseNumber, then rounded half to even to an integer). A negative number gives its 32-bit
// two's complement in 8 digits; beyond the 32-bit range it is an Overflow.
std::string hexText(const std::string& s, const NumberLocale& locale = {});
// Base 2, most significant digit first, no leading zeros, as the cycle's Conversion writes it.
std::string binaryText(std::int32_t n);

} // namespace thermo
