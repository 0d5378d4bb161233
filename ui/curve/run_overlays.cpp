#include "ui/curve/run_overlays.h"

#include "core/code_conversion.h"
#include "ui/curve/curve_axes.h"

#include <cmath>
#include <limits>
#include <qcustomplot.h>

namespace thermo {

namespace {
double seconds(std::int64_t millis) {
    return static_cast<double>(millis) / 1000.0;
}
} // namespace

RunOverlays::RunOverlays(QCustomPlot& plot) : plot_(plot) {}

RunOverlays::~RunOverlays() = default;

void RunOverlays::set(const std::vector<RunTrace>& runs, int lineWidth) {
    for (Shown& shown : runs_) {
        plot_.removeGraph(shown.graph);
    }
    runs_.clear();
    for (const RunTrace& run : runs) {
        QCPGraph* graph = plot_.addGraph(plot_.xAxis, plot_.yAxis);
        graph->setName(run.name);
        graph->setPen(QPen(run.colour, lineWidth));
        runs_.push_back({run.series, graph, 0, std::nullopt});
        addFrom(runs_.back(), 0);
    }
}

bool RunOverlays::refresh() {
    bool changed = false;
    for (Shown& run : runs_) {
        if (run.series->size() > run.synced) {
            addFrom(run, run.synced);
            changed = true;
        }
    }
    return changed;
}

// As the selected run: the temperature as shown, to a tenth; a pause breaks the line.
void RunOverlays::addFrom(Shown& run, std::size_t first) {
    const SessionSeries& series = *run.series;
    const auto millis = series.millis();
    const auto celsius = series.column(SeriesColumn::Temperature);
    QVector<QCPGraphData> points;
    points.reserve(static_cast<qsizetype>(series.size() - first));
    for (std::size_t i = first; i < series.size(); ++i) {
        const double t = seconds(millis[i]);
        if (i > 0 && series.afterPause(i)) {
            points.append(QCPGraphData((seconds(millis[i - 1]) + t) / 2,
                                       std::numeric_limits<double>::quiet_NaN()));
        }
        const double v = celsius[i];
        points.append(QCPGraphData(t, std::isnan(v) ? v : roundHalfEven(v, temperatureDecimals)));
    }
    run.graph->data()->add(points, true);
    run.whole = merged(run.whole, series.extent(SeriesColumn::Temperature, {first, series.size()}));
    run.synced = series.size();
}

void RunOverlays::setLineWidth(int pixels) {
    for (Shown& run : runs_) {
        QPen pen = run.graph->pen();
        pen.setWidth(pixels);
        run.graph->setPen(pen);
    }
}

double RunOverlays::endSeconds() const {
    double end = 0;
    for (const Shown& run : runs_) {
        if (!run.series->empty()) {
            end = std::max(end, seconds(run.series->millis().back()));
        }
    }
    return end;
}

std::optional<Extent> RunOverlays::extent(std::optional<QCPRange> time) const {
    std::optional<Extent> all;
    for (const Shown& run : runs_) {
        all = merged(all, time ? run.series->extent(
                                     SeriesColumn::Temperature,
                                     run.series->between(std::llround(time->lower * 1000.0),
                                                         std::llround(time->upper * 1000.0)))
                               : run.whole);
    }
    return all;
}

} // namespace thermo
