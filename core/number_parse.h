#pragma once

#include "core/number_locale.h"

#include <string>

namespace thermo {

// Text to double. Accepted: optional spaces around, an optional sign, decimal digits with at
// most one decimal separator of the locale (also first or last, as in ",5" or "5,"), and an
// optional exponent (E or e, optional sign, digits). Anything else, the empty text included,
// throws Failure(TypeMismatch); a value beyond the double range throws Failure(Overflow).
double parseNumber(const std::string& text, const NumberLocale& locale = {});

} // namespace thermo
