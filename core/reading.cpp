#include "core/reading.h"

#include <cmath>

namespace thermo {

Gap Reading::gap() const noexcept {
    if (failure || (!lowSupply && (!celsius || !std::isfinite(*celsius)))) {
        return Gap::Failure;
    }
    return lowSupply ? Gap::LowSupply : Gap::None;
}

} // namespace thermo
