#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPalette>

namespace thermo {

// A measurement field of the main window: bold 18 pt, centred, on a coloured ground, read-only
// (the measurement writes it; the keyboard can still go through its digits). The style's frame
// is replaced by a sunken border, 1 pixel at 100 %, drawn in a text margin of 2 pixels at 100 %
// (Qt's own), so that the longest text of each field (sixteen binary digits, "-9,999 V") fits
// its rectangle whatever the user's widget style. Border and margin grow with the projector
// zoom.
class DisplayField : public QLineEdit {
    Q_OBJECT
public:
    DisplayField(const QColor& background, QWidget* parent = nullptr);

    void setZoom(double zoom);
    int borderWidth() const noexcept { return border_; }
    // A value left from an earlier reading, while the acquisition fails, is drawn in grey, and
    // a screen reader is told it is an old value. (Its italics are the window's to set: its
    // fonts follow the zoom.)
    void setStale(bool stale);
    bool isStale() const noexcept { return stale_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    int border_ = 1;
    bool stale_ = false;
    QPalette usual_;
    QString liveDescription_;
};

// What the main window's measurement fields share: their colours (the ground given, and text
// that stays dark while the window is disabled, for it goes on measuring) and the width of
// their border at a zoom.
QPalette measurementColours(QPalette colours, const QColor& ground);
int measurementBorder(double zoom);

} // namespace thermo
