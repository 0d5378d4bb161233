#include "ui/accessibility/fault_announcer.h"

#include "core/reading.h"
#include "ui/accessibility/spoken_notice.h"
#include "ui/measurement/measurement_loop.h"
#include "ui/measurement/reading_text.h"

#include <utility>

namespace thermo {

FaultAnnouncer::FaultAnnouncer(MeasurementLoop& loop, NumberLocale locale, QWidget& window)
    : QObject(&window), locale_(std::move(locale)),
      notice_(new SpokenNotice(QStringLiteral("faultNotice"), window)) {
    connect(&loop, &MeasurementLoop::readingTaken, this, &FaultAnnouncer::take);
}

QString FaultAnnouncer::announced() const {
    return notice_->said();
}

void FaultAnnouncer::take(const Reading& reading) {
    const QString state =
        reading.hasTemperature() ? QString() : temperatureFieldText(reading, locale_);
    if (state == told_) {
        seen_ = 0;
        return;
    }
    seen_ = state == candidate_ ? seen_ + 1 : 1;
    candidate_ = state;
    if (seen_ < steadyReadings) {
        return;
    }
    told_ = state;
    seen_ = 0;
    notice_->say(state.isEmpty() ? tr("Mesure rétablie") : state);
}

} // namespace thermo
