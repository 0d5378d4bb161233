#pragma once

#include "ui/layout/fixed_window.h" // what all the windows share

#include <QSize>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

namespace thermo {

// A window laid out by Qt's layouts, for every window that has no table of its own: it shares
// the table windows' ground colour and default font, and grows with the projector zoom and with
// its texts, since its controls take the room their type needs.
class LaidOutWindow : public QWidget {
    Q_OBJECT
public:
    double zoom() const noexcept { return zoom_; }

public slots:
    // Projector mode: the type at `zoom` times its size, the window as much larger within the
    // screen, never smaller than its controls need; away from 100 %, the title says the scale.
    virtual void setZoom(double zoom);

protected:
    // `sizeAt100` is the window's first size; `frameButtons` adds to the title bar's close
    // button.
    LaidOutWindow(const char* objectName, const QString& title, QSize sizeAt100,
                  Qt::WindowFlags frameButtons = {});

    // A label on the window's ground, in the window's type, bold or not.
    QLabel* makeLabel(const char* name, const QString& text, bool bold = false);
    // Neither the Enter nor the Escape button: the windows have none.
    QPushButton* makeButton(const char* name, const QString& text);
    // Called once the type is at the new zoom, before the window takes its new size: sizes
    // that follow the type, beyond what the layouts know, are set here.
    virtual void fitToType() {}

private:
    QString title_;
    QSize sizeAt100_;
    double zoom_ = 1.0;
};

} // namespace thermo
