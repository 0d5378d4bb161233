#pragma once

#include "core/number_locale.h"
#include "core/spoken_value.h"

#include <QString>
#include <optional>

namespace thermo {

struct Reading;

// The temperature of the readings as a listener hears it: SpokenValue's pace, written as the
// temperature field shows it ("58,9 °C").
class SpokenTemperature {
public:
    SpokenTemperature(NumberLocale locale, SpokenValue::Pace pace)
        : locale_(std::move(locale)), value_(pace) {}

    // A temperature worth saying now; nothing for a reading without one.
    std::optional<QString> offer(const Reading& reading);
    // The reading's temperature at once, if it has one.
    std::optional<QString> sayNow(const Reading& reading);
    void forget() noexcept { value_.forget(); }

private:
    std::optional<QString> text(std::optional<double> celsius) const;

    NumberLocale locale_;
    SpokenValue value_;
};

} // namespace thermo
