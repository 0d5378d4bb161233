#include "ui/curve/notes_layer.h"

#include <qcustomplot.h>

namespace thermo {

namespace {
const QColor noteColour(0x50, 0x50, 0x50);
constexpr int rows = 3;
} // namespace

NotesLayer::NotesLayer(QCustomPlot& plot) : plot_(plot) {}

void NotesLayer::show(std::span<const RunNote> notes) {
    for (QCPAbstractItem* item : items_) {
        plot_.removeItem(item);
    }
    items_.clear();
    const int rowHeight = QFontMetrics(plot_.font()).height() + 6;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const double t = notes[i].seconds;
        auto* line = new QCPItemStraightLine(&plot_);
        line->setLayer(QStringLiteral("model"));
        for (QCPItemPosition* end : {line->point1, line->point2}) {
            end->setTypeX(QCPItemPosition::ptPlotCoords);
            end->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        line->point1->setCoords(t, 0);
        line->point2->setCoords(t, 1);
        line->setPen(QPen(noteColour, lineWidth_, Qt::DotLine));
        auto* text = new QCPItemText(&plot_);
        text->setLayer(QStringLiteral("model"));
        text->setText(QString::fromStdString(notes[i].text));
        text->setFont(plot_.font());
        text->setColor(noteColour);
        text->setBrush(QColor(255, 255, 255, 230));
        text->setPen(QPen(noteColour));
        text->setPadding(QMargins(3, 1, 3, 1));
        text->position->setParentAnchorY(line->point1);
        text->position->setTypeX(QCPItemPosition::ptPlotCoords);
        text->position->setTypeY(QCPItemPosition::ptAbsolute);
        text->position->setCoords(t, 4 + static_cast<int>(i % rows) * rowHeight);
        text->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        items_ << line << text;
    }
}

void NotesLayer::setLineWidth(int pixels) {
    lineWidth_ = pixels;
    for (QCPAbstractItem* item : items_) {
        if (auto* line = qobject_cast<QCPItemStraightLine*>(item)) {
            QPen pen = line->pen();
            pen.setWidth(pixels);
            line->setPen(pen);
        }
    }
}

} // namespace thermo
