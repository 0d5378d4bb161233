#pragma once

#include <QList>
#include <QObject>

namespace thermo {

class DisplayField;
class MeasurementLoop;
struct Reading;

// While the acquisition fails, the voltages and codes keep the last values read, in grey, so
// that nobody takes them for live ones; the next good reading brings them back to black.
class StaleReadings : public QObject {
    Q_OBJECT
public:
    // `ea0Fields` show the EA0 code and its voltage, `ea1Fields` the supply.
    StaleReadings(MeasurementLoop& loop, QList<DisplayField*> ea0Fields,
                  QList<DisplayField*> ea1Fields, QObject* parent = nullptr);

private:
    void take(const Reading& reading);

    QList<DisplayField*> ea0Fields_;
    QList<DisplayField*> ea1Fields_;
};

} // namespace thermo
