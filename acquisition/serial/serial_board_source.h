#pragma once

#include "acquisition/board_kinds.h"
#include "acquisition/board_source.h"
#include "acquisition/serial/board_protocol.h"

#include <optional>
#include <string>

namespace thermo {

// Codes read from the project's thermistor board over a serial port (docs/protocole-carte.md),
// by a worker that asks for them ten times a second; the board is found again by itself after
// it was unplugged.
class SerialBoardSource final : public BoardSource {
public:
    static const BoardKind& kind();

    // `portPath` is a device path such as "/dev/ttyACM0" (or a link to one).
    explicit SerialBoardSource(std::string portPath, const BoardTiming& timing = {},
                               PortLister ports = systemSerialPorts);
    // Reads what `worker` receives from a board it recognised as this kind.
    explicit SerialBoardSource(std::unique_ptr<BoardWorker> worker);

    // "Carte série (/dev/ttyACM0)", with the board's number once it said it.
    std::string name() const override;
    // What the board said of itself, once it has answered *IDN?.
    std::optional<board_protocol::BoardIdentity> identity() const;

private:
    std::int32_t code(const BoardMailbox::Values& values,
                      const std::optional<BoardInfo>&) const override {
        return values.last;
    }
};

} // namespace thermo
