#pragma once

#include "core/number_locale.h"

#include <string>

namespace thermo {

// A fitted value and its standard uncertainty as a physics class writes them: the uncertainty
// to one significant digit, the value to the same place ("20,1 ± 0,1", "119 ± 1",
// "1230 ± 60"). An uncertainty of zero (readings without any scatter) leaves the value as
// numberText writes it: "20 ± 0". Throws Failure(InvalidArgument) for a value or an
// uncertainty that is not finite.
std::string uncertaintyText(double value, double uncertainty, const NumberLocale& locale = {});

// The value alone, to the place of its uncertainty's one significant digit, as an equation
// writes it ("20,1"); numberText's when the uncertainty is zero.
std::string valueText(double value, double uncertainty, const NumberLocale& locale = {});

// x to one significant digit ("0,05"), as a scatter is given.
std::string oneDigitText(double x, const NumberLocale& locale = {});

} // namespace thermo
