#include "ui/accessibility/spoken_temperature.h"

#include "core/number_text.h"
#include "core/reading.h"

namespace thermo {

std::optional<QString> SpokenTemperature::text(std::optional<double> celsius) const {
    if (!celsius) {
        return std::nullopt;
    }
    return QString::fromStdString(temperatureText(*celsius, locale_));
}

std::optional<QString> SpokenTemperature::offer(const Reading& reading) {
    return reading.gap() == Gap::None ? text(value_.offer(*reading.celsius, reading.time))
                                      : std::nullopt;
}

std::optional<QString> SpokenTemperature::sayNow(const Reading& reading) {
    return reading.gap() == Gap::None ? text(value_.sayNow(*reading.celsius, Reading::Clock::now()))
                                      : std::nullopt;
}

} // namespace thermo
