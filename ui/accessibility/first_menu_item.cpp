#include "ui/accessibility/first_menu_item.h"

#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

namespace thermo {

void startOnFirstItem(QMenu& menu) {
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu] {
        // A mouse opens a menu with its button down; a key with none.
        if (QGuiApplication::mouseButtons() != Qt::NoButton) {
            return;
        }
        // Once the menu shows: an item made current before is forgotten as it opens.
        QTimer::singleShot(0, &menu, [&menu] {
            if (menu.activeAction() != nullptr) {
                return;
            }
            for (QAction* action : menu.actions()) {
                if (!action->isSeparator() && action->isEnabled() && action->isVisible()) {
                    menu.setActiveAction(action);
                    return;
                }
            }
        });
    });
}

} // namespace thermo
