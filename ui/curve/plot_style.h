#pragma once

class QCustomPlot;

namespace thermo {

// Lines one pixel wide: a wider pen is stroked with joins, which costs three times as much per
// redraw (measured: 3.4 against 0.9 ms a tick on a 2-hour series); two pixels only from the
// projector's 200 %, where one would be hard to see.
int lineWidth(double zoom);

// What a plot against time is made with: the user's decimal separator without grouping, the
// pointer followed, only time moved by the wheel and a drag, the legend at the top left, and a
// drawing buffer of its own for the lines, so that a tick that leaves the axes as they were
// redraws the lines alone, not the grid, the axes and their texts.
void prepareTimePlot(QCustomPlot& plot);

// The axes and the legend at the projector's zoom: their type is the plot's font, which the
// window scales as its other controls', the labels in bold; pens and ticks grow with the zoom.
void styleAxes(QCustomPlot& plot, double zoom);

} // namespace thermo
