#include "ui/accessibility/accessible_roles.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace thermo {

namespace {

constexpr const char* roleProperty = "thermoAccessibleRole";

QAccessibleInterface* roleFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    const QVariant role = widget->property(roleProperty);
    if (!role.isValid()) {
        return nullptr;
    }
    return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void setAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    widget->setProperty(roleProperty, static_cast<int>(role));
}

} // namespace thermo
