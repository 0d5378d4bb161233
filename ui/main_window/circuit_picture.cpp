#include "ui/main_window/circuit_picture.h"

#include "ui/accessibility/accessible_roles.h"
#include "ui/embedded_resources.h"

namespace thermo {

CircuitPicture::CircuitPicture(QWidget* parent) : QSvgWidget(parent) {
    setAccessibleRole(this, QAccessible::Graphic);
    initEmbeddedResources();
    load(QStringLiteral(":/circuit.svg"));
}

} // namespace thermo
