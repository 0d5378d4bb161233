#include "ui/curve/plot_style.h"

#include <qcustomplot.h>

namespace thermo {

int lineWidth(double zoom) {
    return zoom >= 2 ? 2 : 1;
}

void prepareTimePlot(QCustomPlot& plot) {
    QLocale numbers;
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    plot.setLocale(numbers);
    plot.setMouseTracking(true);
    plot.setNoAntialiasingOnDrag(true);
    plot.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    plot.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot.axisRect()->setRangeDrag(Qt::Horizontal);
    plot.axisRect()->setRangeZoom(Qt::Horizontal);
    plot.axisRect()->setRangeDragAxes(plot.xAxis, nullptr);
    plot.axisRect()->setRangeZoomAxes(plot.xAxis, nullptr);
    plot.layer(QStringLiteral("main"))->setMode(QCPLayer::lmBuffered);
}

void styleAxes(QCustomPlot& plot, double zoom) {
    const QFont ticks = plot.font();
    QFont labels = ticks;
    labels.setBold(true);
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis, plot.yAxis2}) {
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
    plot.legend->setFont(ticks);
}

} // namespace thermo
