#include "ui/recording/user_number_locale.h"

#include <QLocale>

namespace thermo {

NumberLocale userNumberLocale() {
    return NumberLocale{QLocale().decimalPoint().toStdString()};
}

} // namespace thermo
