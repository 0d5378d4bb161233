#include "analog.h"
#include "requests.h"
#include "uart.h"

#include <avr/interrupt.h>
#include <avr/sleep.h>

namespace {

char line[requests::maxLength + 1];
uint8_t length = 0;
bool overflow = false;

void take(uint8_t c) {
    if (c == '\r') {
        return;
    }
    if (c == '\n') {
        if (overflow) {
            requests::answerTooLong();
        } else if (length > 0) {
            line[length] = '\0';
            requests::answer(line, length);
        }
        length = 0;
        overflow = false;
        return;
    }
    if (length < requests::maxLength) {
        line[length++] = static_cast<char>(c);
    } else {
        overflow = true;
    }
}

} // namespace

int main() {
    uart::begin();
    analog::begin();
    set_sleep_mode(SLEEP_MODE_IDLE);
    sei();
    // Tells the computer, which has just reset the board by opening the port, that what came
    // before (the bootloader's noise) is over.
    uart::print("READY");
    uart::endLine();

    for (;;) {
        cli();
        if (!uart::available()) {
            sleep_enable();
            sei();
            sleep_cpu();
            sleep_disable();
        }
        sei();
        while (uart::available()) {
            take(uart::read());
        }
    }
}
