#include "acquisition/serial/serial_board_source.h"

#include "acquisition/serial/serial_board_conversation.h"

namespace thermo {

const BoardKind& SerialBoardSource::kind() {
    static const BoardKind serial{
        "Carte série",
        [](const BoardTiming& timing) { return std::make_unique<SerialBoardConversation>(timing); },
        [](std::unique_ptr<BoardWorker> worker) {
            return std::make_unique<SerialBoardSource>(std::move(worker));
        }};
    return serial;
}

SerialBoardSource::SerialBoardSource(std::string portPath, const BoardTiming& timing,
                                     PortLister ports)
    : BoardSource(std::make_unique<BoardWorker>(
          std::move(portPath), std::vector<const BoardKind*>{&kind()}, timing, std::move(ports))) {}

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
