#include "ui/curve/curve_plot.h"
#include "ui/curve/model_overlay.h"
#include "ui/curve/plot_style.h"
#include "ui/curve/run_overlays.h"

namespace thermo {

// The séance's runs on the plot: the selected one with all the plot's tools, the others shown
// beside it (RunOverlays).
void CurvePlot::showRuns(const RunTrace& selected, const std::vector<RunTrace>& others) {
    if (selected.series != series_) {
        series_ = selected.series;
        generation_ = ~std::uint64_t{0}; // refilled from the start by refresh()
        model_->clear();
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

} // namespace thermo
