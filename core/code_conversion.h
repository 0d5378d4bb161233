#pragma once

#include <cstdint>

namespace thermo {

inline constexpr std::int32_t codeOffset = 32768; // code of 0 V
inline constexpr double codesPerVolt = 3276.8;    // 65536 codes span 20 V
inline constexpr int voltageDecimals = 3;
inline constexpr int temperatureDecimals = 1;

// Rounds the exact binary value of x to `decimals` places, exact halves to the even digit.
// Throws Failure(InvalidArgument) for a non-finite x or decimals outside 0..340.
double roundHalfEven(double x, int decimals);

// Volts of an acquisition code: (code - 32768) / 3276.8, rounded to 3 decimals.
double voltageOf(std::int32_t code);

} // namespace thermo
