#include "ui/measurement/measurement.h"

#include "acquisition/orphy_binding.h"
#include "acquisition/orphy_control.h"
#include "acquisition/orphy_properties.h"
#include "core/reading_view.h"
#include "ui/recording/session_record.h"

#include <QTimer>
#include <chrono>
#include <exception>
#include <utility>

namespace thermo {

// What the cycle writes to: the window's fields while there is one, the kept texts otherwise.
class Measurement::Fields : public MainWindowFields {
public:
    explicit Fields(MainWindowFields& kept) : kept_(kept), target_(&kept) {}

    void setTarget(MainWindowFields* target) noexcept { target_ = target ? target : &kept_; }
    std::string text(Field field) const override { return target_->text(field); }
    void setText(Field field, const std::string& text) override { target_->setText(field, text); }
    void setTemperatureFontSize(int points) override { target_->setTemperatureFontSize(points); }

private:
    MainWindowFields& kept_;
    MainWindowFields* target_;
};

Measurement::Measurement(NumberLocale locale, QObject* parent)
    : QObject(parent), locale_(std::move(locale)), fields_(std::make_unique<Fields>(texts_)),
      control_(new OrphyControl(OrphyProperties::mainWindowSet(), this)),
      binding_(std::make_unique<OrphyBinding>(*control_, locale_)),
      cycle_(std::make_unique<MeasurementCycle>(*fields_, *binding_, locale_)),
      timer_(new QTimer(this)), record_(std::make_unique<SessionRecord>(locale_)) {
    // Consumers in other threads get the reading through a queued connection.
    qRegisterMetaType<Reading>();
    qRegisterMetaType<CircuitParameters>();
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(tickMilliseconds);
    // To the millisecond: a coarse timer may fire 5 % early or late on purpose.
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &Measurement::timerFired);
    connect(this, &Measurement::readingTaken, record_.get(), &SessionRecord::take);
}

Measurement::~Measurement() = default;

void Measurement::setFields(MainWindowFields* fields) noexcept {
    fields_->setTarget(fields);
}

void Measurement::start() {
    if (!timer_->isActive()) {
        timer_->start();
    }
}

void Measurement::stop() {
    timer_->stop();
}

void Measurement::setParameters(const CircuitParameters& parameters) {
    parameters_ = parameters;
    emit parametersChanged(parameters_);
}

void Measurement::tick() {
    try {
        last_ = takeReading(*cycle_, parameters_);
        if (last_.failure) {
            // Shown where the temperature would be; the program must not die in a lesson.
            const TemperatureView view = *temperatureView(last_, locale_);
            fields_->setTemperatureFontSize(view.points);
            fields_->setText(Field::Text1, view.text);
        }
        emit readingTaken(last_);
    } catch (const std::exception& error) {
        stopOnDefect(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        stopOnDefect(tr("exception d'un type inconnu"));
    }
}

// A tick that comes late (a busy machine) measures when it comes. Qt then fires the next one
// on the timer's old schedule, a few milliseconds later, to catch up; that one is dropped, so
// that two readings are never closer than half a period: a spreadsheet's difference quotient
// would spike on such a pair. The step after a late tick is longer instead.
void Measurement::timerFired() {
    const Reading::Clock::time_point now = Reading::Clock::now();
    if (now - lastFired_ < std::chrono::milliseconds(tickMilliseconds / 2)) {
        return;
    }
    lastFired_ = now;
    tick();
}

void Measurement::stopOnDefect(const QString& error) {
    timer_->stop();
    emit defectFound(error);
}

} // namespace thermo
