#include "ui/curve/model_overlay.h"

#include <QObject>
#include <qcustomplot.h>

namespace thermo {

namespace {

const QString layerName = QStringLiteral("model");
// Points of a drawn model: smooth at any width the plot can have.
constexpr int modelPoints = 400;

struct Look {
    QColor colour;
    Qt::PenStyle dash;
};
// Told apart by their dash as well as their colour, and none the temperature's red.
const Look looks[] = {{Qt::black, Qt::DashLine},
                      {QColor(0x80, 0x00, 0x80), Qt::DotLine},
                      {QColor(0xA0, 0x50, 0x00), Qt::DashDotLine},
                      {QColor(0x00, 0x68, 0x68), Qt::DashDotDotLine}};
// Where along its line each model's equation is written, so that two on one range part.
const double equationAt[] = {0.5, 0.3, 0.7, 0.15, 0.85};

} // namespace

ModelOverlay::ModelOverlay(QCustomPlot& plot) : plot_(plot) {
    plot.addLayer(layerName, plot.layer(QStringLiteral("main")), QCustomPlot::limAbove);
    plot.layer(layerName)->setMode(QCPLayer::lmBuffered);
}

void ModelOverlay::clear() {
    for (QCPGraph* graph : graphs_) {
        plot_.removeGraph(graph);
    }
    for (QCPAbstractItem* item : equations_) {
        plot_.removeItem(item);
    }
    for (QCPAbstractItem* item : anchors_) {
        plot_.removeItem(item);
    }
    graphs_.clear();
    equations_.clear();
    anchors_.clear();
}

void ModelOverlay::show(std::span<const ModelResult> models) {
    clear();
    const QCPRange view = plot_.xAxis->range();
    for (std::size_t m = 0; m < models.size(); ++m) {
        const ModelResult& model = models[m];
        const Look& look = looks[m % std::size(looks)];
        QVector<QCPGraphData> points;
        points.reserve(modelPoints);
        for (int i = 0; i < modelPoints; ++i) {
            const double t =
                model.fromSeconds + (model.toSeconds - model.fromSeconds) * i / (modelPoints - 1);
            points.append(QCPGraphData(t, modelValue(model, t)));
        }
        QCPGraph* graph = plot_.addGraph(plot_.xAxis, plot_.yAxis);
        graph->setLayer(layerName);
        graph->data()->set(points, true);
        graph->setName(QObject::tr("Modèle %1 : %2")
                           .arg(m + 1)
                           .arg(QString::fromStdString(modelKindName(model.kind))));
        graph->setPen(QPen(look.colour, lineWidth_ + 1, look.dash));
        graphs_.append(graph);

        // The equation beside the line, on the side a monotonic curve leaves free: above a
        // fall, below a rise; toward the middle of the view.
        const bool falls = points.front().value > points.back().value;
        const double t = model.fromSeconds + (model.toSeconds - model.fromSeconds) *
                                                 equationAt[m % std::size(equationAt)];
        auto* anchor = new QCPItemTracer(&plot_);
        anchor->setLayer(layerName);
        anchor->setStyle(QCPItemTracer::tsNone);
        anchor->position->setCoords(t, modelValue(model, t));
        anchors_.append(anchor);
        auto* equation = new QCPItemText(&plot_);
        equation->setLayer(layerName);
        equation->setText(QString::fromStdString(model.equation));
        equation->setColor(look.colour);
        equation->setFont(plot_.font());
        equation->setPen(QPen(look.colour));
        equation->setBrush(QColor(255, 255, 255, 230));
        equation->setPadding(QMargins(4, 2, 4, 2));
        const bool right = t > view.center();
        equation->setPositionAlignment((right ? Qt::AlignRight : Qt::AlignLeft) |
                                       (falls ? Qt::AlignBottom : Qt::AlignTop));
        equation->position->setParentAnchor(anchor->position);
        equation->position->setCoords(right ? -8 : 8, falls ? -8 : 8);
        equations_.append(equation);
    }
    const bool falls = !graphs_.isEmpty() && !graphs_.front()->data()->isEmpty() &&
                       graphs_.front()->data()->constBegin()->value >
                           (graphs_.front()->data()->constEnd() - 1)->value;
    plot_.axisRect()->insetLayout()->setInsetAlignment(
        0, graphs_.isEmpty() ? Qt::AlignTop | Qt::AlignLeft
                             : (falls ? Qt::AlignTop : Qt::AlignBottom) | Qt::AlignRight);
}

void ModelOverlay::setLineWidth(int pixels) {
    lineWidth_ = pixels;
    for (QCPGraph* graph : graphs_) {
        QPen pen = graph->pen();
        pen.setWidth(pixels + 1);
        graph->setPen(pen);
    }
}

} // namespace thermo
