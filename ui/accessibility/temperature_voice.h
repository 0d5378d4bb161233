#pragma once

#include "ui/accessibility/spoken_temperature.h"

#include <QObject>
#include <QString>
#include <chrono>

class QWidget;

namespace thermo {

class Measurement;
struct Reading;

// What a screen reader hears of the temperature field while the field has the keyboard focus:
// its label and temperature as the focus arrives, then each new temperature that truly
// changed, every two seconds at most (SpokenTemperature), as the field's accessible name,
// which Orca says when the name of the focused object changes. Away from the focus the field
// says nothing by itself: a fault and its end are the announcer's.
class TemperatureVoice : public QObject {
    Q_OBJECT
public:
    static constexpr SpokenValue::Pace pace{1, 0.025, std::chrono::seconds(2)};

    // `restingName` is the field's name while it shows no temperature.
    TemperatureVoice(Measurement& measurement, QWidget& field, QString restingName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void take(const Reading& reading);

    Measurement& measurement_;
    QWidget& field_;
    QString restingName_;
    SpokenTemperature spoken_;
};

} // namespace thermo
