#pragma once

#include <cstdint>

namespace thermo::firmata {

inline constexpr double defaultReference = 5.0; // volts: an Uno's converter runs on its supply

// The interface's code of a converter reading: volts = value × reference / (2^bits − 1), then
// code = 32768 + volts × 3276.8 rounded half to even and held within 0...65535. `value` may be
// a mean, hence not whole. Throws Failure(InvalidArgument) for bits outside 1...16, a reference
// that is not a positive finite number of volts, or a value that is not finite.
std::int32_t interfaceCode(double value, int bits, double reference = defaultReference);

} // namespace thermo::firmata
