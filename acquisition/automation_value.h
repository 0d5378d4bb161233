#pragma once

#include "core/number_locale.h"

#include <cstdint>
#include <string>
#include <variant>

namespace thermo {

// What an automation call hands back: nothing, an integer, a double or a text.
using AutomationValue = std::variant<std::monostate, std::int64_t, double, std::string>;

// Coerces a returned value to a 32-bit code: a fraction rounds to the nearest integer, halves
// to even; a text is read as a number in the locale; an empty or non-numeric value throws
// Failure(TypeMismatch), one outside the 32-bit range Failure(Overflow).
std::int32_t coerceToInt32(const AutomationValue& value, const NumberLocale& locale = {});

} // namespace thermo
