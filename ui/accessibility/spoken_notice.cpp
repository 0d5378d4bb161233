#include "ui/accessibility/spoken_notice.h"

#include "ui/accessibility/accessible_roles.h"

namespace thermo {

SpokenNotice::SpokenNotice(const QString& objectName, QWidget& parent) : QWidget(&parent) {
    setObjectName(objectName);
    setAccessibleRole(this, QAccessible::Notification);
    // A point of the ground with nothing drawn: it exists only for the screen reader.
    setGeometry(0, 0, 1, 1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void SpokenNotice::say(const QString& words) {
    hide();
    setAccessibleName(words);
    show();
}

} // namespace thermo
