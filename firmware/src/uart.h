#pragma once

#include <stdint.h>

// The serial line to the computer: 115200 baud, 8N1. Reception is buffered by interrupt so that
// a request arriving during an ADC measurement is not lost.
namespace uart {

void begin();
bool available();
uint8_t read();
void write(char c);
void print(const char* text);
void printNumber(uint32_t value);
void endLine();

} // namespace uart
