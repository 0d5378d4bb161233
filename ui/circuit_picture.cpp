#include "ui/circuit_picture.h"

#include "ui/embedded_resources.h"

namespace thermo {

CircuitPicture::CircuitPicture(QWidget* parent) : QSvgWidget(parent) {
    initEmbeddedResources();
    load(QStringLiteral(":/circuit.svg"));
}

} // namespace thermo
