#pragma once

#include <QColor>
#include <QLineEdit>

namespace thermo {

// A measurement field of the main window: bold 18 pt, centred, on a coloured ground. The
// style's frame is replaced by a 1-pixel sunken border drawn in Qt's own 2-pixel text margin,
// so that the longest text of each field (sixteen binary digits, "-9,999 V") fits its
// rectangle whatever the user's widget style.
class DisplayField : public QLineEdit {
    Q_OBJECT
public:
    DisplayField(const QColor& background, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace thermo
