#include "ui/curve/curve_plot.h"

#include "core/code_conversion.h"
#include "ui/curve/curve_axes.h"
#include "ui/curve/model_overlay.h"
#include "ui/curve/plot_image.h"
#include "ui/curve/plot_style.h"
#include "ui/curve/run_overlays.h"
#include "ui/curve/time_picker.h"
#include "ui/curve/time_ticker.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace thermo {

namespace {

constexpr double noValue = std::numeric_limits<double>::quiet_NaN();
double seconds(std::int64_t millis) {
    return static_cast<double>(millis) / 1000.0;
}

std::int64_t millisOf(double seconds) {
    return std::llround(seconds * 1000.0);
}

QCPRange qcpRange(AxisRange range) {
    return {range.lower, range.upper};
}

} // namespace

CurvePlot::CurvePlot(const SessionSeries& series, QWidget* parent)
    : QCustomPlot(parent), series_(&series), ticker_(QSharedPointer<TimeTicker>::create()) {
    prepareTimePlot(*this);
    xAxis->setTicker(ticker_);
    xAxis->setLabel(tr("Temps (s)"));
    yAxis->setLabel(tr("Température (°C)"));
    yAxis2->setLabel(tr("Tension (V)"));
    traces_ = {Trace{SeriesColumn::Temperature, addGraph(xAxis, yAxis), true, {}, {}},
               Trace{SeriesColumn::Uth, addGraph(xAxis, yAxis2), false, {}, {}},
               Trace{SeriesColumn::Ut, addGraph(xAxis, yAxis2), false, {}, {}}};
    trace(SeriesColumn::Temperature).graph->setName(tr("T (°C)"));
    trace(SeriesColumn::Uth).graph->setName(tr("Uth (V)"));
    trace(SeriesColumn::Ut).graph->setName(tr("Ut (V)"));
    for (const Trace& t : traces_) {
        t.graph->setVisible(t.shown);
    }
    yAxis2->setVisible(false);

    model_ = std::make_unique<ModelOverlay>(*this);
    picker_ = std::make_unique<TimePicker>(*this);
    others_ = std::make_unique<RunOverlays>(*this);
    updateLegend();

    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            &CurvePlot::timeRangeChanged);
    setZoom(1.0);
    fitView();
}

CurvePlot::~CurvePlot() = default;

CurvePlot::Trace& CurvePlot::trace(SeriesColumn column) {
    return const_cast<Trace&>(std::as_const(*this).trace(column));
}

const CurvePlot::Trace& CurvePlot::trace(SeriesColumn column) const {
    return *std::find_if(traces_.begin(), traces_.end(),
                         [column](const Trace& t) { return t.column == column; });
}

bool CurvePlot::isShown(SeriesColumn column) const {
    return trace(column).shown;
}

bool CurvePlot::onScreen() const {
    return isVisible() && !window()->isMinimized();
}

void CurvePlot::refresh() {
    if (!onScreen()) {
        return; // showing the plot catches up
    }
    if (generation_ != series_->generation() || synced_ > series_->size()) {
        generation_ = series_->generation();
        synced_ = 0;
        for (Trace& t : traces_) {
            t.graph->data()->clear();
            t.extent.reset();
        }
        following_ = true; // a new series is shown whole
        picker_->pick(std::nullopt);
    }
    const std::size_t first = synced_;
    synced_ = series_->size();
    for (Trace& t : traces_) {
        if (t.shown) {
            addFrom(t, first);
        }
    }
    const QCPRange time = xAxis->range();
    const QCPRange values = yAxis->range();
    const QCPRange volts = yAxis2->range();
    bool moved = others_->refresh();
    if (following_) {
        fitView();
    }
    for (Trace& t : traces_) {
        if (t.shown && synced_ > first) {
            moved = endMoved(t) || moved;
        }
    }
    if (time != xAxis->range() || values != yAxis->range() || volts != yAxis2->range()) {
        replot(rpQueuedReplot);
    } else if (moved) {
        layer(QStringLiteral("main"))->replot();
    }
    // Otherwise the new readings fall on pixels already drawn (a long series, whose pixel
    // holds many ticks) or outside the view: nothing to draw.
}

