#pragma once

#include "ui/curve/curve_plot_view.h"

#include <optional>

class QCPItemRect;
class QCustomPlot;
class QMouseEvent;

namespace thermo {

// The time picked on the plot with Shift and a drag, for a model: a blue band from the top of
// the plot to its bottom, under the lines. A Shift and click takes it away.
class TimePicker {
public:
    explicit TimePicker(QCustomPlot& plot);

    // Each takes the mouse event when it belongs to a pick, and says so; otherwise the plot
    // handles it as usual (a drag moves the view).
    bool press(const QMouseEvent& event);
    bool move(const QMouseEvent& event);
    bool release(const QMouseEvent& event);

    std::optional<TimeSpan> picked() const { return picked_; }
    // Shows this time as picked, or none; queues a redraw.
    void pick(std::optional<TimeSpan> time);

private:
    double timeAt(const QMouseEvent& event) const;

    QCustomPlot& plot_;
    QCPItemRect* band_;
    std::optional<double> start_; // while Shift and a drag pick
    std::optional<TimeSpan> picked_;
};

} // namespace thermo
