#include "calibration.h"

#include <avr/eeprom.h>

namespace {

uint16_t EEMEM storedBandgap = 0xFFFF;

bool plausible(uint16_t millivolts) {
    return millivolts >= calibration::lowestBandgapMillivolts &&
           millivolts <= calibration::highestBandgapMillivolts;
}

} // namespace

namespace calibration {

uint16_t bandgapMillivolts() {
    const uint16_t value = eeprom_read_word(&storedBandgap);
    return plausible(value) ? value : nominalBandgapMillivolts;
}

bool storeBandgapMillivolts(uint16_t millivolts) {
    if (!plausible(millivolts)) {
        return false;
    }
    eeprom_update_word(&storedBandgap, millivolts);
    return true;
}

} // namespace calibration
