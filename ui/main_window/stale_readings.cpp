#include "ui/main_window/stale_readings.h"

#include "core/reading.h"
#include "ui/main_window/display_field.h"
#include "ui/measurement/measurement_loop.h"

#include <utility>

namespace thermo {

StaleReadings::StaleReadings(MeasurementLoop& loop, QList<DisplayField*> ea0Fields,
                             QList<DisplayField*> ea1Fields, QObject* parent)
    : QObject(parent), ea0Fields_(std::move(ea0Fields)), ea1Fields_(std::move(ea1Fields)) {
    connect(&loop, &MeasurementLoop::readingTaken, this, &StaleReadings::take);
}

// A channel that was not read this tick left its fields as they were.
void StaleReadings::take(const Reading& reading) {
    for (DisplayField* field : ea0Fields_) {
        field->setStale(!reading.code.has_value());
    }
    for (DisplayField* field : ea1Fields_) {
        field->setStale(!reading.ut.has_value());
    }
}

} // namespace thermo
