#pragma once

#include "analysis/tangent.h"

#include <optional>

class QCPItemRect;
class QCPItemStraightLine;
class QCPItemTracer;
class QCustomPlot;

namespace thermo {

// The tangent to the temperature curve drawn at one time: a straight line through the curve's
// point with the slope of the readings around it, and, faintly, the window of readings it was
// worked out from. On the plot's tools layer: following the pointer redraws that layer alone.
class TangentLine {
public:
    TangentLine(QCustomPlot& plot, const SessionSeries& series);

    void setShown(bool shown);
    bool shown() const { return shown_; }
    // Another run drawn: its tangent is drawn at the next move.
    void setSeries(const SessionSeries& series);
    // Seconds on either side of the tangent's time whose readings give its slope.
    void setHalfWidth(double seconds) { halfWidth_ = seconds; }
    double halfWidth() const { return halfWidth_; }
    // The tangent at `seconds`, drawn; none (and nothing drawn) where there are too few
    // readings, or while not shown.
    std::optional<Tangent> moveTo(double seconds);
    void setLineWidth(int pixels);

private:
    void hide();

    QCustomPlot& plot_;
    const SessionSeries* series_;
    QCPItemStraightLine* line_;
    QCPItemTracer* point_;
    QCPItemRect* window_;
    double halfWidth_ = 5.0;
    bool shown_ = false;
};

} // namespace thermo
