#pragma once

#include "core/session_series.h"

#include <cstddef>
#include <optional>

class QCPItemStraightLine;
class QCPItemTracer;
class QCustomPlot;

namespace thermo {

// The keyboard's place on the curve: a reading, marked by a vertical line and a ring on its
// temperature, on the plot's tools layer so that moving it redraws that layer alone.
class KeyboardCursor {
public:
    KeyboardCursor(QCustomPlot& plot, const SessionSeries& series);

    std::optional<std::size_t> index() const { return index_; }
    // Puts the cursor on reading `index` (drawn only when shown), or takes it away.
    void place(std::optional<std::size_t> index);
    void setShown(bool shown);
    // Another run drawn: the cursor goes until it is moved again.
    void setSeries(const SessionSeries& series);
    void setLineWidth(int pixels);
    // The time of the cursor's reading, in seconds.
    double seconds() const;

private:
    void draw();

    QCustomPlot& plot_;
    const SessionSeries* series_;
    QCPItemStraightLine* line_;
    QCPItemTracer* ring_;
    std::optional<std::size_t> index_;
    bool shown_ = false;
};

} // namespace thermo
