#pragma once

#include "acquisition/board_worker.h"
#include "acquisition/serial/board_link.h"

#include <cstdint>
#include <string>
#include <variant>

namespace thermo {

// The project's board as its worker talks to it (docs/protocole-carte.md): once it has said who
// it is, EA0 and EA1 are asked for in turn ten times a second, each answer awaited for
// answerTimeout at most. A late answer carries an older tag and is passed over.
class SerialBoardConversation final : public BoardConversation {
public:
    static constexpr std::chrono::milliseconds pollInterval{100};

    SerialBoardConversation(std::string portPath, const BoardTiming& timing)
        : portPath_(std::move(portPath)), timing_(timing) {}

    End talk(BoardMailbox& mailbox, std::stop_token stop) override;

private:
    // The code, or why there is none.
    using Outcome = std::variant<std::int32_t, const char*>;

    // Nothing once the board has said who it is; otherwise how the conversation ends.
    std::optional<End> identify(BoardLink& link, BoardMailbox& mailbox, std::stop_token stop);
    Outcome query(BoardLink& link, std::int32_t channel, std::stop_token stop);
    std::uint16_t nextTag() { return ++tag_; }

    std::string portPath_;
    BoardTiming timing_;
    std::uint16_t tag_ = 0;
};

} // namespace thermo
