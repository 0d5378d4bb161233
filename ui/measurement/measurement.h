#pragma once

#include "core/circuit_parameters.h"
#include "core/field_texts.h"
#include "core/measurement_cycle.h"
#include "core/reading.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <memory>

class QTimer;

namespace thermo {

class OrphyBinding;
class OrphyControl;
class SessionRecord;

// The program's measurement, from start-up to its end, whichever windows show it: the
// acquisition control orphy1, the circuit parameters as last validated, the timer Timer1 that
// runs the measurement cycle ten times a second, and the session's record. It needs no widget:
// a program with no window measures and records all the same.
//
// Whatever follows the readings (a window, the curve, a journal, the class network) connects
// to readingTaken; the main window, while it exists, is also the field set the cycle writes,
// field by field in the cycle's order.
class Measurement : public QObject {
    Q_OBJECT
public:
    static constexpr int tickMilliseconds = 100;

    explicit Measurement(NumberLocale locale, QObject* parent = nullptr);
    ~Measurement() override;

    OrphyControl& control() noexcept { return *control_; }
    SessionRecord& record() noexcept { return *record_; }
    MeasurementCycle& cycle() noexcept { return *cycle_; }
    QTimer& timer() noexcept { return *timer_; }
    const NumberLocale& locale() const noexcept { return locale_; }
    const CircuitParameters& parameters() const noexcept { return parameters_; }
    // The last reading published; an empty one before the first tick.
    const Reading& lastReading() const noexcept { return last_; }

    // The fields the cycle writes: the main window while it exists; null puts back the texts
    // kept here, which a program without a window reads (fieldTexts).
    void setFields(MainWindowFields* fields) noexcept;
    const FieldTexts& fieldTexts() const noexcept { return texts_; }

    // Timer1 runs from the first Validation on; starting it again changes nothing.
    void start();
    // No more ticks: the program is ending.
    void stop();

public slots:
    // Validation: the texts are in force from the next tick on.
    void setParameters(const thermo::CircuitParameters& parameters);
    // Timer1's handler: one measurement. A Failure (bad parameter, faulty circuit, no answer
    // from the interface) is shown in the temperature field and the next tick measures again,
    // so the temperature comes back by itself once the cause is gone. Anything else is a
    // defect: the measurement stops and defectFound says it.
    void tick();

signals:
    // Every tick that was not a defect, failed ones included, after the fields were written.
    void readingTaken(const thermo::Reading& reading);
    void parametersChanged(const thermo::CircuitParameters& parameters);
    // The measurement stopped on an error of the program itself; telling the user and ending
    // are the application's.
    void defectFound(const QString& error);

private:
    class Fields;

    void stopOnDefect(const QString& error);
    void timerFired();

    NumberLocale locale_;
    CircuitParameters parameters_ = CircuitParameters::defaults();
    FieldTexts texts_;
    std::unique_ptr<Fields> fields_;
    OrphyControl* control_;
    std::unique_ptr<OrphyBinding> binding_;
    std::unique_ptr<MeasurementCycle> cycle_;
    QTimer* timer_;
    std::unique_ptr<SessionRecord> record_;
    Reading last_;
    Reading::Clock::time_point lastFired_{};
};

} // namespace thermo

Q_DECLARE_METATYPE(thermo::Reading)
Q_DECLARE_METATYPE(thermo::CircuitParameters)