double CurvePlot::value(const Trace& trace, std::size_t index) const {
    const double v = series_->column(trace.column)[index];
    // The temperature as shown and saved, to a tenth of a degree: the curve draws no noise
    // that the numbers do not show.
    return trace.column == SeriesColumn::Temperature && !std::isnan(v)
               ? roundHalfEven(v, temperatureDecimals)
               : v;
}

bool CurvePlot::endMoved(Trace& trace) {
    const std::size_t last = synced_ - 1;
    const double v = value(trace, last);
    if (std::isnan(v) || series_->afterPause(last)) {
        trace.end.breakLine();
        return true;
    }
    const int column = qRound(xAxis->coordToPixel(seconds(series_->millis()[last])));
    const int row = qRound(trace.graph->valueAxis()->coordToPixel(v));
    return axisRect()->rect().contains(column, row) && trace.end.moved(column, row);
}

// A pause breaks the line: a point without value between the readings on either side of it.
void CurvePlot::addFrom(Trace& trace, std::size_t first) {
    if (first >= synced_) {
        return;
    }
    const auto millis = series_->millis();
    QVector<QCPGraphData> points;
    points.reserve(static_cast<qsizetype>(synced_ - first));
    for (std::size_t i = first; i < synced_; ++i) {
        const double t = seconds(millis[i]);
        if (i > 0 && series_->afterPause(i)) {
            points.append(QCPGraphData((seconds(millis[i - 1]) + t) / 2, noValue));
        }
        points.append(QCPGraphData(t, value(trace, i)));
    }
    // One by one, a tick's one or two points: QCPDataContainer::add of a whole vector takes
    // points whose time equals the first one's (readings in the same millisecond) as coming
    // before it.
    if (trace.graph->data()->isEmpty()) {
        trace.graph->data()->set(points, true);
    } else {
        for (const QCPGraphData& point : points) {
            trace.graph->data()->add(point);
        }
    }
    trace.extent = merged(trace.extent, series_->extent(trace.column, {first, synced_}));
}

void CurvePlot::fill(Trace& trace) {
    trace.graph->data()->clear();
    trace.extent.reset();
    addFrom(trace, 0);
}

void CurvePlot::setVoltageShown(SeriesColumn column, bool shown) {
    Trace& t = trace(column);
    if (column == SeriesColumn::Temperature || t.shown == shown) {
        return;
    }
    t.shown = shown;
    t.graph->setVisible(shown);
    if (shown) {
        fill(t);
    } else {
        t.graph->data()->clear(); // its memory back; showing it again refills it
        t.extent.reset();
    }
    yAxis2->setVisible(isShown(SeriesColumn::Uth) || isShown(SeriesColumn::Ut));
    updateLegend();
    fitValues();
    replot(rpQueuedReplot);
}

void CurvePlot::showAll() {
    following_ = true;
    fitView();
    replot(rpQueuedReplot);
}

// The whole series, its end rounded up to a round number: the axes then change only every
// so often rather than at every tick (every 1000 s on a 2-hour series), which keeps a tick's
// redraw to the lines alone.
void CurvePlot::fitView() {
    const double end = std::max(synced_ == 0 ? 0 : seconds(series_->millis()[synced_ - 1]),
                                others_->endSeconds());
    setTimeRange(qcpRange(followedTimeRange(end)));
    fitValues();
}

void CurvePlot::setTimeRange(const QCPRange& range) {
    settingRange_ = true;
    xAxis->setRange(range);
    settingRange_ = false;
}

void CurvePlot::timeRangeChanged(const QCPRange& range) {
    if (ticker_->setSpan(range.size())) {
        xAxis->setLabel(ticker_->inMinutes() ? tr("Temps (min)") : tr("Temps (s)"));
    }
    if (settingRange_) {
        return;
    }
    following_ = false; // the wheel or a drag: the view stays where the user put it
    fitValues();
}

