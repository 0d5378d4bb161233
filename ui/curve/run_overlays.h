#pragma once

#include "core/session_series.h"
#include "ui/curve/curve_plot_view.h"

#include <qcustomplot.h>
#include <optional>
#include <vector>


namespace thermo {

// The temperatures of the séance's other runs, drawn beside the selected one, each in its
// colour and named in the legend. New readings of a run still growing (the live run while an
// older one is selected) are added as they come.
class RunOverlays {
public:
    explicit RunOverlays(QCustomPlot& plot);
    ~RunOverlays();

    void set(const std::vector<RunTrace>& runs, int lineWidth);
    // Adds the readings that came since; true when a graph changed.
    bool refresh();
    void setLineWidth(int pixels);
    bool empty() const noexcept { return runs_.empty(); }

    // The latest time of them all, in seconds; 0 without any.
    double endSeconds() const;
    // Their temperatures over `time` (all of it when none).
    std::optional<Extent> extent(std::optional<QCPRange> time) const;

private:
    struct Shown {
        const SessionSeries* series;
        QCPGraph* graph;
        std::size_t synced;
        std::optional<Extent> whole; // of all its temperatures
    };
    void addFrom(Shown& run, std::size_t first);

    QCustomPlot& plot_;
    std::vector<Shown> runs_;
};

} // namespace thermo
