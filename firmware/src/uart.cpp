#include "uart.h"

#include <avr/interrupt.h>
#include <avr/io.h>

namespace {

// Power of two so that the indices wrap with a mask; larger than the longest request.
constexpr uint8_t bufferSize = 64;
volatile uint8_t buffer[bufferSize];
volatile uint8_t head = 0;
volatile uint8_t tail = 0;

} // namespace

ISR(USART_RX_vect) {
    const uint8_t c = UDR0;
    const uint8_t next = (head + 1) & (bufferSize - 1);
    if (next != tail) {
        buffer[head] = c;
        head = next;
    }
}

namespace uart {

void begin() {
    // Double speed with UBRR = 16 gives 117647 baud at 16 MHz (+2.1 %), the setting the Uno's
    // own USB bridge is used to; single speed would be -3.5 %, too far off.
    UCSR0A = _BV(U2X0);
    UBRR0 = F_CPU / 8 / 115200 - 1;
    UCSR0C = _BV(UCSZ01) | _BV(UCSZ00);
    UCSR0B = _BV(RXEN0) | _BV(TXEN0) | _BV(RXCIE0);
}

bool available() {
    return head != tail;
}

uint8_t read() {
    const uint8_t c = buffer[tail];
    tail = (tail + 1) & (bufferSize - 1);
    return c;
}

void write(char c) {
    loop_until_bit_is_set(UCSR0A, UDRE0);
    UDR0 = static_cast<uint8_t>(c);
}

void print(const char* text) {
    while (*text != '\0') {
        write(*text++);
    }
}

void printNumber(uint32_t value) {
    char digits[10];
    uint8_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) {
        write(digits[--count]);
    }
}

void endLine() {
    write('\n');
}

} // namespace uart
