#include "acquisition/automation_value.h"

#include "core/code_conversion.h"
#include "core/failure.h"
#include "core/number_parse.h"

#include <cmath>
#include <limits>

namespace thermo {

namespace {

constexpr auto int32Min = std::numeric_limits<std::int32_t>::min();
constexpr auto int32Max = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void outOfRange() {
    throw Failure(FailureKind::Overflow, "Acquisition : valeur hors limites");
}

std::int32_t fromInteger(std::int64_t n) {
    if (n < int32Min || n > int32Max) {
        outOfRange();
    }
    return static_cast<std::int32_t>(n);
}

std::int32_t fromDouble(double x) {
    if (std::isnan(x)) {
        throw Failure(FailureKind::TypeMismatch, "Acquisition : valeur non numérique");
    }
    if (std::isinf(x)) {
        outOfRange();
    }
    const double rounded = roundHalfEven(x, 0);
    if (rounded < static_cast<double>(int32Min) || rounded > static_cast<double>(int32Max)) {
        outOfRange();
    }
    return static_cast<std::int32_t>(rounded);
}

} // namespace

std::int32_t coerceToInt32(const AutomationValue& value, const NumberLocale& locale) {
    if (const auto* n = std::get_if<std::int64_t>(&value)) {
        return fromInteger(*n);
    }
    if (const auto* x = std::get_if<double>(&value)) {
        return fromDouble(*x);
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        return fromDouble(parseNumber(*text, locale));
    }
    // A call that returned nothing must not pass for a code of 0.
    throw Failure(FailureKind::TypeMismatch, "Acquisition : aucune valeur renvoyée");
}

} // namespace thermo
