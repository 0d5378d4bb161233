#pragma once

#include <qcustomplot.h>

namespace thermo {

// Ticks of the curve's time axis. The data's keys are always seconds; a long span is labelled
// in minutes, with steps that are round numbers of minutes, because "5400" seconds tells a
// class less than "90" minutes.
class TimeTicker : public QCPAxisTicker {
public:
    // A visible span longer than this many seconds is labelled in minutes.
    static constexpr double minutesBeyondSeconds = 600;

    // Chooses the unit for a visible span; true when it changed.
    bool setSpan(double seconds);
    bool inMinutes() const noexcept { return minutes_; }
    // Ticks every `seconds`, set by hand; 0 lets the ticker choose.
    void setStep(double seconds) noexcept { step_ = seconds; }
    double step() const noexcept { return step_; }

protected:
    double getTickStep(const QCPRange& range) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                         int precision) override;

private:
    bool minutes_ = false;
    double step_ = 0;
};

} // namespace thermo
