#pragma once

#include "core/session_series.h"
#include "ui/curve/curve_tools.h"

#include <array>
#include <optional>

class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;
class QMouseEvent;

namespace thermo {

// Two vertical cursors, "1" and "2", each on a reading, for Δt, ΔT and the mean slope between
// them. A press near one drags it, from reading to reading; on the plot's tools layer.
class CursorPair {
public:
    CursorPair(QCustomPlot& plot, const SessionSeries& series);

    // Shown, they start at a third and two thirds of the time shown.
    void setShown(bool shown);
    bool shown() const { return shown_; }
    CursorPairPlace place() const;
    // Cursor `which` (0 or 1) on reading `index`.
    void put(int which, std::size_t index);

    // The mouse: true when the event moved a cursor, which the plot then leaves alone.
    bool press(const QMouseEvent& event);
    bool move(const QMouseEvent& event);
    bool release(const QMouseEvent& event);

    void setLineWidth(int pixels);
    // After the series changed: cursors past its end go, and come back at a third and two
    // thirds of the time shown once there are readings again.
    void follow();
    // Another run drawn: the cursors start again on it, at a third and two thirds.
    void setSeries(const SessionSeries& series);

private:
    std::size_t readingAt(double pixel) const;
    void draw();

    QCustomPlot& plot_;
    const SessionSeries* series_;
    std::array<QCPItemStraightLine*, 2> lines_{};
    std::array<QCPItemText*, 2> labels_{};
    std::array<std::optional<std::size_t>, 2> at_{};
    std::optional<int> dragged_;
    bool shown_ = false;
};

} // namespace thermo
