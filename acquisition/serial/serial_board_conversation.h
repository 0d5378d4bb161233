#pragma once

#include "acquisition/board_conversation.h"
#include "acquisition/serial/board_link.h"
#include "acquisition/serial/identity_handshake.h"

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

    explicit SerialBoardConversation(const BoardTiming& timing) : timing_(timing) {}

    int baudRate() const override { return BoardLink::baudRate; }
    StartTexts startTexts() const override;
    void restart() override { handshake_.restart(); }
    Greeting hear(std::string_view bytes) override { return handshake_.hear(bytes); }
    bool heardItsProtocol() const override { return handshake_.heardTheBoard(); }
    std::string question() override { return handshake_.question(); }
    BoardInfo board() const override;
    std::string foreignCause() const override;
    End talk(SerialLine& line, BoardMailbox& mailbox, std::stop_token stop) override;

private:
    // The code, or why there is none.
    using Outcome = std::variant<std::int32_t, const char*>;

    Outcome query(BoardLink& link, std::int32_t channel, std::stop_token stop);
    std::uint16_t nextTag() { return ++tag_; }

    BoardTiming timing_;
    std::uint16_t tag_ = 0;
    IdentityHandshake handshake_{tag_};
};

} // namespace thermo
