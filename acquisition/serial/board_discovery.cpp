#include "acquisition/serial/board_discovery.h"

#include "acquisition/port_probe.h"
#include "acquisition/serial/board_link.h"
#include "acquisition/serial/identity_handshake.h"

#include <memory>

namespace thermo {

namespace {

class BoardProbe final : public PortProbe {
public:
    BoardProbe(const std::string& portPath, std::uint16_t& tag)
        : link_(portPath), handshake_(link_, tag) {}

    bool open() { return link_.open(); }
    Greeting poll(Clock::time_point until) override { return handshake_.poll(until); }
    BoardInfo board() const override {
        return identifiedBoard(link_.portPath(), *handshake_.identity());
    }

private:
    BoardLink link_;
    IdentityHandshake handshake_;
};

} // namespace

std::vector<BoardInfo> probeBoards(const std::vector<std::string>& portPaths,
                                   std::chrono::milliseconds limit, std::stop_token stop) {
    std::uint16_t tag = 0;
    return probePorts(portPaths, limit, stop,
                      [&tag](const std::string& path) -> std::unique_ptr<PortProbe> {
                          auto probe = std::make_unique<BoardProbe>(path, tag);
                          return probe->open() ? std::move(probe) : nullptr;
                      });
}

} // namespace thermo
