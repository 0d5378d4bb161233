#pragma once

#include "core/number_locale.h"
#include "core/reading.h"

#include <chrono>
#include <deque>
#include <string>

namespace thermo {

// The reference temperature typed for a calibration point, in °C. Not a number, or at or below
// -273 °C, is a Failure (TypeMismatch, Overflow or InvalidArgument) with a French message.
double parseReferenceCelsius(const std::string& text, const NumberLocale& locale = {});

// Keeps the readings of the last second, and from them the thermistor's resistance for a
// calibration point.
class CalibrationSampler {
public:
    static constexpr std::chrono::seconds span{1};

    void add(const Reading& reading);

    // Mean of Rth = R × Uth / (Ut - Uth) over the readings of the second before `now`, with R
    // the text typed in the parameters dialog. Refused with a Failure, and no value: R not a
    // number, no reading in that second, a latest reading that failed or lacks supply, or a
    // resistance that is not positive. Readings without a temperature before the latest one
    // are left out of the mean.
    double meanOhms(Reading::Clock::time_point now, const std::string& r,
                    const NumberLocale& locale = {}) const;

private:
    std::deque<Reading> recent_;
};

} // namespace thermo
