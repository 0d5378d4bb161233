#pragma once

#include <stdint.h>

// One request line of the protocol (docs/protocole-carte.md), answered with exactly one line.
// `line` is modified in place.
namespace requests {

constexpr uint8_t maxLength = 40;

void answer(char* line, uint8_t length);
// Answer to a line that did not fit in `maxLength` characters.
void answerTooLong();

} // namespace requests
