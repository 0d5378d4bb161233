#pragma once

#include "tests/support/scripted_source.h"
#include "ui/application.h"
#include "ui/measurement/measurement.h"

namespace thermo::test {

// Gives the program's measurement a scripted source that reads 2.5 V on EA0 and 5 V on EA1.
inline ScriptedSource& scriptTheMeasurement(Application& application) {
    ScriptedSource& source = ScriptedSource::installIn(application.measurement().control());
    source.setCodes(40960, 49152);
    return source;
}

} // namespace thermo::test
