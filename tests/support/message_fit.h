#pragma once

#include <cstddef>
#include <string>

namespace thermo::test {

// Failure messages end up in the temperature field: at most 50 characters that wrap at spaces
// into two lines of 26 characters or fewer.
inline bool fitsTwoShortLines(const std::string& utf8) {
    constexpr std::size_t lineWidth = 26;
    std::size_t characters = 0;
    std::size_t line = 0;
    std::size_t lines = 1;
    std::size_t word = 0;
    const auto endWord = [&] {
        if (word == 0) {
            return;
        }
        const std::size_t needed = line == 0 ? word : line + 1 + word;
        if (needed <= lineWidth) {
            line = needed;
        } else {
            ++lines;
            line = word;
        }
        word = 0;
    };
    for (const unsigned char c : utf8) {
        if ((c & 0xC0) == 0x80) {
            continue; // continuation byte of a UTF-8 character
        }
        ++characters;
        if (c == ' ') {
            endWord();
        } else {
            ++word;
        }
    }
    endWord();
    return characters <= 50 && lines <= 2 && line <= lineWidth;
}

} // namespace thermo::test
