#include "core/circuit_parameters.h"

#include "core/number_text.h"

namespace thermo {

CircuitParameters CircuitParameters::defaults() {
    return {decimalText(defaultSeriesOhms), decimalText(defaultNominalOhms),
            decimalText(defaultBetaKelvin)};
}

} // namespace thermo
