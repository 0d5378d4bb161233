#pragma once

#include <string>

namespace thermo {

struct BoardKind;

// A board found on a serial port by a search.
struct BoardInfo {
    std::string portPath;     // "/dev/ttyACM0"
    std::string description;  // what the system says of the port, e.g. "Arduino Uno"; may be empty
    std::string serialNumber; // as the board identified itself
    std::string firmwareVersion;     // idem
    const BoardKind* kind = nullptr; // what recognised it, and opens it
};

} // namespace thermo
