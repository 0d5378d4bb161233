#pragma once

#include "tests/support/text_fit.h"
#include "ui/layout/fixed_window.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QList>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <algorithm>

namespace thermo::test {

// What a window draws over its controls and is no control of its table: the focus frame and
// the screen reader's notices.
inline bool isDecoration(const QWidget* widget) {
    const QString name = widget->objectName();
    return name == QLatin1String("focusFrame") || name == QLatin1String("announcements");
}

// What is wrong with a window as it stands, nothing when all is well: every visible control
// lies inside the window, no two of them overlap beyond the one-pixel edge a table has some
// neighbours share (and frame lines meet each other at their ends), and every label's and
// button's text shows whole.
inline QStringList layoutFaults(const QWidget& window) {
    const auto isLine = [](const QWidget* control) {
        return control->objectName().startsWith(QLatin1String("Line"));
    };
    // A table lets some neighbours share the edge of one pixel (15 twips), nothing more.
    const auto* fixed = qobject_cast<const FixedWindow*>(&window);
    const auto sharedEdge = [fixed](const QWidget* a, const QWidget* b) {
        if (fixed == nullptr) {
            return false;
        }
        const auto first = fixed->tableRect(a);
        const auto second = fixed->tableRect(b);
        if (!first || !second) {
            return false;
        }
        const QRect shared =
            QRect(first->left, first->top, first->width, first->height)
                .intersected(QRect(second->left, second->top, second->width, second->height));
        return !shared.isEmpty() && std::min(shared.width(), shared.height()) <= 15;
    };
    QList<QWidget*> controls;
    for (QWidget* control : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isVisibleTo(&window) && !control->isWindow() && !isDecoration(control)) {
            controls << control;
        }
    }
    QStringList faults;
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget* control = controls[i];
        const QString name = control->objectName();
        if (!window.rect().contains(control->geometry())) {
            faults << name + QStringLiteral(" outside the window");
        }
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget* other = controls[j];
            if (control->geometry().intersects(other->geometry()) &&
                !(isLine(control) && isLine(other)) && !sharedEdge(control, other)) {
                faults << name + QStringLiteral(" overlaps ") + other->objectName();
            }
        }
        QString text;
        QRect room = control->contentsRect();
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            text = label->text();
        } else if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
            text = box->text();
            QStyleOptionButton option;
            option.initFrom(box);
            room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            text = button->text();
            room = room.marginsRemoved({4, 4, 4, 4}); // the button's bevel
        }
        if (!text.isEmpty() && (textWidth(control->font(), text) > room.width() ||
                                QFontMetrics(control->font()).height() > room.height())) {
            faults << name + QStringLiteral(" cut: ") + text;
        }
    }
    return faults;
}

} // namespace thermo::test
