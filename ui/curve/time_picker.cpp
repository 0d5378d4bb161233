#include "ui/curve/time_picker.h"

#include <algorithm>
#include <cmath>
#include <qcustomplot.h>
#include <utility>

namespace thermo {

namespace {
// A click, or a drag of a pixel or two, picks nothing: it takes the range away.
constexpr double fewestPixels = 3;
} // namespace

TimePicker::TimePicker(QCustomPlot& plot) : plot_(plot), band_(new QCPItemRect(&plot)) {
    band_->setLayer(QStringLiteral("grid"));
    for (QCPItemPosition* corner : {band_->topLeft, band_->bottomRight}) {
        corner->setTypeX(QCPItemPosition::ptPlotCoords);
        corner->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    band_->setPen(Qt::NoPen);
    band_->setBrush(QColor(0x00, 0x60, 0xFF, 0x24));
    band_->setVisible(false);
}

double TimePicker::timeAt(const QMouseEvent& event) const {
    return plot_.xAxis->pixelToCoord(event.position().x());
}

bool TimePicker::press(const QMouseEvent& event) {
    if (event.button() != Qt::LeftButton || !(event.modifiers() & Qt::ShiftModifier) ||
        !plot_.axisRect()->rect().contains(event.pos())) {
        return false;
    }
    start_ = timeAt(event);
    pick(std::nullopt);
    return true;
}

bool TimePicker::move(const QMouseEvent& event) {
    if (!start_) {
        return false;
    }
    const double end = timeAt(event);
    pick(TimeSpan{std::min(*start_, end), std::max(*start_, end)});
    return true;
}

bool TimePicker::release(const QMouseEvent& event) {
    if (!start_) {
        return false;
    }
    const double start = std::exchange(start_, std::nullopt).value();
    const double end = timeAt(event);
    if (std::abs(plot_.xAxis->coordToPixel(start) - event.position().x()) >= fewestPixels) {
        pick(TimeSpan{std::min(start, end), std::max(start, end)});
    }
    return true;
}

void TimePicker::pick(std::optional<TimeSpan> time) {
    picked_ = time;
    band_->setVisible(time.has_value());
    if (time) {
        band_->topLeft->setCoords(time->from, 0);
        band_->bottomRight->setCoords(time->to, 1);
    }
    plot_.replot(QCustomPlot::rpQueuedReplot);
}

} // namespace thermo
