#pragma once

#include "acquisition/board_info.h"
#include "acquisition/greeting.h"
#include "acquisition/serial/board_link.h"
#include "acquisition/serial/board_protocol.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace thermo {

// The board as the program shows it once it said who it is: "carte n° 0042" after its port.
BoardInfo identifiedBoard(const std::string& portPath,
                          const board_protocol::BoardIdentity& identity);

// Asking a board who it is, right after its port was opened. Opening resets an Uno, whose
// bootloader may swallow the question: it is asked again every quarter of a second, and at
// once when the board says READY. A refusal is a question cut short by that reset and waits
// for the next one; any other answer is a device that is not our board.
class IdentityHandshake {
public:
    using Outcome = Greeting;
    using Clock = BoardLink::Clock;

    static constexpr std::chrono::milliseconds retryInterval{250};

    // `tag` numbers the questions; the link's later requests go on counting from it, so that
    // a late answer to a question is never taken for the answer to a request.
    IdentityHandshake(BoardLink& link, std::uint16_t& tag) : link_(link), tag_(tag) {}

    // Asks when it is time to, then reads what the board says until `until` at most.
    Outcome poll(Clock::time_point until);
    // What the board said of itself, once identified.
    const std::optional<board_protocol::BoardIdentity>& identity() const noexcept {
        return identity_;
    }
    // What a device that is not our board answered, printable characters only.
    const std::string& foreignAnswer() const noexcept { return foreign_; }

private:
    // False when the link went away.
    bool ask(Clock::time_point deadline);

    BoardLink& link_;
    std::uint16_t& tag_;
    std::optional<std::uint16_t> asked_;
    Clock::time_point askedAt_{};
    std::optional<board_protocol::BoardIdentity> identity_;
    std::string foreign_;
};

} // namespace thermo
