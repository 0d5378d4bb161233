#include "ui/curve/cursor_pair.h"

#include "ui/curve/curve_axes.h"

#include <cmath>
#include <qcustomplot.h>

namespace thermo {

namespace {

const QColor pairColour(0x40, 0x40, 0x40);
// A press this close to a cursor, in pixels, takes it.
constexpr double grip = 6;

} // namespace

CursorPair::CursorPair(QCustomPlot& plot, const SessionSeries& series)
    : plot_(plot), series_(&series) {
    for (int i = 0; i < 2; ++i) {
        lines_[i] = new QCPItemStraightLine(&plot);
        labels_[i] = new QCPItemText(&plot);
        lines_[i]->setLayer(QStringLiteral("tools"));
        labels_[i]->setLayer(QStringLiteral("tools"));
        for (QCPItemPosition* end : {lines_[i]->point1, lines_[i]->point2}) {
            end->setTypeX(QCPItemPosition::ptPlotCoords);
            end->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        labels_[i]->setText(QString::number(i + 1));
        labels_[i]->setFont(plot.font());
        labels_[i]->setColor(Qt::white);
        labels_[i]->setBrush(pairColour);
        labels_[i]->setPadding(QMargins(3, 1, 3, 1));
        labels_[i]->position->setTypeX(QCPItemPosition::ptPlotCoords);
        labels_[i]->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        // At the foot of the plot: the notes' texts are at its top.
        labels_[i]->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    }
    setLineWidth(1);
    draw();
}

void CursorPair::setShown(bool shown) {
    shown_ = shown;
    if (shown && !series_->empty()) {
        const QCPRange view = plot_.xAxis->range();
        const auto millis = series_->millis();
        for (int i = 0; i < 2; ++i) {
            const double t = view.lower + view.size() * (i + 1) / 3.0;
            at_[i] = nearestIndex(millis, std::llround(t * 1000.0));
        }
    } else {
        at_ = {};
    }
    draw();
}

CursorPairPlace CursorPair::place() const {
    return {at_[0], at_[1]};
}

void CursorPair::put(int which, std::size_t index) {
    if (shown_ && index < series_->size()) {
        at_[static_cast<std::size_t>(which)] = index;
        draw();
    }
}

std::size_t CursorPair::readingAt(double pixel) const {
    return nearestIndex(series_->millis(), std::llround(plot_.xAxis->pixelToCoord(pixel) * 1000.0));
}

bool CursorPair::press(const QMouseEvent& event) {
    if (!shown_ || event.button() != Qt::LeftButton || event.modifiers() != Qt::NoModifier) {
        return false;
    }
    double nearest = grip;
    for (int i = 0; i < 2; ++i) {
        if (at_[i]) {
            const double t = static_cast<double>(series_->millis()[*at_[i]]) / 1000.0;
            const double distance = std::abs(plot_.xAxis->coordToPixel(t) - event.position().x());
            if (distance <= nearest) {
                nearest = distance;
                dragged_ = i;
            }
        }
    }
    return dragged_.has_value();
}

bool CursorPair::move(const QMouseEvent& event) {
    if (!dragged_) {
        return false;
    }
    at_[static_cast<std::size_t>(*dragged_)] = readingAt(event.position().x());
    draw();
    return true;
}

bool CursorPair::release(const QMouseEvent& event) {
    const bool moved = move(event);
    dragged_.reset();
    return moved;
}

void CursorPair::setLineWidth(int pixels) {
    for (QCPItemStraightLine* line : lines_) {
        line->setPen(QPen(pairColour, pixels + 1, Qt::DashDotLine));
    }
}

void CursorPair::follow() {
    for (auto& at : at_) {
        if (at && *at >= series_->size()) {
            at.reset();
        }
    }
    if (shown_ && (!at_[0] || !at_[1])) {
        setShown(true); // back on a series that has readings again
        return;
    }
    draw();
}

void CursorPair::setSeries(const SessionSeries& series) {
    series_ = &series;
    at_ = {};
    dragged_.reset();
    follow();
}

void CursorPair::draw() {
    for (std::size_t i = 0; i < 2; ++i) {
        const bool visible = shown_ && at_[i].has_value();
        lines_[i]->setVisible(visible);
        labels_[i]->setVisible(visible);
        if (visible) {
            const double t = static_cast<double>(series_->millis()[*at_[i]]) / 1000.0;
            lines_[i]->point1->setCoords(t, 0);
            lines_[i]->point2->setCoords(t, 1);
            labels_[i]->position->setCoords(t, 1);
        }
    }
}

} // namespace thermo
