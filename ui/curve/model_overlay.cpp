#include "ui/curve/model_overlay.h"

#include <qcustomplot.h>

namespace thermo {

namespace {
const QString layerName = QStringLiteral("model");
} // namespace

ModelOverlay::ModelOverlay(QCustomPlot& plot) : plot_(plot) {
    plot.addLayer(layerName, plot.layer(QStringLiteral("main")), QCustomPlot::limAbove);
    plot.layer(layerName)->setMode(QCPLayer::lmBuffered);
    graph_ = plot.addGraph(plot.xAxis, plot.yAxis);
    graph_->setLayer(layerName);
    graph_->setVisible(false);
    graph_->removeFromLegend();
}

void ModelOverlay::show(std::span<const double> seconds, std::span<const double> celsius,
                        const QString& name) {
    QVector<QCPGraphData> points;
    points.reserve(static_cast<qsizetype>(seconds.size()));
    for (std::size_t i = 0; i < seconds.size() && i < celsius.size(); ++i) {
        points.append(QCPGraphData(seconds[i], celsius[i]));
    }
    graph_->data()->set(points, true);
    graph_->setName(name);
    graph_->setVisible(true);
    graph_->removeFromLegend(); // last in the legend
    graph_->addToLegend();
    const bool falls = !points.isEmpty() && points.front().value > points.back().value;
    plot_.axisRect()->insetLayout()->setInsetAlignment(0, (falls ? Qt::AlignTop : Qt::AlignBottom) |
                                                              Qt::AlignRight);
}

void ModelOverlay::clear() {
    graph_->data()->clear();
    graph_->setVisible(false);
    graph_->removeFromLegend();
    plot_.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
}

bool ModelOverlay::shown() const {
    return graph_->visible();
}

void ModelOverlay::setLineWidth(int pixels) {
    graph_->setPen(QPen(Qt::black, pixels + 1, Qt::DashLine));
}

} // namespace thermo
