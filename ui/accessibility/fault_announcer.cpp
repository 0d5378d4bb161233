#include "ui/accessibility/fault_announcer.h"

#include "core/reading_view.h"
#include "ui/accessibility/spoken_notice.h"
#include "ui/measurement/measurement.h"

namespace thermo {

FaultAnnouncer::FaultAnnouncer(Measurement& measurement, QWidget& window)
    : QObject(&window), locale_(measurement.locale()),
      notice_(new SpokenNotice(QStringLiteral("faultNotice"), window)) {
    connect(&measurement, &Measurement::readingTaken, this, &FaultAnnouncer::take);
}

QString FaultAnnouncer::announced() const {
    return notice_->said();
}

void FaultAnnouncer::take(const Reading& reading) {
    const auto view = temperatureView(reading, locale_);
    const QString state =
        reading.hasTemperature() || !view ? QString() : QString::fromStdString(view->text);
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
