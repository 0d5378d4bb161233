#pragma once

#include <stdint.h>

// Conversion to the codes of the acquisition interface the program was written for:
// code = 32768 + round(U * 3276.8), U in volts, clamped to 0...65535.
namespace codes {

// Supply voltage in millivolts from the bandgap sum: Vcc = Vbg * 1024 / n.
uint16_t supplyMillivolts(uint16_t bandgapSum, uint16_t bandgapMillivolts);
// Code of an input whose converter sum is `sum`, with U = n * Vcc / 1024.
uint16_t ofInput(uint16_t sum, uint16_t supplyMillivolts);
// Code of a voltage given in millivolts.
uint16_t ofMillivolts(uint16_t millivolts);
// Code of the supply input A1: an input at the top of the scale is the supply itself.
uint16_t ofSupplyInput(uint16_t sum, uint16_t supplyMillivolts);

} // namespace codes
