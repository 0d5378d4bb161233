#pragma once

#include <QString>
#include <span>

class QCPGraph;
class QCustomPlot;

namespace thermo {

// A model drawn over the temperature: black and dashed, a pixel wider than the measured lines
// so that it shows over them and on a projector, named last in the legend. It has a layer of
// its own, so that a tick that redraws the lines leaves it as it was.
class ModelOverlay {
public:
    explicit ModelOverlay(QCustomPlot& plot);

    // Replaces the model drawn before; the legend goes to the corner the model leaves free,
    // top right after a fall, bottom right after a rise.
    void show(std::span<const double> seconds, std::span<const double> celsius,
              const QString& name);
    void clear();
    bool shown() const;
    // The measured lines' width, in pixels.
    void setLineWidth(int pixels);

private:
    QCustomPlot& plot_;
    QCPGraph* graph_;
};

} // namespace thermo
