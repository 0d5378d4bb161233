#include "ui/accessibility/temperature_voice.h"

#include "ui/measurement/measurement.h"

#include <QEvent>
#include <QWidget>

namespace thermo {

TemperatureVoice::TemperatureVoice(Measurement& measurement, QWidget& field, QString restingName)
    : QObject(&field), measurement_(measurement), field_(field),
      restingName_(std::move(restingName)), spoken_(measurement.locale(), pace) {
    field_.setAccessibleName(restingName_);
    field_.installEventFilter(this);
    connect(&measurement_, &Measurement::readingTaken, this, &TemperatureVoice::take);
}

// The name is set as the focus arrives, before Qt tells assistive technology of the new
// focus: it is what the field shows, and the screen reader says the label, not the name.
bool TemperatureVoice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &field_ && event->type() == QEvent::FocusIn) {
        const auto now = spoken_.sayNow(measurement_.lastReading());
        field_.setAccessibleName(now.value_or(restingName_));
    }
    return QObject::eventFilter(watched, event);
}

void TemperatureVoice::take(const Reading& reading) {
    if (!field_.hasFocus()) {
        spoken_.forget();
        return;
    }
    if (const auto said = spoken_.offer(reading)) {
        field_.setAccessibleName(*said);
    }
}

} // namespace thermo
