#pragma once

#include <QString>
#include <functional>

class QCustomPlot;
class QIODevice;

namespace thermo {

// Saves the plot as it is on screen, as a PNG picture (at twice the screen's resolution, for
// a printed report) or, for a path ending in ".svg", as an SVG drawing. The file is replaced
// whole or not at all. Returns the failure in French, naming the file and the cause; empty
// when the image was saved.
QString savePlotImage(QCustomPlot& plot, const QString& path);

// Writes the file `path` whole or not at all, `draw` putting its content into it. Returns the
// failure in French, naming the file and the cause (`unproduced` when `draw` fails while the
// file reports no error); empty when written.
QString writeWhole(const QString& path, const std::function<bool(QIODevice&)>& draw,
                   const QString& unproduced);

} // namespace thermo
