#pragma once

#include "ui/layout/twips.h"

#include <QFont>
#include <optional>
#include <vector>

class QWidget;

namespace thermo {

// A fixed-layout window's controls, placed from its twips table at the projector zoom, with
// their fonts scaled by the same factor. The font each control has when it is added is its
// font at 100 %.
class ScaledLayout {
public:
    // Gives the window its size and default font at 100 %, before its controls are made.
    ScaledLayout(QWidget& window, int clientWidthTwips, int clientHeightTwips,
                 const QFont& windowFont);

    void add(QWidget* control, const TwipsRect& twips);
    // Changes a control's font at 100 % (the temperature field's 18 / 8 points) and shows it
    // at the current zoom.
    void setBaseFont(QWidget* control, const QFont& font);
    QFont baseFont(const QWidget* control) const;
    // Where the table puts a control; nothing for a control not in the layout.
    std::optional<TwipsRect> twips(const QWidget* control) const;

    // Sizes the window, places the controls and scales the fonts.
    void apply(double zoom);
    double zoom() const noexcept { return zoom_; }
    QSize clientTwips() const noexcept { return {clientWidth_, clientHeight_}; }

private:
    struct Control {
        QWidget* widget;
        TwipsRect twips;
        QFont font;
    };
    const Control* find(const QWidget* control) const;
    Control& entry(const QWidget* control);
    const Control& entry(const QWidget* control) const;

    QWidget& window_;
    int clientWidth_;
    int clientHeight_;
    QFont windowFont_;
    std::vector<Control> controls_;
    double zoom_ = 1.0;
};

// `font` at `zoom` times its point size.
QFont zoomedFont(QFont font, double zoom);

} // namespace thermo
