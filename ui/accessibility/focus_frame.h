#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

namespace thermo {

// A frame around the control that has the keyboard focus, for whoever sees the screen badly:
// two pixels or more (more at a larger zoom), in a blue that stands out at 3:1 or more on the
// windows' ground and every field's colour, astride the control's edge: half outside, where
// the windows leave little room (the bench's boxes fill their panel under its caption), half
// over the control's own border. Each window has one, which follows the focus while the
// window has it.
class FocusFrame : public QWidget {
    Q_OBJECT
public:
    static const QColor colour;

    // From now on, every window of the program frames its focused control.
    static void follow();

    // The frame's width in `window`, with its type.
    static int width(const QWidget& window);
    // The control framed, if any.
    QWidget* framed() const { return framed_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    explicit FocusFrame(QWidget& window);
    void frame(QWidget* control);
    void place();

    QPointer<QWidget> framed_;
};

} // namespace thermo
