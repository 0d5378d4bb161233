#pragma once

#include "ui/curve/curve_tools.h"

#include <QObject>

class QCustomPlot;

namespace thermo {

class TimeTicker;

// The axes as the user sets them by hand: the time shown, the temperature's range, the steps
// between their ticks. A temperature range set by hand stays whatever the time shown; a time
// range set by hand stops the plot from following the live end, as a zoom does.
class HandAxes : public QObject {
    Q_OBJECT
public:
    HandAxes(QCustomPlot& plot, TimeTicker& ticker);

    // As set, with the ranges shown where an axis is automatic.
    AxesSettings settings() const;
    // Sets the hand-set ranges and steps; the caller shows the time again for an automatic
    // time axis and redraws.
    void apply(const AxesSettings& axes);
    bool timeByHand() const { return !time_.automatic; }
    // Back to automatic, as "Tout voir" does; steps included.
    void reset();

private:
    void keepTemperature();

    QCustomPlot& plot_;
    TimeTicker& ticker_;
    AxisSetting time_;
    AxisSetting temperature_;
    bool keeping_ = false;
};

} // namespace thermo
