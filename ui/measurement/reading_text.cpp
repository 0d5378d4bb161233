#include "ui/measurement/reading_text.h"

#include "core/measurement_cycle.h"
#include "core/number_text.h"
#include "core/reading.h"

namespace thermo {

QString temperatureFieldText(const Reading& reading, const NumberLocale& locale) {
    if (reading.failure) {
        return QString::fromStdString(reading.failure->message);
    }
    if (reading.celsius) {
        return QString::fromStdString(temperatureText(*reading.celsius, locale));
    }
    return QString::fromUtf8(lowSupplyMessage);
}

} // namespace thermo
