#pragma once

#include "core/model_result.h"

#include <QList>
#include <span>

class QCPGraph;
class QCPItemText;
class QCPItemTracer;
class QCustomPlot;

namespace thermo {

// The run's models drawn over the temperature: each dashed in a colour and a dash of its own,
// a pixel wider than the measured lines so that it shows over them and on a projector, named
// in the legend, its equation with its numbers written beside its line, in its colour, on the
// side the curve leaves free. They have a layer of their own, so that a tick that redraws the
// lines leaves them as they were; pictures and printed pages carry them.
class ModelOverlay {
public:
    explicit ModelOverlay(QCustomPlot& plot);

    // Replaces the models drawn before; the legend goes to the corner the first model leaves
    // free, top right after a fall, bottom right after a rise.
    void show(std::span<const ModelResult> models);
    bool shown() const { return !graphs_.isEmpty(); }
    // The measured lines' width, in pixels.
    void setLineWidth(int pixels);

private:
    void clear();

    QCustomPlot& plot_;
    QList<QCPGraph*> graphs_;
    QList<QCPItemTracer*> anchors_;
    QList<QCPItemText*> equations_;
    int lineWidth_ = 1;
};

} // namespace thermo
