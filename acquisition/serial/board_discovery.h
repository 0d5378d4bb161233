#pragma once

#include "acquisition/board_info.h"

#include <chrono>
#include <stop_token>
#include <string>
#include <vector>

namespace thermo {

// Asks every port in `portPaths` at once who it is, and keeps those that answer as the
// project's board (the kind is left for the caller to fill in).
// Returns after `limit` at most (plus one short poll), sooner when every port has answered or
// `stop` came. Opening a port resets an Uno, whose bootloader then takes up to a second or so.
std::vector<BoardInfo>
probeBoards(const std::vector<std::string>& portPaths,
            std::chrono::milliseconds limit = std::chrono::milliseconds(2500),
            std::stop_token stop = {});

} // namespace thermo
