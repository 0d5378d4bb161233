#include "ui/curve/curve_plot.h"

#include "core/code_conversion.h"
#include "ui/curve/plot_image.h"
#include "ui/curve/time_ticker.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace thermo {

namespace {

constexpr double noValue = std::numeric_limits<double>::quiet_NaN();
// The view shows at least this much time, so that the first readings do not fill the width.
constexpr double shortestTimeSpan = 10;
// Nor do a few hundredths of noise fill the height: at least a degree, a tenth of a volt.
constexpr double shortestTemperatureSpan = 1;
constexpr double shortestVoltageSpan = 0.1;
constexpr double valueMargin = 0.05; // of the span, above and below
// Lines one pixel wide: a wider pen is stroked with joins, which costs three times as much per
// redraw (measured: 3.4 against 0.9 ms a tick on a 2-hour series); two pixels only from the
// projector's 200 %, where one would be hard to see.
int lineWidth(double zoom) {
    return zoom >= 2 ? 2 : 1;
}

double seconds(std::int64_t millis) {
    return static_cast<double>(millis) / 1000.0;
}

std::int64_t millisOf(double seconds) {
    return std::llround(seconds * 1000.0);
}

// 1, 2 or 5 times a power of ten, at least x.
double roundStep(double x) {
    const double power = std::pow(10.0, std::floor(std::log10(x)));
    for (double m : {1.0, 2.0, 5.0}) {
        if (m * power >= x) {
            return m * power;
        }
    }
    return 10 * power;
}

std::optional<Extent> merged(std::optional<Extent> a, std::optional<Extent> b) {
    if (!a || !b) {
        return a ? a : b;
    }
    return Extent{std::min(a->min, b->min), std::max(a->max, b->max)};
}

QCPRange padded(std::optional<Extent> extent, double shortestSpan, QCPRange empty) {
    if (!extent) {
        return empty;
    }
    double low = extent->min;
    double high = extent->max;
    if (high - low < shortestSpan) {
        const double middle = (low + high) / 2;
        low = middle - shortestSpan / 2;
        high = middle + shortestSpan / 2;
    }
    const double margin = (high - low) * valueMargin;
    return {low - margin, high + margin};
}

} // namespace

CurvePlot::CurvePlot(const SessionSeries& series, QWidget* parent)
    : QCustomPlot(parent), series_(series), ticker_(QSharedPointer<TimeTicker>::create()) {
    QLocale numbers; // the user's decimal separator; no grouping on an axis
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    setLocale(numbers);
    setMouseTracking(true);
    setNoAntialiasingOnDrag(true);

    xAxis->setTicker(ticker_);
    xAxis->setLabel(tr("Temps (s)"));
    yAxis->setLabel(tr("Température (°C)"));
    yAxis2->setLabel(tr("Tension (V)"));
    traces_ = {Trace{SeriesColumn::Temperature, addGraph(xAxis, yAxis), true, {}},
               Trace{SeriesColumn::Uth, addGraph(xAxis, yAxis2), false, {}},
               Trace{SeriesColumn::Ut, addGraph(xAxis, yAxis2), false, {}}};
    trace(SeriesColumn::Temperature).graph->setName(tr("T (°C)"));
    trace(SeriesColumn::Uth).graph->setName(tr("Uth (V)"));
    trace(SeriesColumn::Ut).graph->setName(tr("Ut (V)"));
    for (const Trace& t : traces_) {
        t.graph->setVisible(t.shown);
    }
    yAxis2->setVisible(false);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);

    // The model over the lines, on a layer of its own: a tick that redraws the lines leaves
    // it as it was.
    addLayer(QStringLiteral("model"), layer(QStringLiteral("main")), limAbove);
    layer(QStringLiteral("model"))->setMode(QCPLayer::lmBuffered);
    model_ = addGraph(xAxis, yAxis);
    model_->setLayer(QStringLiteral("model"));
    model_->setVisible(false);
    model_->removeFromLegend();
    // The band of the time picked, from the top of the plot to its bottom, under the lines.
    band_ = new QCPItemRect(this);
    band_->setLayer(QStringLiteral("grid"));
    for (QCPItemPosition* corner : {band_->topLeft, band_->bottomRight}) {
        corner->setTypeX(QCPItemPosition::ptPlotCoords);
        corner->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    band_->setPen(Qt::NoPen);
    band_->setBrush(QColor(0x00, 0x60, 0xFF, 0x24));
    band_->setVisible(false);
    updateLegend();

    // One range moves under the mouse: time.
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    axisRect()->setRangeDrag(Qt::Horizontal);
    axisRect()->setRangeZoom(Qt::Horizontal);
    axisRect()->setRangeDragAxes(xAxis, nullptr);
    axisRect()->setRangeZoomAxes(xAxis, nullptr);
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            &CurvePlot::timeRangeChanged);

    // The graphs have a drawing buffer of their own: a tick that leaves the axes as they were
    // redraws the lines alone, not the grid, the axes and their texts.
    layer(QStringLiteral("main"))->setMode(QCPLayer::lmBuffered);

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
    if (generation_ != series_.generation() || synced_ > series_.size()) {
        generation_ = series_.generation();
        synced_ = 0;
        for (Trace& t : traces_) {
            t.graph->data()->clear();
            t.extent.reset();
        }
        following_ = true; // a new series is shown whole
        select(std::nullopt);
    }
    const std::size_t first = synced_;
    synced_ = series_.size();
    for (Trace& t : traces_) {
        if (t.shown) {
            addFrom(t, first);
        }
    }
    const QCPRange time = xAxis->range();
    const QCPRange values = yAxis->range();
    const QCPRange volts = yAxis2->range();
    if (following_) {
        fitView();
    }
    bool moved = false;
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
    const double v = series_.column(trace.column)[index];
    // The temperature as shown and saved, to a tenth of a degree: the curve draws no noise
    // that the numbers do not show.
    return trace.column == SeriesColumn::Temperature && !std::isnan(v)
               ? roundHalfEven(v, temperatureDecimals)
               : v;
}

