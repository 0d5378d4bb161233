#pragma once

#include "acquisition/automation_value.h"

#include <cstdint>
#include <string>

namespace thermo {

// Where the acquisition control's codes come from: the simulated bench, a board, a script.
class CodeSource {
public:
    virtual ~CodeSource() = default;
    // The value the control returns for one channel; throws Failure(AcquisitionFailed) when
    // the device does not answer.
    virtual AutomationValue read(std::int32_t channel) = 0;
    // Short French name shown to the user, e.g. "Banc simulé".
    virtual std::string name() const = 0;
};

} // namespace thermo
