#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace thermo {

// A serial port as the system lists it, with what tells its device from another.
struct PortInfo {
    std::string path;          // "/dev/ttyACM0"
    std::string description{}; // "Arduino Uno"; may be empty
    std::string usbSerial{};   // the USB device's serial number; many clones have none
    std::optional<std::uint16_t> vendorId{};  // USB ids; none for a port that is not USB
    std::optional<std::uint16_t> productId{}; // (a pseudo-terminal, a built-in port)

    bool operator==(const PortInfo&) const = default;
};

// The ports where a board may be. The program asks the system; the tests point it at
// pseudo-terminals, which the system does not list.
using PortLister = std::function<std::vector<PortInfo>()>;

// The serial ports the system lists, in the order of their paths.
std::vector<PortInfo> systemSerialPorts();

// What `ports` says of the port at `path`; only its path when it is not listed.
PortInfo portAt(const std::vector<PortInfo>& ports, const std::string& path);

} // namespace thermo
