#include "acquisition/firmata/analog_code.h"

#include "core/code_conversion.h"
#include "core/failure.h"

#include <algorithm>
#include <cmath>

namespace thermo::firmata {

std::int32_t interfaceCode(double value, int bits, double reference) {
    if (bits < 1 || bits > 16) {
        throw Failure(FailureKind::InvalidArgument,
                      "Firmata : résolution du convertisseur invalide");
    }
    if (!std::isfinite(reference) || reference <= 0.0) {
        throw Failure(FailureKind::InvalidArgument, "Firmata : tension de référence invalide");
    }
    if (!std::isfinite(value)) {
        throw Failure(FailureKind::InvalidArgument, "Firmata : valeur analogique invalide");
    }
    const double fullScale = std::ldexp(1.0, bits) - 1.0;
    const double volts = value * reference / fullScale;
    const double code = codeOffset + volts * codesPerVolt;
    // Held within the codes first: the rounding of a huge value would be a waste.
    return static_cast<std::int32_t>(roundHalfEven(std::clamp(code, 0.0, 65535.0), 0));
}

} // namespace thermo::firmata
