#pragma once

#include "core/calibration.h"
#include "core/number_locale.h"

#include <string>

namespace thermo {

// A and B as they are written into the parameters dialog: in the user's decimal separator,
// with the fewest significant digits for which the texts, read back as the measurement reads
// them, give the fitted law's temperatures to better than 0.01 °C from -20 to 100 °C.
struct CalibrationTexts {
    std::string a;
    std::string b;
};

inline constexpr double calibrationTextTolerance = 0.01; // °C
inline constexpr double calibrationLowestCelsius = -20.0;
inline constexpr double calibrationHighestCelsius = 100.0;

CalibrationTexts calibrationTexts(const BParameterFit& fit, const NumberLocale& locale = {});

} // namespace thermo
