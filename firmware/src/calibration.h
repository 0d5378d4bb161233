#pragma once

#include <stdint.h>

// The bandgap is 1.1 V only to within 10 % from one chip to the next, and every supply
// reading inherits its error. Its true value, measured once against a voltmeter, is kept in
// EEPROM; an unprogrammed EEPROM means "nominal".
namespace calibration {

constexpr uint16_t nominalBandgapMillivolts = 1100;
constexpr uint16_t lowestBandgapMillivolts = 1000;
constexpr uint16_t highestBandgapMillivolts = 1200;

uint16_t bandgapMillivolts();
// False (and nothing stored) when the value is outside the chip's tolerance.
bool storeBandgapMillivolts(uint16_t millivolts);

} // namespace calibration
