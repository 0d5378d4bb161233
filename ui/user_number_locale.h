#pragma once

#include "core/number_locale.h"

#include <QLocale>

namespace thermo {

// The user's decimal separator, for the numbers the windows read and write.
inline NumberLocale userNumberLocale() {
    return NumberLocale{QLocale().decimalPoint().toStdString()};
}

} // namespace thermo
