#pragma once

#include "core/number_locale.h"

namespace thermo {

// The decimal separator of the user's locale, as the measurement core and the series texts
// take it.
NumberLocale userNumberLocale();

} // namespace thermo