bool CurvePlot::endMoved(Trace& trace) {
    const std::size_t last = synced_ - 1;
    const double v = value(trace, last);
    if (std::isnan(v) || series_.afterPause(last)) {
        trace.endColumn = -1; // the line breaks here
        return true;
    }
    const int column = qRound(xAxis->coordToPixel(seconds(series_.millis()[last])));
    const int row = qRound(trace.graph->valueAxis()->coordToPixel(v));
    if (!axisRect()->rect().contains(column, row)) {
        return false;
    }
    if (column != trace.endColumn) {
        trace.endColumn = column;
        trace.endLow = row;
        trace.endHigh = row;
        return true;
    }
    if (row >= trace.endLow && row <= trace.endHigh) {
        return false;
    }
    trace.endLow = std::min(trace.endLow, row);
    trace.endHigh = std::max(trace.endHigh, row);
    return true;
}

// A pause breaks the line: a point without value between the readings on either side of it.
void CurvePlot::addFrom(Trace& trace, std::size_t first) {
    if (first >= synced_) {
        return;
    }
    const auto millis = series_.millis();
    QVector<QCPGraphData> points;
    points.reserve(static_cast<qsizetype>(synced_ - first));
    for (std::size_t i = first; i < synced_; ++i) {
        const double t = seconds(millis[i]);
        if (i > 0 && series_.afterPause(i)) {
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
    trace.extent = merged(trace.extent, series_.extent(trace.column, {first, synced_}));
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
    const double end = synced_ == 0 ? 0 : seconds(series_.millis()[synced_ - 1]);
    if (end <= shortestTimeSpan) {
        setTimeRange({0, shortestTimeSpan});
    } else {
        const double step = roundStep(end / 8);
        setTimeRange({0, std::ceil(end / step) * step});
    }
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
                                          : series_.between(millisOf(xAxis->range().lower),
                                                            millisOf(xAxis->range().upper));
    const auto extentOf = [&](const Trace& t) {
        return following_ ? t.extent : series_.extent(t.column, visible);
    };
    yAxis->setRange(
        padded(extentOf(trace(SeriesColumn::Temperature)), shortestTemperatureSpan, {15, 30}));
    std::optional<Extent> volts;
    for (SeriesColumn c : {SeriesColumn::Uth, SeriesColumn::Ut}) {
        if (isShown(c)) {
            volts = merged(volts, extentOf(trace(c)));
        }
    }
    yAxis2->setRange(padded(volts, shortestVoltageSpan, {0, 5}));
}

std::optional<std::size_t> CurvePlot::readingAt(const QPoint& position) const {
    if (series_.empty() || !axisRect()->rect().contains(position)) {
        return std::nullopt;
    }
    const std::int64_t target = millisOf(xAxis->pixelToCoord(position.x()));
    const auto millis = series_.millis();
    std::size_t i = static_cast<std::size_t>(
        std::lower_bound(millis.begin(), millis.end(), target) - millis.begin());
    if (i == millis.size()) {
        return i - 1;
    }
    if (i > 0 && target - millis[i - 1] < millis[i] - target) {
        --i;
    }
    return i;
}

void CurvePlot::setZoom(double zoom) {
    // The window gives the plot its type at the zoom, as to its other controls.
    const QFont ticks = font();
    QFont labels = ticks;
    labels.setBold(true);
    for (QCPAxis* axis : {xAxis, yAxis, yAxis2}) {
        axis->setTickLabelFont(ticks);
        axis->setLabelFont(labels);
        QPen pen = axis->basePen();
        pen.setWidthF(zoom);
        axis->setBasePen(pen);
        axis->setTickPen(pen);
        axis->setSubTickPen(pen);
        axis->setTickLength(qRound(5 * zoom), 0);
        axis->setSubTickLength(qRound(2 * zoom), 0);
    }
    legend->setFont(ticks);
    const QColor colours[] = {QColor(0xC0, 0x00, 0x00), QColor(0x00, 0x00, 0xFF),
                              QColor(0x00, 0x80, 0x00)};
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        traces_[i].graph->setPen(QPen(colours[i], lineWidth(zoom)));
    }
    // Black and dashed, a pixel wider than the measured lines: it shows over them and on a
    // projector.
    model_->setPen(QPen(Qt::black, lineWidth(zoom) + 1, Qt::DashLine));
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
    QVector<QCPGraphData> points;
    points.reserve(static_cast<qsizetype>(seconds.size()));
    for (std::size_t i = 0; i < seconds.size() && i < celsius.size(); ++i) {
        points.append(QCPGraphData(seconds[i], celsius[i]));
    }
    model_->data()->set(points, true);
    model_->setName(name);
    model_->setVisible(true);
    model_->removeFromLegend(); // last in the legend
    model_->addToLegend();
    // The legend in the corner the model leaves free: top right after a fall, bottom right
    // after a rise.
    const bool falls = !points.isEmpty() && points.front().value > points.back().value;
    axisRect()->insetLayout()->setInsetAlignment(0, (falls ? Qt::AlignTop : Qt::AlignBottom) |
                                                        Qt::AlignRight);
    updateLegend();
    replot(rpQueuedReplot);
}

void CurvePlot::clearModel() {
    model_->data()->clear();
    model_->setVisible(false);
    model_->removeFromLegend();
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    updateLegend();
    replot(rpQueuedReplot);
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
    legend->setVisible(yAxis2->visible() || model_->visible());
}

void CurvePlot::select(std::optional<TimeSpan> time) {
    selected_ = time;
    band_->setVisible(time.has_value());
    if (time) {
        band_->topLeft->setCoords(time->from, 0);
        band_->bottomRight->setCoords(time->to, 1);
    }
    replot(rpQueuedReplot);
}

void CurvePlot::showEvent(QShowEvent* event) {
    QCustomPlot::showEvent(event);
    refresh();
    replot(rpQueuedReplot);
}

// Shift and a press in the plot begin picking a time range, instead of dragging the view.
void CurvePlot::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier) &&
        axisRect()->rect().contains(event->pos())) {
        selectionStart_ = xAxis->pixelToCoord(event->position().x());
        select(std::nullopt);
        return;
    }
    QCustomPlot::mousePressEvent(event);
}

void CurvePlot::mouseReleaseEvent(QMouseEvent* event) {
    if (!selectionStart_) {
        QCustomPlot::mouseReleaseEvent(event);
        return;
    }
    const double start = std::exchange(selectionStart_, std::nullopt).value();
    const double end = xAxis->pixelToCoord(event->position().x());
    // A click, or a drag of a pixel or two, picks nothing: it takes the range away.
    constexpr double fewestPixels = 3;
    if (std::abs(xAxis->coordToPixel(start) - event->position().x()) >= fewestPixels) {
        select(TimeSpan{std::min(start, end), std::max(start, end)});
    }
}

void CurvePlot::mouseMoveEvent(QMouseEvent* event) {
    if (selectionStart_) {
        const double end = xAxis->pixelToCoord(event->position().x());
        select(TimeSpan{std::min(*selectionStart_, end), std::max(*selectionStart_, end)});
    } else {
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
