#include "core/number_text.h"

#include "core/code_conversion.h"
#include "core/failure.h"
#include "core/number_parse.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace thermo {

namespace {

constexpr int significantDigits = 15;
constexpr int exponentFrom = 15; // decimal exponent from which the exponent form is used

} // namespace

std::string numberText(double x, const NumberLocale& locale) {
    if (!std::isfinite(x)) {
        throw Failure(FailureKind::Overflow, "Dépassement de capacité dans le calcul");
    }
    if (x == 0.0) {
        return "0"; // -0 too: a value that rounds to zero carries no sign
    }
    // Scientific notation with 15 significant digits does the rounding; the digits and the
    // exponent are then laid out in the general form.
    std::array<char, 40> buffer;
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(x),
                                   std::chars_format::scientific, significantDigits - 1)
                         .ptr;
    const std::string_view sci(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const auto ePos = sci.find('e');
    std::string digits;
    digits += sci[0];
    if (ePos > 2) {
        digits.append(sci.substr(2, ePos - 2));
    }
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 2, sci.data() + sci.size(), exponent);
    if (sci[ePos + 1] == '-') {
        exponent = -exponent;
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }

    std::string text = x < 0 ? "-" : "";
    const auto count = static_cast<int>(digits.size());
    if (exponent >= exponentFrom) {
        text += digits[0];
        if (count > 1) {
            text += locale.decimalSeparator;
            text.append(digits, 1);
        }
        text += "E+";
        if (exponent < 100) {
            text += '0' + exponent / 10;
            text += '0' + exponent % 10;
        } else {
            text += std::to_string(exponent);
        }
    } else if (exponent >= 0) {
        if (count <= exponent + 1) {
            text += digits;
            text.append(static_cast<std::size_t>(exponent + 1 - count), '0');
        } else {
            text.append(digits, 0, static_cast<std::size_t>(exponent + 1));
            text += locale.decimalSeparator;
            text.append(digits, static_cast<std::size_t>(exponent + 1));
        }
    } else {
        text += '0';
        text += locale.decimalSeparator;
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    }
    return text;
}

std::string voltageText(double volts, const NumberLocale& locale) {
    return numberText(volts, locale) + voltageSuffix;
}

std::string temperatureText(double celsius, const NumberLocale& locale) {
    return numberText(roundHalfEven(celsius, temperatureDecimals), locale) + temperatureSuffix;
}

std::string fixedText(double x, int decimals, const NumberLocale& locale) {
    const double rounded = roundHalfEven(x, decimals) + 0.0; // -0 becomes 0
    // 309 digits before the point at most, and as many after it as asked.
    std::array<char, 320 + 340> buffer;
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), rounded,
                                   std::chars_format::fixed, decimals)
                         .ptr;
    std::string text;
    for (const char* c = buffer.data(); c != end; ++c) {
        if (*c == '.') {
            text += locale.decimalSeparator;
        } else {
            text += *c;
        }
    }
    return text;
}

std::string decimalText(std::int32_t n) {
    std::array<char, 16> buffer;
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), n).ptr;
    return std::string(buffer.data(), end);
}

std::string hexText(const std::string& s, const NumberLocale& locale) {
    const double whole = roundHalfEven(parseNumber(s, locale), 0);
    if (whole < -2147483648.0 || whole > 2147483647.0) {
        throw Failure(FailureKind::Overflow, "Hexadécimal : valeur hors limites");
    }
    // Negative numbers show as their 32-bit two's complement.
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(whole));
    std::array<char, 16> buffer;
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), bits, 16).ptr;
    std::string text(buffer.data(), end);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string binaryText(std::int32_t n) {
    // Digit by digit from the least significant one, halving in double precision; a negative
    // number stops after its first digit.
    std::string reversed;
    double x = n;
    for (;;) {
        const double r = x - 2.0 * std::floor(x / 2.0);
        reversed += static_cast<char>('0' + static_cast<int>(r));
        if (!(x > 1.0)) {
            break;
        }
        x = std::floor(x / 2.0);
    }
    return std::string(reversed.rbegin(), reversed.rend());
}

} // namespace thermo
