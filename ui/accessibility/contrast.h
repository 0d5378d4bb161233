#pragma once

#include <QColor>
#include <QFont>

namespace thermo {

// How well a text stands out from its ground, as whoever sees badly reads it: the ratio of the
// two colours' relative luminances (each lightened by 0.05 for the screen's glare), from 1:1
// for the same colour to 21:1 for black on white.
double contrastRatio(const QColor& text, const QColor& ground);

// The least ratio a text in `font` needs: 4.5:1, or 3:1 for large type (18 points, or 14 bold),
// whose strokes are wide enough to be read with less.
double leastContrast(const QFont& font);

} // namespace thermo
