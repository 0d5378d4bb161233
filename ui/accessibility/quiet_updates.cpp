#include "ui/accessibility/quiet_updates.h"

#include <QAccessible>

namespace thermo {

namespace {

int depth = 0;
QAccessible::UpdateHandler outer = nullptr;

bool quietened(QAccessible::Event type) {
    switch (type) {
    case QAccessible::TextAttributeChanged:
    case QAccessible::TextCaretMoved:
    case QAccessible::TextColumnChanged:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
    case QAccessible::TextSelectionChanged:
    case QAccessible::VisibleDataChanged:
    case QAccessible::ValueChanged:
        return true;
    default:
        return false;
    }
}

// Anything else goes on as without the handler. (updateAccessibility passes a table's change
// to the table before calling a handler; no table changes while updates are quiet.)
void quietHandler(QAccessibleEvent* event) {
    if (quietened(event->type())) {
        return;
    }
    QAccessible::installUpdateHandler(outer);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(quietHandler);
}

} // namespace

QuietUpdates::QuietUpdates() {
    if (depth++ == 0) {
        outer = QAccessible::installUpdateHandler(quietHandler);
    }
}

QuietUpdates::~QuietUpdates() {
    if (--depth == 0) {
        QAccessible::installUpdateHandler(outer);
    }
}

} // namespace thermo