// The value axes fit what the time axis shows.
void CurvePlot::fitValues() {
    const IndexRange visible = following_ ? IndexRange{0, synced_}
                                          : series_->between(millisOf(xAxis->range().lower),
                                                            millisOf(xAxis->range().upper));
    const auto extentOf = [&](const Trace& t) {
        return following_ ? t.extent : series_->extent(t.column, visible);
    };
    const std::optional<Extent> otherRuns =
        others_->extent(following_ ? std::nullopt : std::optional<QCPRange>(xAxis->range()));
    yAxis->setRange(qcpRange(paddedRange(merged(extentOf(trace(SeriesColumn::Temperature)),
                                                otherRuns),
                                         shortestTemperatureSpan, {15, 30})));
    std::optional<Extent> volts;
    for (SeriesColumn c : {SeriesColumn::Uth, SeriesColumn::Ut}) {
        if (isShown(c)) {
            volts = merged(volts, extentOf(trace(c)));
        }
    }
    yAxis2->setRange(qcpRange(paddedRange(volts, shortestVoltageSpan, {0, 5})));
}

std::optional<std::size_t> CurvePlot::readingAt(const QPoint& position) const {
    if (series_->empty() || !axisRect()->rect().contains(position)) {
        return std::nullopt;
    }
    return nearestIndex(series_->millis(), millisOf(xAxis->pixelToCoord(position.x())));
}

void CurvePlot::setZoom(double zoom) {
    styleAxes(*this, zoom);
    zoom_ = zoom;
    others_->setLineWidth(lineWidth(zoom));
    const QColor colours[] = {temperatureColour_, QColor(0x00, 0x00, 0xFF),
                              QColor(0x00, 0x80, 0x00)};
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        traces_[i].graph->setPen(QPen(colours[i], lineWidth(zoom)));
    }
    model_->setLineWidth(lineWidth(zoom));
    if (onScreen()) {
        replot(rpQueuedReplot);
    }
}

QString CurvePlot::saveImage(const QString& path) {
    return savePlotImage(*this, path);
}

void CurvePlot::setPointerListener(std::function<void(std::optional<std::size_t>)> listener) {
    pointerListener_ = std::move(listener);
}

TimeSpan CurvePlot::shownTime() const {
    return {xAxis->range().lower, xAxis->range().upper};
}

void CurvePlot::showModel(std::span<const double> seconds, std::span<const double> celsius,
                          const QString& name) {
    model_->show(seconds, celsius, name);
    updateLegend();
    replot(rpQueuedReplot);
}

void CurvePlot::clearModel() {
    model_->clear();
    updateLegend();
    replot(rpQueuedReplot);
}

std::optional<TimeSpan> CurvePlot::selectedTime() const {
    return picker_->picked();
}

// The legend names what is drawn, once there is more than the temperature.
void CurvePlot::updateLegend() {
    for (const Trace& t : traces_) {
        if (t.shown) {
            t.graph->addToLegend();
        } else {
            t.graph->removeFromLegend();
        }
    }
    legend->setVisible(yAxis2->visible() || model_->shown() || !others_->empty());
}

void CurvePlot::showEvent(QShowEvent* event) {
    QCustomPlot::showEvent(event);
    refresh();
    replot(rpQueuedReplot);
}

// Shift and a press in the plot begin picking a time range, instead of dragging the view.
void CurvePlot::mousePressEvent(QMouseEvent* event) {
    if (!picker_->press(*event)) {
        QCustomPlot::mousePressEvent(event);
    }
}

void CurvePlot::mouseReleaseEvent(QMouseEvent* event) {
    if (!picker_->release(*event)) {
        QCustomPlot::mouseReleaseEvent(event);
    }
}

void CurvePlot::mouseMoveEvent(QMouseEvent* event) {
    if (!picker_->move(*event)) {
        QCustomPlot::mouseMoveEvent(event);
    }
    if (pointerListener_) {
        pointerListener_(readingAt(event->pos()));
    }
}

void CurvePlot::leaveEvent(QEvent* event) {
    QCustomPlot::leaveEvent(event);
    if (pointerListener_) {
        pointerListener_(std::nullopt);
    }
}

} // namespace thermo
