#pragma once

#include "ui/accessibility/spoken_temperature.h"

#include <QObject>
#include <chrono>

class QWidget;

namespace thermo {

class Measurement;
struct Reading;

// What a screen reader hears of the temperature field while the field has the keyboard focus:
// the temperature as the focus arrives (the screen reader reads the field), then each new
// temperature that truly changed, every two seconds at most (SpokenTemperature), through the
// announcer. Away from the focus the field says nothing by itself: a fault and its end are
// the fault announcer's.
class TemperatureVoice : public QObject {
    Q_OBJECT
public:
    static constexpr SpokenValue::Pace pace{1, 0.025, std::chrono::seconds(2)};

    TemperatureVoice(Measurement& measurement, QWidget& field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void take(const Reading& reading);

    Measurement& measurement_;
    QWidget& field_;
    SpokenTemperature spoken_;
};

} // namespace thermo
