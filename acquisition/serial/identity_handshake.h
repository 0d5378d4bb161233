#pragma once

#include "acquisition/board_info.h"
#include "acquisition/greeting.h"
#include "acquisition/serial/board_protocol.h"
#include "acquisition/serial/line_reader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace thermo {

// The board as the program shows it once it said who it is: "carte n° 0042" after its port.
BoardInfo identifiedBoard(const std::string& portPath,
                          const board_protocol::BoardIdentity& identity);

// Asking the project's board who it is, right after its port was opened. Opening resets an
// Uno, whose bootloader may swallow the question: the board says READY once started, and is
// asked then. A refusal is a question cut short by that reset, and waits for the next
// question; any other answer is a device that is not our board.
class IdentityHandshake {
public:
    // `tag` numbers the questions; the later requests go on counting from it, so that a late
    // answer to a question is never taken for the answer to a request.
    explicit IdentityHandshake(std::uint16_t& tag) : tag_(tag) {}

    // Forgets the lines of an earlier opening.
    void restart();
    // "*IDN? #7\n"
    std::string question();
    Greeting hear(std::string_view bytes);
    // READY, or an answer to one of our questions, since the last question.
    bool heardTheBoard() const noexcept { return heard_; }

    // What the board said of itself, once identified.
    const std::optional<board_protocol::BoardIdentity>& identity() const noexcept {
        return identity_;
    }
    // What a device that is not our board answered, printable characters only.
    const std::string& foreignAnswer() const noexcept { return foreign_; }

private:
    std::uint16_t& tag_;
    LineReader reader_;
    std::optional<std::uint16_t> asked_;
    bool heard_ = false;
    std::optional<board_protocol::BoardIdentity> identity_;
    std::string foreign_;
};

} // namespace thermo
