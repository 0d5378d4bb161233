#include "ui/embedded_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be expanded outside any namespace.
static void initThermoUiResources() {
    Q_INIT_RESOURCE(thermo_ui);
}

namespace thermo {

void initEmbeddedResources() {
    static const bool initialised = (initThermoUiResources(), true);
    (void)initialised;
}

} // namespace thermo
