#pragma once

#include "tests/support/scripted_source.h"
#include "ui/application.h"
#include "ui/main_window/form1.h"

#include <QObject>

namespace thermo::test {

// Gives the main window, as soon as the application creates it, a scripted source that reads
// 2.5 V on EA0 and 5 V on EA1; `source` then points at it.
inline void scriptTheMainWindow(Application& application, ScriptedSource*& source) {
    QObject::connect(&application, &Application::mainWindowCreated, [&source](Form1* window) {
        source = &ScriptedSource::installIn(window->acquisitionControl());
        source->setCodes(40960, 49152);
    });
}

} // namespace thermo::test
