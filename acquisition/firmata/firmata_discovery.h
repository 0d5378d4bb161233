#pragma once

#include "acquisition/board_info.h"

#include <chrono>
#include <stop_token>
#include <string>
#include <vector>

namespace thermo {

// Asks every port in `portPaths` at once, at Firmata's speed, for its version and firmware,
// and keeps those that answer (the kind is left for the caller to fill in). Returns after
// `limit` at most, sooner when every port has answered or `stop` came. Opening a port restarts
// an Uno, which greets about two seconds later.
std::vector<BoardInfo>
probeFirmataBoards(const std::vector<std::string>& portPaths,
                   std::chrono::milliseconds limit = std::chrono::milliseconds(2500),
                   std::stop_token stop = {});

} // namespace thermo
