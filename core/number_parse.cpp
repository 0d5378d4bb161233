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

// Length of the grouping space at the front of s (space, U+00A0 or U+202F in UTF-8), or 0.
std::size_t groupingSpace(std::string_view s) {
    for (const std::string_view space : {" ", "\u00A0", "\u202F"}) {
        if (s.substr(0, space.size()) == space) {
            return space.size();
        }
    }
    return 0;
}

enum class Fault { None, NotANumber, TooLarge };

struct Parsed {
    double value = 0.0;
    Fault fault = Fault::None;
};

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

Parsed parse(std::string_view s, std::string_view separator) {
    constexpr Parsed notANumber{0.0, Fault::NotANumber};
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
    std::string whole(s.substr(i, end - i));
    i = end;
    // Groups of exactly three digits after a first group of one to three; a space that does
    // not start such a group is left where it is, and the text then fails below.
    if (!whole.empty() && whole.size() <= 3) {
        while (const std::size_t space = groupingSpace(s.substr(i))) {
            end = digitsFrom(i + space);
            if (end - (i + space) != 3) {
                break;
            }
            whole += s.substr(i + space, 3);
            i = end;
        }
    }
    std::string_view fraction;
    if (!separator.empty() && s.substr(i, separator.size()) == separator) {
        i += separator.size();
        end = digitsFrom(i);
        fraction = s.substr(i, end - i);
        i = end;
    }
    if (whole.empty() && fraction.empty()) {
        return notANumber;
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
            return notANumber;
        }
        exponentDigits = s.substr(i, end - i);
        i = end;
    }
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    if (i != s.size()) {
        return notANumber;
    }

    // Rebuilt in the one form from_chars reads, so that its correctly rounded conversion is
    // used without any of its extra forms (inf, nan, hexadecimal) ever reaching it.
    std::string plain;
    plain.reserve(whole.size() + fraction.size() + exponentDigits.size() + 5);
    if (negative) {
        plain += '-';
    }
    plain += whole.empty() ? std::string_view("0") : std::string_view(whole);
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
    const double zero = negative ? -0.0 : 0.0;
    if (result.ec == std::errc::result_out_of_range) {
        if (whole.find_first_not_of('0') == std::string::npos &&
            fraction.find_first_not_of('0') == std::string_view::npos) {
            return {zero};
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
            return {0.0, Fault::TooLarge};
        }
        return {zero}; // below the smallest double: zero
    }
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) {
        return notANumber;
    }
    return {value};
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The text as the locale writes it, when the one thing wrong with it is a decimal point typed
// for a comma or a comma for a point. A point followed by exactly three digits ("10.000") may
// be a thousands separator: suggesting "10,000" could turn ten thousand into ten, so nothing
// is suggested then.
std::string otherSeparatorMended(std::string_view text, std::string_view separator) {
    if (separator != "," && separator != ".") {
        return {};
    }
    const char typed = separator == "," ? '.' : ',';
    const std::string_view s = trimmed(text);
    const auto at = s.find(typed);
    if (at == std::string_view::npos || s.find(typed, at + 1) != std::string_view::npos) {
        return {};
    }
    std::size_t digits = at + 1;
    while (digits < s.size() && isDigit(s[digits])) {
        ++digits;
    }
    if (at > 0 && isDigit(s[at - 1]) && digits - at - 1 == 3) {
        return {};
    }
    std::string mended(s);
    mended[at] = separator.front();
    return parse(mended, separator).fault == Fault::None ? mended : std::string();
}

} // namespace

double parseNumber(const std::string& text, const NumberLocale& locale) {
    const Parsed parsed = parse(text, locale.decimalSeparator);
    switch (parsed.fault) {
    case Fault::None:
        return parsed.value;
    case Fault::TooLarge:
        throw Failure(FailureKind::Overflow, "Nombre trop grand");
    case Fault::NotANumber:
        break;
    }
    throw Failure(FailureKind::TypeMismatch, "Ce texte n'est pas un nombre");
}

double parseNumber(const std::string& text, const NumberSubject& subject,
                   const NumberLocale& locale) {
    const Parsed parsed = parse(text, locale.decimalSeparator);
    switch (parsed.fault) {
    case Fault::None:
        return parsed.value;
    case Fault::TooLarge:
        throw Failure(FailureKind::Overflow,
                      subject.name + (subject.feminine ? " est trop grande" : " est trop grand"));
    case Fault::NotANumber:
        break;
    }
    if (trimmed(text).empty()) {
        throw Failure(FailureKind::TypeMismatch, subject.name + " est vide");
    }
    const std::string mended = otherSeparatorMended(text, locale.decimalSeparator);
    if (!mended.empty()) {
        throw Failure(FailureKind::TypeMismatch,
                      subject.name + " s'écrit avec " +
                          (locale.decimalSeparator == "," ? "une virgule" : "un point") + " : " +
                          mended);
    }
    throw Failure(FailureKind::TypeMismatch, subject.name + " n'est pas un nombre");
}

} // namespace thermo
