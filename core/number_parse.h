#pragma once

#include "core/number_locale.h"

#include <string>

namespace thermo {

// Text to double. Accepted: optional spaces around, an optional sign, decimal digits with at
// most one decimal separator of the locale (also first or last, as in ",5" or "5,"), and an
// optional exponent (E or e, optional sign, digits). The integer part may be grouped by
// threes with a space, a no-break space or a narrow no-break space ("10 000", "1 234 567,5"),
// in every locale. Anything else, the empty text included, throws Failure(TypeMismatch); a
// value beyond the double range throws Failure(Overflow).
double parseNumber(const std::string& text, const NumberLocale& locale = {});

// What a number typed by the user is called in a message, e.g. "Le paramètre R"; feminine
// names take the agreement ("La température de référence est trop grande").
struct NumberSubject {
    std::string name;
    bool feminine = false;
};

// parseNumber with the failure told about the subject: an empty field, a decimal point typed
// where the locale writes a comma (or the other way round, with the text written as it should
// be), or not a number at all (TypeMismatch); too large (Overflow).
double parseNumber(const std::string& text, const NumberSubject& subject,
                   const NumberLocale& locale = {});

} // namespace thermo
