#include "acquisition/serial/serial_board_source.h"

#include "acquisition/serial/serial_board_conversation.h"

namespace thermo {

const BoardKind& SerialBoardSource::kind() {
    static const BoardKind serial =
        kindOf<SerialBoardConversation, SerialBoardSource>("Carte série");
    return serial;
}

SerialBoardSource::SerialBoardSource(std::string portPath, const BoardTiming& timing,
                                     PortLister ports)
    : BoardSource(std::move(portPath), kind(), timing, std::move(ports)) {}

SerialBoardSource::SerialBoardSource(std::unique_ptr<BoardWorker> worker)
    : BoardSource(std::move(worker)) {}

std::string SerialBoardSource::name() const {
    const auto identified = board();
    const std::string number = identified ? " n\u00B0 " + identified->serialNumber : "";
    return "Carte série" + number + " (" + portPath() + ")";
}

std::optional<board_protocol::BoardIdentity> SerialBoardSource::identity() const {
    if (const auto identified = board()) {
        return board_protocol::BoardIdentity{identified->serialNumber, identified->firmwareVersion};
    }
    return std::nullopt;
}

} // namespace thermo
