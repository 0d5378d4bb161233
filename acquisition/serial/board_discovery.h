#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace thermo {

struct BoardInfo {
    std::string portPath;     // "/dev/ttyACM0"
    std::string description;  // what the system says of the port, e.g. "Arduino Uno"; may be empty
    std::string serialNumber; // from the board's *IDN? answer
    std::string firmwareVersion; // idem
};

// Serial ports the system lists (pseudo-terminals are not among them).
std::vector<std::string> serialPortPaths();

// Asks every port in `portPaths` at once who it is, and keeps those that answer as our board.
// Returns after `limit` at most (plus one short poll), sooner when every port has answered.
// Opening a port resets an Uno, whose bootloader then takes up to a second or so.
std::vector<BoardInfo>
probeBoards(const std::vector<std::string>& portPaths,
            std::chrono::milliseconds limit = std::chrono::milliseconds(2500));

// probeBoards() over serialPortPaths().
std::vector<BoardInfo>
findBoards(std::chrono::milliseconds limit = std::chrono::milliseconds(2500));

} // namespace thermo
