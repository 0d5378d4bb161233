#include "requests.h"

#include "analog.h"
#include "calibration.h"
#include "interface_codes.h"
#include "uart.h"

#include <string.h>

namespace {

constexpr uint8_t thermistorPin = 0;
constexpr uint8_t supplyPin = 1;

// Splits off a trailing " #<0...65535>" tag, which the answer repeats so that the computer can
// tell the answer to this request from a late answer to an earlier one.
bool takeTag(char* line, uint8_t& length, uint16_t& tag) {
    uint8_t i = length;
    uint32_t value = 0;
    uint32_t scale = 1;
    while (i > 0 && line[i - 1] >= '0' && line[i - 1] <= '9') {
        --i;
        value += scale * static_cast<uint32_t>(line[i] - '0');
        scale *= 10;
    }
    const uint8_t digits = length - i;
    if (digits == 0 || digits > 5 || value > 65535u || i < 2 || line[i - 1] != '#' ||
        line[i - 2] != ' ') {
        return false;
    }
    tag = static_cast<uint16_t>(value);
    length = i - 2;
    line[length] = '\0';
    return true;
}

void toUpper(char* text) {
    for (; *text != '\0'; ++text) {
        if (*text >= 'a' && *text <= 'z') {
            *text = static_cast<char>(*text - 'a' + 'A');
        }
    }
}

bool parseMillivolts(const char* text, uint16_t& value) {
    uint32_t v = 0;
    if (*text == '\0') {
        return false;
    }
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9') {
            return false;
        }
        v = v * 10 + static_cast<uint32_t>(*text - '0');
        if (v > 65535u) {
            return false;
        }
    }
    value = static_cast<uint16_t>(v);
    return true;
}

uint16_t supplyMillivolts() {
    return codes::supplyMillivolts(analog::readBandgapSum(), calibration::bandgapMillivolts());
}

// A user who measured the 5 V pin with a voltmeter gives its value: the bandgap is then
// Vbg = Vcc * n / 1024.
bool calibrate(uint16_t trueSupplyMillivolts) {
    const uint32_t sum = analog::readBandgapSum();
    const uint32_t scale = 1024u * analog::samples;
    const uint32_t bandgap = (trueSupplyMillivolts * sum + scale / 2) / scale;
    return bandgap <= 65535u && calibration::storeBandgapMillivolts(static_cast<uint16_t>(bandgap));
}

void finish(bool tagged, uint16_t tag) {
    if (tagged) {
        uart::print(" #");
        uart::printNumber(tag);
    }
    uart::endLine();
}

} // namespace

namespace requests {

void answer(char* line, uint8_t length) {
    uint16_t tag = 0;
    const bool tagged = takeTag(line, length, tag);
    while (length > 0 && line[length - 1] == ' ') {
        line[--length] = '\0';
    }
    toUpper(line);

    if (strcmp(line, "*IDN?") == 0) {
        uart::print("THERMOMETRE,CARTE-CTN," BOARD_SERIAL "," FIRMWARE_VERSION);
    } else if (strcmp(line, "MEAS:EA0?") == 0 || strcmp(line, "MEAS:EA1?") == 0) {
        const uint16_t vcc = supplyMillivolts();
        if (vcc == 0) {
            uart::print("ERR:MESURE");
        } else if (line[7] == '0') {
            uart::printNumber(codes::ofInput(analog::readPinSum(thermistorPin), vcc));
        } else {
            uart::printNumber(codes::ofSupplyInput(analog::readPinSum(supplyPin), vcc));
        }
    } else if (strcmp(line, "MEAS:VCC?") == 0) {
        uart::printNumber(supplyMillivolts());
    } else if (strcmp(line, "CAL:VBG?") == 0) {
        uart::printNumber(calibration::bandgapMillivolts());
    } else if (strncmp(line, "CAL:VCC ", 8) == 0) {
        uint16_t millivolts = 0;
        const bool done = parseMillivolts(line + 8, millivolts) && calibrate(millivolts);
        uart::print(done ? "OK" : "ERR:VALEUR");
    } else {
        uart::print("ERR:COMMANDE");
    }
    finish(tagged, tag);
}

void answerTooLong() {
    uart::print("ERR:LONGUEUR");
    uart::endLine();
}

} // namespace requests
