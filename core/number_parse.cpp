#include "core/number_parse.h"

#include "core/digits.h"
#include "core/failure.h"

#include <charconv>
#include <cstdint>
#include <string_view>

namespace thermo {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

[[noreturn]] void notANumber() {
    throw Failure(FailureKind::TypeMismatch, "Ce texte n'est pas un nombre");
}

// Decimal exponent of the first significant digit, to tell an overflow from an underflow
// when the value does not fit a double. Saturates instead of wrapping.
std::int64_t magnitude(std::string_view whole, std::string_view fraction, std::int64_t exponent) {
    const auto first = whole.find_first_not_of('0');
    if (first != std::string_view::npos) {
        return exponent + static_cast<std::int64_t>(whole.size() - first);
    }
    const auto firstFraction = fraction.find_first_not_of('0');
    return exponent - static_cast<std::int64_t>(firstFraction);
}

} // namespace

double parseNumber(const std::string& text, const NumberLocale& locale) {
    const std::string_view s(text);
    const std::string_view separator(locale.decimalSeparator);
    std::size_t i = 0;
    const auto digitsFrom = [&](std::size_t from) {
        std::size_t j = from;
        while (j < s.size() && isDigit(s[j])) {
            ++j;
        }
        return j;
    };

    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        ++i;
    }
    std::size_t end = digitsFrom(i);
    const std::string_view whole = s.substr(i, end - i);
    i = end;
    std::string_view fraction;
    if (!separator.empty() && s.substr(i, separator.size()) == separator) {
        i += separator.size();
        end = digitsFrom(i);
        fraction = s.substr(i, end - i);
        i = end;
    }
    if (whole.empty() && fraction.empty()) {
        notANumber();
    }
    bool negativeExponent = false;
    std::string_view exponentDigits;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        negativeExponent = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
            ++i;
        }
        end = digitsFrom(i);
        if (end == i) {
            notANumber();
        }
        exponentDigits = s.substr(i, end - i);
        i = end;
    }
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    if (i != s.size()) {
        notANumber();
    }

    // Rebuilt in the one form from_chars reads, so that its correctly rounded conversion is
    // used without any of its extra forms (inf, nan, hexadecimal) ever reaching it.
    std::string plain;
    plain.reserve(whole.size() + fraction.size() + exponentDigits.size() + 5);
    if (negative) {
        plain += '-';
    }
    plain += whole.empty() ? std::string_view("0") : whole;
    if (!fraction.empty()) {
        plain += '.';
        plain += fraction;
    }
    if (!exponentDigits.empty()) {
        plain += negativeExponent ? "e-" : "e";
        plain += exponentDigits;
    }
    double value = 0.0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (whole.find_first_not_of('0') == std::string_view::npos &&
            fraction.find_first_not_of('0') == std::string_view::npos) {
            return negative ? -0.0 : 0.0;
        }
        constexpr std::int64_t limit = 1'000'000'000;
        std::int64_t exponent = 0;
        for (const char c : exponentDigits) {
            exponent = exponent >= limit ? limit : exponent * 10 + (c - '0');
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
        if (magnitude(whole, fraction, exponent) > 0) {
            throw Failure(FailureKind::Overflow, "Nombre trop grand");
        }
        return negative ? -0.0 : 0.0; // below the smallest double: zero
    }
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) {
        notANumber();
    }
    return value;
}

} // namespace thermo
