#pragma once

#include "ui/curve/curve_tools.h"

#include <QDialog>
#include <QObject>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QPushButton;

namespace thermo {

class CurveWindow;

// "Axes…" in the curve window: the time and temperature axes set by hand (minimum, maximum,
// step between ticks) or left automatic. "Tout voir" puts both back to automatic.
class AxesTool : public QObject {
    Q_OBJECT
public:
    AxesTool(CurveWindow& window, CurveTools& tools);
    void open();

private:
    CurveWindow& window_;
    CurveTools& tools_;
};

// The dialog: for each axis, Automatique, or a minimum below a maximum and a step (0: the
// axis chooses); OK stays grey while a minimum is not below its maximum.
class AxesDialog : public QDialog {
    Q_OBJECT
public:
    AxesDialog(const AxesSettings& axes, QWidget* parent);
    AxesSettings settings() const;

private:
    struct Axis {
        QGroupBox* box;
        QCheckBox* automatic;
        QDoubleSpinBox* lower;
        QDoubleSpinBox* upper;
        QDoubleSpinBox* step;
    };
    Axis makeAxis(const char* name, const QString& title, const QString& unit,
                  const AxisSetting& setting);
    static AxisSetting read(const Axis& axis);
    void check();

    Axis time_;
    Axis temperature_;
    QPushButton* ok_;
};

} // namespace thermo
