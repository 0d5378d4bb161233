#pragma once

#include "acquisition/serial_ports.h"

#include <cstdint>
#include <optional>
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
    // Its USB device as the system tells it, where it does: with what the board said, what
    // tells it from another one once it was unplugged.
    std::string usbSerial{};
    std::optional<std::uint16_t> vendorId{};
    std::optional<std::uint16_t> productId{};
    // The bits of the converter behind its analog inputs, when the board tells them.
    int converterBits = 0;

    // Where it is now, as the system lists that port.
    void setPort(const PortInfo& port) {
        portPath = port.path;
        description = port.description;
        usbSerial = port.usbSerial;
        vendorId = port.vendorId;
        productId = port.productId;
    }

    bool operator==(const BoardInfo&) const = default;
};

} // namespace thermo
