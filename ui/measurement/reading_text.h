#pragma once

#include <QString>

namespace thermo {

struct NumberLocale;
struct Reading;

// What the temperature field shows for a reading: the temperature, the low-supply message,
// or why there is no temperature.
QString temperatureFieldText(const Reading& reading, const NumberLocale& locale);

} // namespace thermo
