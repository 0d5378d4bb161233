#include "interface_codes.h"

#include "analog.h"

namespace {

constexpr uint32_t zeroCode = 32768;

uint16_t clamp(uint32_t offset) {
    const uint32_t code = zeroCode + offset;
    return code > 65535u ? 65535u : static_cast<uint16_t>(code);
}

} // namespace

namespace codes {

uint16_t supplyMillivolts(uint16_t bandgapSum, uint16_t bandgapMillivolts) {
    if (bandgapSum == 0) {
        return 0;
    }
    const uint32_t numerator = static_cast<uint32_t>(bandgapMillivolts) * 1024u * analog::samples;
    return static_cast<uint16_t>((numerator + bandgapSum / 2) / bandgapSum);
}

// U * 3276.8 with U = (sum / 16) * Vcc / 1024 and Vcc in mV reduces to sum * Vcc / 5000.
uint16_t ofInput(uint16_t sum, uint16_t supplyMillivolts) {
    const uint32_t product = static_cast<uint32_t>(sum) * supplyMillivolts;
    return clamp((product + 2500u) / 5000u);
}

uint16_t ofMillivolts(uint16_t millivolts) {
    return clamp((static_cast<uint32_t>(millivolts) * 32768u + 5000u) / 10000u);
}

uint16_t ofSupplyInput(uint16_t sum, uint16_t supplyMillivolts) {
    // A1 tied to the supply reads 1023, i.e. somewhere between 1022.5 and 1024 LSB: the
    // measured Vcc is the better value. Averaging at least 1022.5 counts as tied.
    constexpr uint16_t tiedThreshold = analog::fullScaleSum - analog::samples / 2;
    if (sum >= tiedThreshold) {
        return ofMillivolts(supplyMillivolts);
    }
    return ofInput(sum, supplyMillivolts);
}

} // namespace codes
