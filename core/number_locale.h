#pragma once

#include <string>

namespace thermo {

// The only piece of the user's locale the measurement core uses. The user interface fills it
// in; the core never looks at the process's global locale.
struct NumberLocale {
    std::string decimalSeparator = "."; // UTF-8
};

} // namespace thermo
