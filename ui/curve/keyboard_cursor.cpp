#include "ui/curve/keyboard_cursor.h"

#include "core/code_conversion.h"

#include <cmath>
#include <qcustomplot.h>

namespace thermo {

namespace {
const QColor cursorColour(0x20, 0x20, 0x20);
} // namespace

KeyboardCursor::KeyboardCursor(QCustomPlot& plot, const SessionSeries& series)
    : plot_(plot), series_(&series), line_(new QCPItemStraightLine(&plot)),
      ring_(new QCPItemTracer(&plot)) {
    const QString layer = QStringLiteral("tools");
    line_->setLayer(layer);
    ring_->setLayer(layer);
    for (QCPItemPosition* end : {line_->point1, line_->point2}) {
        end->setTypeX(QCPItemPosition::ptPlotCoords);
        end->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    ring_->setStyle(QCPItemTracer::tsCircle);
    ring_->setSize(9);
    setLineWidth(1);
    draw();
}

double KeyboardCursor::seconds() const {
    return index_ ? static_cast<double>(series_->millis()[*index_]) / 1000.0 : 0.0;
}

void KeyboardCursor::place(std::optional<std::size_t> index) {
    index_ = index && *index < series_->size() ? index : std::nullopt;
    draw();
}

void KeyboardCursor::setSeries(const SessionSeries& series) {
    series_ = &series;
    place(std::nullopt);
}

void KeyboardCursor::setShown(bool shown) {
    shown_ = shown;
    draw();
}

void KeyboardCursor::setLineWidth(int pixels) {
    line_->setPen(QPen(cursorColour, pixels, Qt::DashLine));
    ring_->setPen(QPen(cursorColour, pixels + 1));
}

void KeyboardCursor::draw() {
    const bool visible = shown_ && index_.has_value();
    line_->setVisible(visible);
    if (!visible) {
        ring_->setVisible(false);
        return;
    }
    const double t = seconds();
    line_->point1->setCoords(t, 0);
    line_->point2->setCoords(t, 1);
    const double celsius = series_->column(SeriesColumn::Temperature)[*index_];
    ring_->setVisible(!std::isnan(celsius)); // a gap has no point to ring
    if (!std::isnan(celsius)) {
        ring_->position->setCoords(t, roundHalfEven(celsius, temperatureDecimals));
    }
}

} // namespace thermo
