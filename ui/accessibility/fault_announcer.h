#pragma once

#include "core/number_locale.h"

#include <QObject>
#include <QString>

class QWidget;

namespace thermo {

class Measurement;
class SpokenNotice;
struct Reading;

// Tells a screen reader, once, that the measurement stopped giving a temperature (a fault, a
// parameter, the supply) and once that it came back, through a notice of the main window. What
// the temperature field says is not repeated at every tick.
class FaultAnnouncer : public QObject {
    Q_OBJECT
public:
    // A new state is told after it held this many readings, so that a reading that strays
    // alone (the last code of a shorted thermistor) is not announced.
    static constexpr int steadyReadings = 3;

    FaultAnnouncer(Measurement& measurement, QWidget& window);

    // The last announcement, empty before the first.
    QString announced() const;

private:
    void take(const Reading& reading);

    NumberLocale locale_;
    SpokenNotice* notice_;
    QString told_;      // the state last announced, empty while measuring
    QString candidate_; // a state seen in the last readings, not told yet
    int seen_ = 0;
};

} // namespace thermo
