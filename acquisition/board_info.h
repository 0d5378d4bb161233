#pragma once

#include <string>

namespace thermo {

struct BoardKind;

// A board found on a serial port, or talking on one.
struct BoardInfo {
    std::string portPath;     // "/dev/ttyACM0"
    std::string description;  // what the system says of the port, e.g. "Arduino Uno"; may be empty
    std::string serialNumber; // as the board identified itself
    std::string firmwareVersion; // idem
    // What it said of itself, as shown after its port: "carte n° 0042",
    // "Arduino Firmata 2.5 (StandardFirmata)".
    std::string identification;
    const BoardKind* kind = nullptr; // what recognised it, and opens it

    bool operator==(const BoardInfo&) const = default;
};

} // namespace thermo
