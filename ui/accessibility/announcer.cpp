#include "ui/accessibility/announcer.h"

#include "ui/accessibility/accessible_roles.h"

#include <QApplication>
#include <QWidget>

namespace thermo {

namespace {

constexpr const char* noticeName = "announcement";

// A point of the window's ground with nothing drawn: it exists only for the screen reader.
QWidget* makeNotice(QWidget& window) {
    auto* notice = new QWidget(&window);
    notice->setObjectName(QString::fromLatin1(noticeName));
    setAccessibleRole(notice, QAccessible::Notification);
    notice->setGeometry(0, 0, 1, 1);
    notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    notice->setFocusPolicy(Qt::NoFocus);
    notice->hide();
    return notice;
}

QWidget& windowWithFocus(QWidget& from) {
    QWidget* active = QApplication::activeWindow();
    return active != nullptr && active->isVisible() ? *active : *from.window();
}

} // namespace

Announcements& Announcements::instance() {
    static Announcements announcements;
    return announcements;
}

void announce(QWidget& from, const QString& text) {
    QWidget& window = windowWithFocus(from);
    auto* notice =
        window.findChild<QWidget*>(QString::fromLatin1(noticeName), Qt::FindDirectChildrenOnly);
    if (notice == nullptr) {
        notice = makeNotice(window);
    }
    // Shown anew each time: the same words twice are two announcements.
    notice->hide();
    notice->setAccessibleName(text);
    notice->show();
    emit Announcements::instance().announced(text);
}

} // namespace thermo
