#pragma once

#include "acquisition/board_worker.h"
#include "acquisition/firmata/firmata_parser.h"
#include "acquisition/serial_line.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace thermo {

class FirmataHandshake;

// A board running StandardFirmata as its worker talks to it. Once the board said who it is,
// its analog mapping and its converter's resolution are read, the sampling interval is set and
// the reports of A0 (EA0) and A1 (EA1) are started; from then on the reports come on their
// own and each is posted as it comes. A board that restarts (its reset button) greets again
// and is set up again; so is one that sends nothing for a while.
class FirmataConversation final : public BoardConversation {
public:
    static constexpr std::chrono::milliseconds samplingInterval{20};
    static constexpr std::chrono::milliseconds setUpAgainAfter{1000};

    // `resolution` is where the bits of the converter behind A0 and A1 are written, as the
    // board tells them, for the source that converts its reports.
    FirmataConversation(std::string portPath, const BoardTiming& timing,
                        std::shared_ptr<std::atomic<int>> resolution)
        : portPath_(std::move(portPath)), timing_(timing), bits_(std::move(resolution)) {}

    End talk(BoardMailbox& mailbox, std::stop_token stop) override;

private:
    // The resolution, once the board described its pins; how the conversation ends otherwise.
    std::variant<int, End> readLayout(SerialLine& line, FirmataHandshake& handshake,
                                      BoardMailbox& mailbox, std::stop_token stop);

    std::string portPath_;
    BoardTiming timing_;
    std::shared_ptr<std::atomic<int>> bits_;
};

} // namespace thermo
