#pragma once

#include "core/number_locale.h"
#include "core/reading.h"

#include <optional>
#include <string>

namespace thermo {

inline constexpr const char* lowSupplyMessage = "Augmentez la tension d'alimentation";
inline constexpr int temperatureFontPoints = 18;
inline constexpr int messageFontPoints = 8;

// What the temperature field shows: the temperature in 18-point type, or in 8-point type the
// low-supply message or why there is no temperature.
struct TemperatureView {
    std::string text;
    int points = temperatureFontPoints;

    friend bool operator==(const TemperatureView&, const TemperatureView&) = default;
};

// What each measurement field shows for one reading. A field whose step the tick did not reach
// has no text: it keeps what it showed, and a channel that was not read leaves its fields
// stale, drawn as no longer measured.
struct ReadingView {
    std::optional<std::string> uth;     // volts across the thermistor
    std::optional<std::string> decimal; // EA0 code
    std::optional<std::string> hex;
    std::optional<std::string> binary;
    std::optional<std::string> ut; // supply volts
    std::optional<TemperatureView> temperature;
    bool ea0Stale = false;
    bool ea1Stale = false;
};

// The one place that decides what a reading looks like: the main window's fields, the giant
// display and the screen reader's announcements all show this.
ReadingView readingView(const Reading& reading, const NumberLocale& locale = {});
// readingView's temperature alone; none for a tick that ended before it.
std::optional<TemperatureView> temperatureView(const Reading& reading,
                                               const NumberLocale& locale = {});

} // namespace thermo
