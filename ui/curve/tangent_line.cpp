#include "ui/curve/tangent_line.h"

#include <qcustomplot.h>

namespace thermo {

namespace {
const QColor tangentColour(0x00, 0x60, 0xB0);
} // namespace

TangentLine::TangentLine(QCustomPlot& plot, const SessionSeries& series)
    : plot_(plot), series_(&series), line_(new QCPItemStraightLine(&plot)),
      point_(new QCPItemTracer(&plot)), window_(new QCPItemRect(&plot)) {
    const QString layer = QStringLiteral("tools");
    for (QCPAbstractItem* item : std::initializer_list<QCPAbstractItem*>{line_, point_, window_}) {
        item->setLayer(layer);
    }
    point_->setStyle(QCPItemTracer::tsCircle);
    point_->setSize(7);
    point_->setBrush(tangentColour);
    for (QCPItemPosition* corner : {window_->topLeft, window_->bottomRight}) {
        corner->setTypeX(QCPItemPosition::ptPlotCoords);
        corner->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    window_->setPen(Qt::NoPen);
    window_->setBrush(QColor(0x00, 0x60, 0xB0, 0x18));
    setLineWidth(1);
    hide();
}

void TangentLine::setShown(bool shown) {
    shown_ = shown;
    if (!shown) {
        hide();
    }
}

void TangentLine::setSeries(const SessionSeries& series) {
    series_ = &series;
    hide();
}

void TangentLine::hide() {
    line_->setVisible(false);
    point_->setVisible(false);
    window_->setVisible(false);
}

std::optional<Tangent> TangentLine::moveTo(double seconds) {
    const std::optional<Tangent> tangent =
        shown_ ? tangentAt(*series_, seconds, halfWidth_) : std::nullopt;
    if (!tangent) {
        hide();
        return tangent;
    }
    line_->point1->setCoords(tangent->seconds, tangent->celsius);
    line_->point2->setCoords(tangent->seconds + 1.0, tangent->celsius + tangent->slope);
    point_->position->setCoords(tangent->seconds, tangent->celsius);
    window_->topLeft->setCoords(tangent->seconds - halfWidth_, 0);
    window_->bottomRight->setCoords(tangent->seconds + halfWidth_, 1);
    line_->setVisible(true);
    point_->setVisible(true);
    window_->setVisible(true);
    return tangent;
}

void TangentLine::setLineWidth(int pixels) {
    line_->setPen(QPen(tangentColour, pixels + 1));
    point_->setPen(QPen(tangentColour, pixels));
}

} // namespace thermo
