#include "ui/curve/cursor_pair.h"
#include "ui/curve/curve_plot.h"
#include "ui/curve/keyboard_cursor.h"
#include "ui/curve/lab_plot.h"
#include "ui/curve/model_overlay.h"
#include "ui/curve/plot_style.h"
#include "ui/curve/run_overlays.h"
#include "ui/curve/tangent_line.h"

namespace thermo {

// The séance's runs on the plot: the selected one with all the plot's tools, the others shown
// beside it (RunOverlays). The models drawn are the selected run's: the window's tools draw
// them again when another run is selected.
void CurvePlot::showRuns(const RunTrace& selected, const std::vector<RunTrace>& others) {
    if (selected.series != series_) {
        series_ = selected.series;
        generation_ = ~std::uint64_t{0}; // refilled from the start by refresh()
    }
    temperatureColour_ = selected.colour;
    trace(SeriesColumn::Temperature).graph->setName(selected.name);
    others_->set(others, lineWidth(zoom_));
    setZoom(zoom_);
    following_ = true;
    updateLegend();
    refresh();
    fitView();
    if (onScreen()) {
        replot(rpQueuedReplot); // otherwise showing the plot draws it
    }
}

void LabPlot::showRuns(const RunTrace& selected, const std::vector<RunTrace>& others) {
    if (selected.series != &series()) {
        // Before the plot refills: its refresh moves the tools along the new readings.
        cursor_->setSeries(*selected.series);
        tangent_->setSeries(*selected.series);
        pair_->setSeries(*selected.series);
        rangeAnchor_.reset();
        if (tangentListener_) {
            tangentListener_(std::nullopt);
        }
    }
    CurvePlot::showRuns(selected, others);
    generation_ = series().generation();
    pairMoved(); // and the tools drawn again
}

} // namespace thermo
