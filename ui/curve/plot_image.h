#pragma once

#include <QString>

class QCustomPlot;

namespace thermo {

// Saves the plot as it is on screen, as a PNG picture (at twice the screen's resolution, for
// a printed report) or, for a path ending in ".svg", as an SVG drawing. The file is replaced
// whole or not at all. Returns the failure in French, naming the file and the cause; empty
// when the image was saved.
QString savePlotImage(QCustomPlot& plot, const QString& path);

} // namespace thermo
