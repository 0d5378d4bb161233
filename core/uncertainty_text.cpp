#include "core/uncertainty_text.h"

#include "core/failure.h"
#include "core/number_text.h"

#include <cmath>

namespace thermo {

namespace {

// The power of ten of x's one significant digit once x is rounded to it: 0,96 rounds to 1,
// whose place is 0, not -1.
int leadingPlace(double x) {
    if (!std::isfinite(x)) {
        throw Failure(FailureKind::InvalidArgument, "Incertitude non finie");
    }
    int place = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    if (std::fabs(std::nearbyint(x / std::pow(10.0, place))) >= 10.0) {
        ++place;
    }
    return place;
}

// x rounded to the power of ten `place`; tens and beyond are written as whole numbers.
std::string atPlace(double x, int place, const NumberLocale& locale) {
    if (place < 0) {
        return fixedText(x, -place, locale);
    }
    const double unit = std::pow(10.0, place);
    return fixedText(std::nearbyint(x / unit) * unit, 0, locale);
}

} // namespace

std::string uncertaintyText(double value, double uncertainty, const NumberLocale& locale) {
    if (uncertainty == 0.0) {
        return numberText(value, locale) + " \u00B1 0";
    }
    const int place = leadingPlace(uncertainty);
    return atPlace(value, place, locale) + " \u00B1 " + atPlace(uncertainty, place, locale);
}

std::string valueText(double value, double uncertainty, const NumberLocale& locale) {
    return uncertainty == 0.0 ? numberText(value, locale)
                              : atPlace(value, leadingPlace(uncertainty), locale);
}

std::string oneDigitText(double x, const NumberLocale& locale) {
    return x == 0.0 ? std::string("0") : atPlace(x, leadingPlace(x), locale);
}

} // namespace thermo
