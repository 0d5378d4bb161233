#pragma once

#include "core/main_window_fields.h"
#include "core/measurement_cycle.h"
#include "core/reading.h"

#include <QMetaType>
#include <QObject>

class QTimer;

namespace thermo {

// The main window's recurring measurement: its timer Timer1, the measurement cycle, what a
// failing tick shows, and the one place each tick's reading is published from. Whatever
// follows the measurement (a curve, a recorder) connects to readingTaken.
class MeasurementLoop : public QObject {
    Q_OBJECT
public:
    static constexpr int tickMilliseconds = 100;

    // Starts Timer1. The fields and the source outlive the loop.
    MeasurementLoop(MainWindowFields& fields, ReadOperation& source, NumberLocale locale,
                    QObject* parent = nullptr);

    MeasurementCycle& cycle() noexcept { return cycle_; }
    QTimer& timer() noexcept { return *timer_; }

public slots:
    // Timer1's handler: one measurement. A Failure (bad parameter, faulty circuit, no answer
    // from the interface) is shown in the temperature field and the next tick measures again,
    // so the temperature comes back by itself once the cause is gone. Anything else is a
    // defect: measurement stops, the error is shown and the program ends with status 1.
    void tick();

signals:
    // Every tick that was not a defect, failed ones included, after the fields were written.
    void readingTaken(const thermo::Reading& reading);

private:
    void stopOnDefect(const QString& error);

    MainWindowFields& fields_;
    MeasurementCycle cycle_;
    QTimer* timer_;
};

} // namespace thermo

Q_DECLARE_METATYPE(thermo::Reading)
