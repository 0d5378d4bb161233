#include "core/calibration_texts.h"

#include "core/failure.h"
#include "core/number_parse.h"
#include "core/number_text.h"
#include "core/thermistor.h"

#include <charconv>
#include <cmath>

namespace thermo {

namespace {

double significant(double x, int digits) {
    char buffer[40];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, digits - 1)
            .ptr;
    double rounded = 0.0;
    std::from_chars(buffer, end, rounded);
    return rounded;
}

// Worst case over the range, on a grid of thermistor resistances 0.5 °C apart: the law is
// smooth and monotonic, so the difference between two parameter sets varies slowly with Rth.
bool reproduces(const BParameterFit& fit, double a, double b) {
    constexpr int steps = 240;
    constexpr double step = (calibrationHighestCelsius - calibrationLowestCelsius) / steps;
    try {
        for (int i = 0; i <= steps; ++i) {
            const double kelvin = calibrationLowestCelsius + i * step + kelvinOffset;
            const double rth = fit.a * std::exp(fit.b * (1.0 / kelvin - 1.0 / referenceKelvin));
            const double difference =
                thermistorTemperature(rth, a, b) - thermistorTemperature(rth, fit.a, fit.b);
            if (!(std::abs(difference) < calibrationTextTolerance)) {
                return false;
            }
        }
    } catch (const Failure&) {
        return false; // too few digits can make the law impossible at one end
    }
    return true;
}

} // namespace

CalibrationTexts calibrationTexts(const BParameterFit& fit, const NumberLocale& locale) {
    // Number texts carry 15 significant digits at most, far more than any fit needs.
    constexpr int mostDigits = 15;
    CalibrationTexts texts;
    for (int digits = 1; digits <= mostDigits; ++digits) {
        texts = {numberText(significant(fit.a, digits), locale),
                 numberText(significant(fit.b, digits), locale)};
        if (reproduces(fit, parseNumber(texts.a, locale), parseNumber(texts.b, locale))) {
            break;
        }
    }
    return texts;
}

} // namespace thermo
