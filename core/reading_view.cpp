#include "core/reading_view.h"

#include "core/number_text.h"

namespace thermo {

std::optional<TemperatureView> temperatureView(const Reading& reading, const NumberLocale& locale) {
    if (reading.failure) {
        return TemperatureView{reading.failure->message, messageFontPoints};
    }
    if (reading.celsius) {
        return TemperatureView{temperatureText(*reading.celsius, locale), temperatureFontPoints};
    }
    if (reading.lowSupply) {
        return TemperatureView{lowSupplyMessage, messageFontPoints};
    }
    return std::nullopt;
}

ReadingView readingView(const Reading& reading, const NumberLocale& locale) {
    ReadingView view;
    if (reading.code) {
        view.decimal = decimalText(*reading.code);
        view.hex = hexText(*view.decimal, locale);
        view.binary = binaryText(*reading.code);
    }
    if (reading.uth) {
        view.uth = voltageText(*reading.uth, locale);
    }
    if (reading.ut) {
        view.ut = voltageText(*reading.ut, locale);
    }
    view.temperature = temperatureView(reading, locale);
    view.ea0Stale = !reading.code;
    view.ea1Stale = !reading.ut;
    return view;
}

} // namespace thermo
