#pragma once

#include "core/number_locale.h"
#include "core/read_operation.h"

namespace thermo {

class OrphyControl;

// The read operation bound to the acquisition control: the only code that calls it.
class OrphyBinding : public ReadOperation {
public:
    OrphyBinding(OrphyControl& control, NumberLocale locale = {});
    std::int32_t readChannel(std::int32_t channel) override;

private:
    OrphyControl& control_;
    NumberLocale locale_;
};

} // namespace thermo
