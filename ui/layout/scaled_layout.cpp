#include "ui/layout/scaled_layout.h"

#include <QWidget>
#include <algorithm>
#include <stdexcept>

namespace thermo {

ScaledLayout::ScaledLayout(QWidget& window, int clientWidthTwips, int clientHeightTwips,
                           const QFont& windowFont)
    : window_(window), clientWidth_(clientWidthTwips), clientHeight_(clientHeightTwips),
      windowFont_(windowFont) {
    window.setFont(windowFont);
    window.setFixedSize(toPixels(clientWidthTwips, clientHeightTwips));
}

void ScaledLayout::add(QWidget* control, const TwipsRect& twips) {
    controls_.push_back({control, twips, control->font()});
    control->setGeometry(toPixels(twips, zoom_));
}

ScaledLayout::Control& ScaledLayout::entry(const QWidget* control) {
    return const_cast<Control&>(std::as_const(*this).entry(control));
}

const ScaledLayout::Control* ScaledLayout::find(const QWidget* control) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [control](const Control& c) { return c.widget == control; });
    return found == controls_.end() ? nullptr : &*found;
}

const ScaledLayout::Control& ScaledLayout::entry(const QWidget* control) const {
    const Control* found = find(control);
    if (found == nullptr) {
        throw std::logic_error("ScaledLayout: control not in the layout");
    }
    return *found;
}

void ScaledLayout::setBaseFont(QWidget* control, const QFont& font) {
    entry(control).font = font;
    control->setFont(zoomedFont(font, zoom_));
}

QFont ScaledLayout::baseFont(const QWidget* control) const {
    return entry(control).font;
}

std::optional<TwipsRect> ScaledLayout::twips(const QWidget* control) const {
    const Control* found = find(control);
    return found ? std::optional(found->twips) : std::nullopt;
}

void ScaledLayout::apply(double zoom) {
    zoom_ = zoom;
    window_.setFont(zoomedFont(windowFont_, zoom));
    window_.setFixedSize(toPixels(clientWidth_, clientHeight_, zoom));
    for (const Control& control : controls_) {
        // Set explicitly, so that no control takes the window's font instead of its own.
        control.widget->setFont(zoomedFont(control.font, zoom));
        control.widget->setGeometry(toPixels(control.twips, zoom));
    }
}

QFont zoomedFont(QFont font, double zoom) {
    font.setPointSizeF(font.pointSizeF() * zoom);
    return font;
}

} // namespace thermo
