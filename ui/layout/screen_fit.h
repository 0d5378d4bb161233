#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace thermo {

// Where a window may lie on the screen it is on: the screen's area less its panels.
QRect availableArea(const QWidget& window);

// `frame` moved, not resized, into the available area of the window's screen; a frame larger
// than the area keeps its top-left corner inside, where the title bar is.
QRect onScreen(QRect frame, const QWidget& window);

// Moves a top-level window back onto its screen after it grew.
void keepOnScreen(QWidget& window);

// The largest scale at which a client area of `clientTwips` (15 twips to a pixel at 100 %),
// with the frame the window system adds around it, fits `area`; in whole percents.
double largestFittingScale(QSize clientTwips, QSize frame, QSize area);

} // namespace thermo
