// hexText on arbitrary texts: capital base-16 digits of the rounded 32-bit number, or a
// TypeMismatch/Overflow.
#include "core/core.h"
#include "fuzz/fuzz_input.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using thermo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto [locale, text] = thermo::fuzz::numberInput(data, size);
    std::string hex;
    try {
        hex = thermo::hexText(text, locale);
    } catch (const thermo::Failure& f) {
        thermo::fuzz::checkReadingFailure(f);
        return 0;
    }
    check(!hex.empty() && hex.size() <= 8);
    check(hex.size() == 1 || hex[0] != '0');
    for (const char c : hex) {
        check((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    }
    const double whole = std::nearbyint(thermo::parseNumber(text, locale));
    char expected[16];
    std::snprintf(expected, sizeof expected, "%X",
                  static_cast<unsigned>(static_cast<std::int32_t>(whole)));
    check(hex == expected);
    return 0;
}
