#include "ui/accessibility/announcer.h"

#include "ui/accessibility/accessible_roles.h"

#include <QApplication>
#include <QWidget>

namespace thermo {

namespace {

constexpr const char* barName = "announcements";
constexpr const char* noticeName = "announcement";

// A point of the window's ground with nothing drawn: it exists only for the screen reader.
QWidget* makePoint(QWidget& parent, const char* name, QAccessible::Role role) {
    auto* point = new QWidget(&parent);
    point->setObjectName(QString::fromLatin1(name));
    setAccessibleRole(point, role);
    point->setGeometry(0, 0, 1, 1);
    point->setAttribute(Qt::WA_TransparentForMouseEvents);
    point->setFocusPolicy(Qt::NoFocus);
    return point;
}

// The window's notice, in a status bar of its own: Orca says a status bar's notification
// without the word "notification" before it.
QWidget& noticeOf(QWidget& window) {
    auto* bar =
        window.findChild<QWidget*>(QString::fromLatin1(barName), Qt::FindDirectChildrenOnly);
    if (bar == nullptr) {
        bar = makePoint(window, barName, QAccessible::StatusBar);
        makePoint(*bar, noticeName, QAccessible::Notification)->hide();
        bar->show();
    }
    return *bar->findChild<QWidget*>(QString::fromLatin1(noticeName));
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
    QWidget& notice = noticeOf(windowWithFocus(from));
    // Shown anew each time: the same words twice are two announcements.
    notice.hide();
    notice.setAccessibleName(text);
    notice.show();
    emit Announcements::instance().announced(text);
}

} // namespace thermo
