#pragma once

#include "acquisition/board_info.h"
#include "acquisition/greeting.h"

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

namespace thermo {

// Serial ports the system lists (pseudo-terminals are not among them).
std::vector<std::string> serialPortPaths();

// Asking one open port who is there, a short poll at a time.
class PortProbe {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~PortProbe() = default;
    // Asks when it is time to, then reads what came until `until` at most.
    virtual Greeting poll(Clock::time_point until) = 0;
    // The board, once Identified.
    virtual BoardInfo board() const = 0;
};

// Opens a port and starts asking it; nothing when the port does not open.
using ProbeOpener = std::function<std::unique_ptr<PortProbe>(const std::string& portPath)>;

// Asks every port at once, each polled in turn for a few milliseconds so that a slow one does
// not hide another's answer, until each has answered, `limit` passed or `stop` came. The boards
// found, with what the system says of their ports, in the order of their paths.
std::vector<BoardInfo> probePorts(const std::vector<std::string>& portPaths,
                                  std::chrono::milliseconds limit, std::stop_token stop,
                                  const ProbeOpener& open);

} // namespace thermo
