#include "core/slope_text.h"

#include "core/number_text.h"
#include "core/uncertainty_text.h"

#include <algorithm>
#include <cmath>

namespace thermo {

namespace {

std::string threeDigits(double x, const NumberLocale& locale) {
    if (x == 0.0 || !std::isfinite(x)) {
        return numberText(x, locale);
    }
    const int place = static_cast<int>(std::floor(std::log10(std::fabs(x)))) - 2;
    return fixedText(x, std::max(0, -place), locale);
}

} // namespace

std::string slopeText(double celsiusPerSecond, const NumberLocale& locale) {
    return threeDigits(celsiusPerSecond, locale) + " \u00B0C/s (" +
           threeDigits(celsiusPerSecond * 60.0, locale) + " \u00B0C/min)";
}

std::string slopeText(double celsiusPerSecond, double uncertainty, const NumberLocale& locale) {
    return uncertaintyText(celsiusPerSecond, uncertainty, locale) + " \u00B0C/s (" +
           uncertaintyText(celsiusPerSecond * 60.0, uncertainty * 60.0, locale) + " \u00B0C/min)";
}

} // namespace thermo
