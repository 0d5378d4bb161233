#include "analog.h"

#include <avr/io.h>
#include <util/delay.h>

namespace {

constexpr uint8_t bandgapMux = 0x0E;

uint16_t convert() {
    ADCSRA |= _BV(ADSC);
    loop_until_bit_is_clear(ADCSRA, ADSC);
    return ADC;
}

uint16_t sumOf(uint8_t mux) {
    const uint8_t admux = _BV(REFS0) | mux;
    if (ADMUX != admux) {
        ADMUX = admux;
        // The bandgap needs time to settle once selected, and the sample capacitor still holds
        // the previous input: wait, then throw the first conversion away.
        if (mux == bandgapMux) {
            _delay_ms(1);
        }
        convert();
    }
    uint16_t sum = 0;
    for (uint8_t i = 0; i < analog::samples; ++i) {
        sum += convert();
    }
    return sum;
}

} // namespace

namespace analog {

void begin() {
    ADMUX = _BV(REFS0);
    // 16 MHz / 128 = 125 kHz, inside the 50-200 kHz range that gives the full 10 bits.
    ADCSRA = _BV(ADEN) | _BV(ADPS2) | _BV(ADPS1) | _BV(ADPS0);
    DIDR0 = _BV(ADC0D) | _BV(ADC1D);
}

uint16_t readPinSum(uint8_t pin) {
    return sumOf(pin & 0x07);
}

uint16_t readBandgapSum() {
    return sumOf(bandgapMux);
}

} // namespace analog
