// parseNumber on arbitrary bytes: a finite number or a TypeMismatch/Overflow, nothing else;
// an accepted text holds only the characters of the accepted forms; and the general text of
// the number reads back as the number rounded to 15 significant digits.
#include "core/core.h"
#include "fuzz/fuzz_input.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool onlyNumberCharacters(const std::string& text, const std::string& separator) {
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, separator.size(), separator) == 0) {
            i += separator.size();
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
    check(thermo::parseNumber(thermo::numberText(x, locale), locale) == rounded);
    return 0;
}
