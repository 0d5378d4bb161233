#include "ui/accessibility/temperature_voice.h"

#include "ui/accessibility/announcer.h"
#include "ui/measurement/measurement.h"

#include <QEvent>
#include <QWidget>

namespace thermo {

TemperatureVoice::TemperatureVoice(Measurement& measurement, QWidget& field)
    : QObject(&field), measurement_(measurement), field_(field),
      spoken_(measurement.locale(), pace) {
    field_.installEventFilter(this);
    connect(&measurement_, &Measurement::readingTaken, this, &TemperatureVoice::take);
}

// The screen reader reads the field as the focus arrives: that is the temperature said.
bool TemperatureVoice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &field_ && event->type() == QEvent::FocusIn) {
        spoken_.sayNow(measurement_.lastReading());
    }
    return QObject::eventFilter(watched, event);
}

void TemperatureVoice::take(const Reading& reading) {
    if (!field_.hasFocus()) {
        spoken_.forget();
        return;
    }
    if (const auto said = spoken_.offer(reading)) {
        announce(field_, *said);
    }
}

} // namespace thermo
