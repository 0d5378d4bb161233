#pragma once

#include "analysis/tangent.h"

#include <QObject>
#include <optional>

class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace thermo {

class CurveTools;
class CurveWindow;

// "Tangente" in the curve window: while it is down, the tangent follows the pointer, or the
// keyboard cursor when it moves, and the line under the tools says where it touches and its
// slope in °C/s and °C/min with its uncertainty. The box beside it is the half-width of the
// window of readings the slope is worked out from: wider on a noisy curve. With the keyboard,
// the slope is also said as part of the plot's description.
class TangentControls : public QObject {
    Q_OBJECT
public:
    TangentControls(CurveWindow& window, CurveTools& tools);

private:
    void show(std::optional<Tangent> tangent);

    CurveWindow& window_;
    CurveTools& tools_;
    QPushButton* button_;
    QDoubleSpinBox* width_;
    QLabel* readout_;
};

} // namespace thermo
