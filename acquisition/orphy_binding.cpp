#include "acquisition/orphy_binding.h"

#include "acquisition/automation_value.h"
#include "acquisition/orphy_control.h"

#include <utility>

namespace thermo {

OrphyBinding::OrphyBinding(OrphyControl& control, NumberLocale locale)
    : control_(control), locale_(std::move(locale)) {}

std::int32_t OrphyBinding::readChannel(std::int32_t channel) {
    return coerceToInt32(control_.invoke(readDispatchId, channel), locale_);
}

} // namespace thermo
