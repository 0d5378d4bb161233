#pragma once

#include <QColor>
#include <QTextEdit>

namespace thermo {

// The main window's temperature field Text1: bold, centred on a coloured ground, read-only and
// wrapping, so that the low-supply message shows whole on two centred lines at 8 pt. Its sunken
// border grows with the projector zoom.
class TemperatureField : public QTextEdit {
    Q_OBJECT
public:
    TemperatureField(const QColor& background, QWidget* parent = nullptr);

    void setZoom(double zoom);
};

} // namespace thermo
