#pragma once

#include "ui/curve/curve_tools.h"

#include <QObject>

class QLabel;
class QPushButton;

namespace thermo {

class CurveWindow;

// "Curseurs" in the curve window: while it is down, two cursors stand on the curve, dragged
// with the mouse or put at the keyboard cursor with the keys 1 and 2, and the line under the
// tools gives each one's reading, Δt, ΔT and the mean slope between them. A cursor put with
// the keyboard is said to a screen reader.
class CursorControls : public QObject {
    Q_OBJECT
public:
    CursorControls(CurveWindow& window, CurveTools& tools);

private:
    void show(CursorPairPlace place);

    CurveWindow& window_;
    QPushButton* button_;
    QLabel* readout_;
};

} // namespace thermo
