// parseNumber on arbitrary bytes: a finite number or a TypeMismatch/Overflow, nothing else;
// an accepted text holds only the characters of the accepted forms; and the general text of
// the number, as it stands and with its integer digits grouped by threes, reads back as the
// number rounded to 15 significant digits.
#include "core/core.h"
#include "fuzz/fuzz_input.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

const std::array<std::string, 3> groupingSpaces{" ", "\u00A0", "\u202F"};

bool onlyNumberCharacters(const std::string& text, const std::string& separator) {
    for (std::size_t i = 0; i < text.size();) {
        bool skipped = false;
        for (const std::string& allowed : {separator, groupingSpaces[1], groupingSpaces[2]}) {
            if (!skipped && text.compare(i, allowed.size(), allowed) == 0) {
                i += allowed.size();
                skipped = true;
            }
        }
        if (skipped) {
            continue;
        }
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || c == ' ' || c == '\t' || c == '+' || c == '-' || c == 'e' ||
              c == 'E')) {
            return false;
        }
        ++i;
    }
    return true;
}

// The text with a space between each group of three digits of its integer part.
std::string grouped(std::string text, const std::string& space) {
    const std::size_t first = text[0] == '-' ? 1 : 0;
    std::size_t end = first;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    for (std::size_t at = end; at > first + 3; at -= 3) {
        text.insert(at - 3, space);
    }
    return text;
}

} // namespace

using thermo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto [locale, text] = thermo::fuzz::numberInput(data, size);
    double x = 0.0;
    try {
        x = thermo::parseNumber(text, locale);
    } catch (const thermo::Failure& f) {
        thermo::fuzz::checkReadingFailure(f);
        return 0;
    }
    check(std::isfinite(x));
    check(onlyNumberCharacters(text, locale.decimalSeparator));

    char buffer[40];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14).ptr;
    double rounded = 0.0;
    std::from_chars(buffer, end, rounded);
    const std::string general = thermo::numberText(x, locale);
    check(thermo::parseNumber(general, locale) == rounded);
    check(thermo::parseNumber(grouped(general, groupingSpaces[(data[0] >> 1) % 3]), locale) ==
          rounded);
    return 0;
}
