#pragma once

#include "tests/support/layout_check.h"
#include "ui/accessibility/contrast.h"
#include "ui/accessibility/focus_frame.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

namespace thermo::test {

// The colour a control is drawn on: its own ground if it paints one, else its nearest
// ancestor's that does.
inline QColor groundOf(const QWidget& control, QPalette::ColorGroup group) {
    const QWidget* painter = &control;
    while (!painter->isWindow() && !painter->autoFillBackground() &&
           !qobject_cast<const QLineEdit*>(painter) &&
           !qobject_cast<const QAbstractButton*>(painter)) {
        painter = painter->parentWidget();
    }
    return painter->palette().color(group, painter->backgroundRole());
}

// Every text of `window` that stands out from its ground less than its size needs, and every
// ground the focus frame would not stand out from at 3:1; nothing when all is well. A disabled
// control is not read, except the reading fields, which go on showing the measurement.
inline QStringList contrastFaults(const QWidget& window) {
    QStringList faults;
    if (FocusFrame::width(window) < 2) {
        faults << QStringLiteral("cadre du focus de %1 px").arg(FocusFrame::width(window));
    }
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const auto* label = qobject_cast<const QLabel*>(control);
        const auto* field = qobject_cast<const QLineEdit*>(control);
        const auto* button = qobject_cast<const QAbstractButton*>(control);
        const bool hasText = (label && !label->text().isEmpty()) || field ||
                             (button && !button->text().isEmpty());
        if (!hasText || isDecoration(control) || !control->isVisibleTo(&window) ||
            (!control->isEnabled() && !field)) {
            continue;
        }
        const auto group = control->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const QColor ground = groundOf(*control, group);
        const QColor text = control->palette().color(group, control->foregroundRole());
        const double ratio = contrastRatio(text, ground);
        if (ratio < leastContrast(control->font())) {
            faults << QStringLiteral("%1 : %2 sur %3, %4:1")
                          .arg(control->objectName(), text.name(), ground.name())
                          .arg(ratio, 0, 'f', 2);
        }
        if (control->focusPolicy() & Qt::TabFocus &&
            contrastRatio(FocusFrame::colour, groundOf(*control->parentWidget(), group)) < 3.0) {
            faults << QStringLiteral("cadre du focus de %1").arg(control->objectName());
        }
    }
    return faults;
}

} // namespace thermo::test
