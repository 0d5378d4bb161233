#include "ui/fault_announcer.h"

#include "core/reading.h"
#include "ui/accessible_roles.h"
#include "ui/measurement_loop.h"
#include "ui/reading_text.h"

#include <QWidget>
#include <utility>

namespace thermo {

FaultAnnouncer::FaultAnnouncer(MeasurementLoop& loop, NumberLocale locale, QWidget& window)
    : QObject(&window), locale_(std::move(locale)), notice_(new QWidget(&window)) {
    notice_->setObjectName(QStringLiteral("faultNotice"));
    setAccessibleRole(notice_, QAccessible::Notification);
    // A point of the ground with nothing drawn: it exists only for the screen reader.
    notice_->setGeometry(0, 0, 1, 1);
    notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
    notice_->setFocusPolicy(Qt::NoFocus);
    notice_->hide();
    connect(&loop, &MeasurementLoop::readingTaken, this, &FaultAnnouncer::take);
}

QString FaultAnnouncer::announced() const {
    return notice_->accessibleName();
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
    announce(state.isEmpty() ? tr("Mesure rétablie") : state);
}

void FaultAnnouncer::announce(const QString& words) {
    notice_->hide();
    notice_->setAccessibleName(words);
    notice_->show();
}

} // namespace thermo
