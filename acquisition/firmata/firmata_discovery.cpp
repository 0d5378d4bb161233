#include "acquisition/firmata/firmata_discovery.h"

#include "acquisition/firmata/firmata_handshake.h"
#include "acquisition/firmata/firmata_protocol.h"
#include "acquisition/port_probe.h"

#include <memory>

namespace thermo {

namespace {

class FirmataProbe final : public PortProbe {
public:
    explicit FirmataProbe(const std::string& portPath) : line_(portPath), handshake_(line_) {}

    bool open() { return line_.open(firmata::baudRate); }
    Greeting poll(Clock::time_point until) override { return handshake_.poll(until); }
    BoardInfo board() const override { return handshake_.board(); }

private:
    SerialLine line_;
    FirmataHandshake handshake_;
};

} // namespace

std::vector<BoardInfo> probeFirmataBoards(const std::vector<std::string>& portPaths,
                                          std::chrono::milliseconds limit, std::stop_token stop) {
    return probePorts(portPaths, limit, stop, [](const std::string& path) {
        auto probe = std::make_unique<FirmataProbe>(path);
        return probe->open() ? std::unique_ptr<PortProbe>(std::move(probe)) : nullptr;
    });
}

} // namespace thermo
