#pragma once

#include <stdint.h>

// The 10-bit converter, referenced to AVcc (the board's own supply). Readings are sums of
// `analog::samples` conversions: averaging adds resolution that the interface's codes
// (0.3 mV each) can show, and smooths the noise of a USB supply.
namespace analog {

constexpr uint8_t samples = 16;
constexpr uint16_t fullScaleSum = 1023u * samples;

void begin();
// Sum of `samples` conversions of input A0...A5.
uint16_t readPinSum(uint8_t pin);
// Sum of `samples` conversions of the internal 1.1 V bandgap against AVcc.
uint16_t readBandgapSum();

} // namespace analog
