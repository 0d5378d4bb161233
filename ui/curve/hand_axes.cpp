#include "ui/curve/hand_axes.h"

#include "ui/curve/time_ticker.h"

#include <qcustomplot.h>

namespace thermo {

HandAxes::HandAxes(QCustomPlot& plot, TimeTicker& ticker) : plot_(plot), ticker_(ticker) {
    connect(plot.yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            &HandAxes::keepTemperature);
}

AxesSettings HandAxes::settings() const {
    AxesSettings shown{time_, temperature_};
    for (auto [setting, axis] :
         {std::pair{&shown.time, plot_.xAxis}, std::pair{&shown.temperature, plot_.yAxis}}) {
        if (setting->automatic) {
            setting->lower = axis->range().lower;
            setting->upper = axis->range().upper;
        }
    }
    return shown;
}

void HandAxes::apply(const AxesSettings& axes) {
    time_ = axes.time;
    temperature_ = axes.temperature;
    ticker_.setStep(time_.step);
    if (temperature_.step > 0) {
        auto fixed = QSharedPointer<QCPAxisTickerFixed>::create();
        fixed->setTickStep(temperature_.step);
        // Multiples of it where it would crowd the axis.
        fixed->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
        plot_.yAxis->setTicker(fixed);
    } else {
        plot_.yAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
    }
    if (!time_.automatic) {
        plot_.xAxis->setRange(time_.lower, time_.upper); // the plot stops following
    }
    keepTemperature();
}

void HandAxes::reset() {
    apply(AxesSettings{});
}

// Whatever moves the temperature axis (the plot fitting it to the time shown), a range set by
// hand is put back.
void HandAxes::keepTemperature() {
    if (temperature_.automatic || keeping_) {
        return;
    }
    keeping_ = true;
    plot_.yAxis->setRange(temperature_.lower, temperature_.upper);
    keeping_ = false;
}

} // namespace thermo
