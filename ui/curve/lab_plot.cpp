#include "ui/curve/lab_plot.h"

#include "core/code_conversion.h"
#include "ui/curve/cursor_pair.h"
#include "ui/curve/curve_axes.h"
#include "ui/curve/hand_axes.h"
#include "ui/curve/keyboard_cursor.h"
#include "ui/curve/notes_layer.h"
#include "ui/curve/plot_accessible.h"
#include "ui/curve/plot_printer.h"
#include "ui/curve/plot_style.h"
#include "ui/curve/tangent_line.h"
#include "ui/curve/time_picker.h"
#include "ui/curve/time_ticker.h"

#include <QAccessible>
#include <cmath>
#include <utility>

namespace thermo {

namespace {

const QString toolsLayer = QStringLiteral("tools");

double secondsOf(const SessionSeries& series, std::size_t index) {
    return static_cast<double>(series.millis()[index]) / 1000.0;
}

struct KeyMove {
    int key;
    CursorMove move;
};
// Up and Page Up go on in time, as a slider's value grows.
const KeyMove keyMoves[] = {
    {Qt::Key_Left, CursorMove::Previous},
    {Qt::Key_Down, CursorMove::Previous},
    {Qt::Key_Right, CursorMove::Next},
    {Qt::Key_Up, CursorMove::Next},
    {Qt::Key_PageDown, CursorMove::TenSecondsBack},
    {Qt::Key_PageUp, CursorMove::TenSecondsOn},
    {Qt::Key_Home, CursorMove::First},
    {Qt::Key_End, CursorMove::Last},
};

} // namespace

LabPlot::LabPlot(const SessionSeries& series, QWidget* parent)
    : CurvePlot(series, parent), generation_(series.generation()) {
    addLayer(toolsLayer, layer(QStringLiteral("model")), limAbove);
    layer(toolsLayer)->setMode(QCPLayer::lmBuffered);
    cursor_ = std::make_unique<KeyboardCursor>(*this, series);
    tangent_ = std::make_unique<TangentLine>(*this, series);
    pair_ = std::make_unique<CursorPair>(*this, series);
    notes_ = std::make_unique<NotesLayer>(*this);
    axes_ =
        std::make_unique<HandAxes>(*this, *qSharedPointerDynamicCast<TimeTicker>(xAxis->ticker()));
    setFocusPolicy(Qt::StrongFocus);
    PlotAccessible::install();
}

LabPlot::~LabPlot() = default;

void LabPlot::refresh() {
    CurvePlot::refresh();
    if (generation_ != series().generation() ||
        (cursor_->index() >= series().size() && cursor_->index().has_value())) {
        generation_ = series().generation();
        cursor_->place(std::nullopt);
        rangeAnchor_.reset();
        if (tangentListener_) {
            tangentListener_(tangent_->moveTo(NAN)); // none: hidden
        }
    }
    if (pair_->shown()) {
        const CursorPairPlace before = pair_->place();
        pair_->follow();
        const CursorPairPlace after = pair_->place();
        if (before.first != after.first || before.second != after.second) {
            pairMoved();
        }
    }
}

void LabPlot::showAll() {
    axes_->reset();
    CurvePlot::showAll();
}

void LabPlot::setZoom(double zoom) {
    CurvePlot::setZoom(zoom);
    const int width = lineWidth(zoom);
    cursor_->setLineWidth(width);
    tangent_->setLineWidth(width);
    pair_->setLineWidth(width);
    notes_->setLineWidth(width);
}

void LabPlot::setPointerListener(std::function<void(std::optional<std::size_t>)> listener) {
    pointerListener_ = listener;
    CurvePlot::setPointerListener(std::move(listener));
}

std::optional<std::size_t> LabPlot::cursor() const {
    return cursor_->index();
}

std::optional<double> LabPlot::cursorCelsius() const {
    const std::optional<std::size_t> index = cursor_->index();
    if (!index) {
        return std::nullopt;
    }
    const double celsius = series().column(SeriesColumn::Temperature)[*index];
    return std::isnan(celsius) ? std::nullopt
                               : std::optional(roundHalfEven(celsius, temperatureDecimals));
}

std::optional<Extent> LabPlot::temperatureExtent() const {
    return series().extent(SeriesColumn::Temperature, {0, series().size()});
}

void LabPlot::setTangentShown(bool shown) {
    tangent_->setShown(shown);
    if (!shown && tangentListener_) {
        tangentListener_(std::nullopt);
    } else if (cursor_->index()) {
        drawTangent(cursor_->seconds());
    }
    redrawTools();
}

void LabPlot::setTangentHalfWidth(double seconds) {
    tangent_->setHalfWidth(seconds);
    if (tangent_->shown() && cursor_->index()) {
        drawTangent(cursor_->seconds());
    }
}

void LabPlot::setTangentListener(std::function<void(std::optional<Tangent>)> listener) {
    tangentListener_ = std::move(listener);
}

void LabPlot::drawTangent(double seconds) {
    const std::optional<Tangent> tangent = tangent_->moveTo(seconds);
    if (tangentListener_) {
        tangentListener_(tangent);
    }
    redrawTools();
}

void LabPlot::setCursorPairShown(bool shown) {
    pair_->setShown(shown);
    pairMoved();
}

void LabPlot::setCursorPairListener(std::function<void(CursorPairPlace)> listener) {
    pairListener_ = std::move(listener);
}

void LabPlot::pairMoved() {
    if (pairListener_) {
        pairListener_(pair_->place());
    }
    redrawTools();
}

void LabPlot::showNotes(std::span<const RunNote> notes) {
    notes_->show(notes);
    replot(rpQueuedReplot);
}

AxesSettings LabPlot::axes() const {
    return axes_->settings();
}

void LabPlot::setAxes(const AxesSettings& axes) {
    const bool timeWasByHand = axes_->timeByHand();
    axes_->apply(axes);
    if (axes.time.automatic && timeWasByHand) {
        CurvePlot::showAll();
    }
    replot(rpQueuedReplot);
}

std::optional<QString> LabPlot::print(QWidget* over, const QString& title,
                                      const QStringList& lines) {
    return printPlot(*this, over, title, lines);
}

QString LabPlot::printToPdf(const QString& path, const QString& title, const QStringList& lines) {
    return printPlotToPdf(*this, path, title, lines);
}

void LabPlot::redrawTools() {
    if (isVisible()) {
        layer(toolsLayer)->replot();
    }
}

void LabPlot::focusInEvent(QFocusEvent* event) {
    CurvePlot::focusInEvent(event);
    if (!cursor_->index() && !series().empty()) {
        // Where the class looks: the last reading while the curve follows, else the middle.
        const double middle = xAxis->range().center();
        cursor_->place(following() ? series().size() - 1
                                   : nearestIndex(series().millis(), std::llround(middle * 1000)));
    }
    cursor_->setShown(true);
    cursorMoved(false);
}

void LabPlot::focusOutEvent(QFocusEvent* event) {
    CurvePlot::focusOutEvent(event);
    rangeAnchor_.reset();
}

void LabPlot::keyPressEvent(QKeyEvent* event) {
    if (moveCursor(*event)) {
        return;
    }
    const QString text = event->text();
    if (text == QLatin1String("+") || event->key() == Qt::Key_Plus) {
        zoomTime(0.5);
    } else if (text == QLatin1String("-") || event->key() == Qt::Key_Minus) {
        zoomTime(2.0);
    } else if (event->key() == Qt::Key_Escape && picker().picked()) {
        picker().pick(std::nullopt);
        rangeAnchor_.reset();
    } else if (pair_->shown() && cursor_->index() &&
               (text == QLatin1String("1") || text == QLatin1String("2"))) {
        pair_->put(text == QLatin1String("1") ? 0 : 1, *cursor_->index());
        pairMoved();
    } else {
        CurvePlot::keyPressEvent(event);
    }
}

bool LabPlot::moveCursor(QKeyEvent& event) {
    const auto found = std::find_if(std::begin(keyMoves), std::end(keyMoves),
                                    [&](const KeyMove& k) { return k.key == event.key(); });
    if (found == std::end(keyMoves) || series().empty()) {
        return false;
    }
    const bool extend = event.modifiers() & Qt::ShiftModifier;
    const std::size_t from = cursor_->index().value_or(series().size() - 1);
    if (extend && !rangeAnchor_) {
        rangeAnchor_ = secondsOf(series(), from);
    } else if (!extend) {
        rangeAnchor_.reset();
    }
    cursor_->place(movedCursor(series().millis(), from, found->move));
    cursor_->setShown(true);
    cursorMoved(extend);
    return true;
}

// The cursor's reading told (to the window, to a screen reader), the view moved to show it,
// the tangent drawn there.
void LabPlot::cursorMoved(bool extend) {
    const std::optional<std::size_t> index = cursor_->index();
    if (!index) {
        redrawTools();
        return;
    }
    const double t = cursor_->seconds();
    if (extend && rangeAnchor_) {
        picker().pick(TimeSpan{std::min(*rangeAnchor_, t), std::max(*rangeAnchor_, t)});
    }
    if (!following()) {
        const AxisRange shown = rangeShowing({xAxis->range().lower, xAxis->range().upper}, t);
        if (shown.lower != xAxis->range().lower) {
            xAxis->setRange(shown.lower, shown.upper);
            replot(rpQueuedReplot);
        }
    }
    if (pointerListener_) {
        pointerListener_(index);
    }
    if (const std::optional<double> celsius = cursorCelsius()) {
        QAccessibleValueChangeEvent changed(this, *celsius);
        QAccessible::updateAccessibility(&changed);
    }
    if (tangent_->shown()) {
        drawTangent(t);
    } else {
        redrawTools();
    }
}

// + and −: the time axis around the keyboard cursor, or the middle of the view; zoomed out
// past the whole series, the curve follows it again.
void LabPlot::zoomTime(double factor) {
    const QCPRange range = xAxis->range();
    const double centre = cursor_->index() ? cursor_->seconds() : range.center();
    const AxisRange zoomed = zoomedRange({range.lower, range.upper}, centre, factor);
    const double end = series().empty() ? 0 : secondsOf(series(), series().size() - 1);
    if (factor > 1 && zoomed.upper - zoomed.lower >= followedTimeRange(end).upper) {
        showAll();
        return;
    }
    xAxis->setRange(zoomed.lower, zoomed.upper);
    replot(rpQueuedReplot);
}

void LabPlot::mousePressEvent(QMouseEvent* event) {
    if (!pair_->press(*event)) {
        CurvePlot::mousePressEvent(event);
    }
}

void LabPlot::mouseMoveEvent(QMouseEvent* event) {
    if (pair_->move(*event)) {
        pairMoved();
    } else {
        CurvePlot::mouseMoveEvent(event);
    }
    if (tangent_->shown() && axisRect()->rect().contains(event->pos())) {
        drawTangent(xAxis->pixelToCoord(event->position().x()));
    }
}

void LabPlot::mouseReleaseEvent(QMouseEvent* event) {
    if (pair_->release(*event)) {
        pairMoved();
    } else {
        CurvePlot::mouseReleaseEvent(event);
    }
}

} // namespace thermo
