#pragma once

#include "acquisition/board_conversation.h"
#include "acquisition/firmata/firmata_handshake.h"

#include <string>
#include <variant>

namespace thermo {

// A board running StandardFirmata as its worker talks to it. Once the board said who it is,
// its analog mapping and its converter's resolution are read, the sampling interval is set and
// the reports of A0 (EA0) and A1 (EA1) are started; from then on the reports come on their
// own and each is posted as it comes. A board that restarts (its reset button) greets again
// and is set up again; so is one that sends nothing for a while.
class FirmataConversation final : public BoardConversation {
public:
    static constexpr std::chrono::milliseconds samplingInterval{20};
    static constexpr std::chrono::milliseconds setUpAgainAfter{1000};

    explicit FirmataConversation(const BoardTiming& timing) : timing_(timing) {}

    int baudRate() const override;
    StartTexts startTexts() const override;
    void restart() override { handshake_.restart(); }
    Greeting hear(std::string_view bytes) override { return handshake_.hear(bytes); }
    bool heardItsProtocol() const override { return handshake_.heardTheBoard(); }
    std::string question() override { return handshake_.question(); }
    BoardInfo board() const override { return handshake_.board(); }
    std::string foreignCause() const override { return {}; } // never Foreign
    End talk(SerialLine& line, BoardMailbox& mailbox, std::stop_token stop) override;

private:
    // The resolution, once the board described its pins; how the conversation ends otherwise.
    std::variant<int, End> readLayout(SerialLine& line, BoardMailbox& mailbox,
                                      std::stop_token stop);

    BoardTiming timing_;
    FirmataHandshake handshake_;
};

} // namespace thermo
