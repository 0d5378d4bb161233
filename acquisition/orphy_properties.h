#pragma once

#include <cstdint>
#include <string>

namespace thermo {

// The persisted property set the main window hands to the control when it is created. Kept as
// typed values; nothing reads them.
struct OrphyProperties {
    std::int32_t extentX = 4471; // hundredths of a millimetre
    std::int32_t extentY = 873;
    std::int32_t voie = 1;
    std::uint32_t backColor = 0x80000005; // the system's window background
    std::int16_t calibre = 0;
    std::string nomGrandeur; // 50 characters
    std::string nomUnite;    // 20 characters
    float valGrandeur = 5.0836181640625f;
    std::string nomSymbole; // 20 characters
    std::string version;    // 20 characters
    std::string rom;        // 200 characters
    static OrphyProperties mainWindowSet();
};

} // namespace thermo
