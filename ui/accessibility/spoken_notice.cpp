#include "ui/accessibility/spoken_notice.h"

#include "ui/accessibility/announcer.h"

namespace thermo {

SpokenNotice::SpokenNotice(const QString& objectName, QWidget& parent) : QWidget(&parent) {
    setObjectName(objectName);
    // A point of the window's ground, never shown.
    setGeometry(0, 0, 1, 1);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void SpokenNotice::say(const QString& words) {
    said_ = words;
    announce(*parentWidget(), words);
}

} // namespace thermo
