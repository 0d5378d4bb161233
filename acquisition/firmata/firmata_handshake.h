#pragma once

#include "acquisition/board_info.h"
#include "acquisition/firmata/firmata_parser.h"
#include "acquisition/greeting.h"
#include "acquisition/serial_line.h"

#include <chrono>
#include <optional>

namespace thermo {

// Asking a board running Firmata who it is, right after its port was opened. Opening restarts
// an Uno, deaf for about two seconds while it boots, after which it greets with its version
// and firmware; the greeting may also have gone out before the port was opened. So the version
// and the firmware are asked for at once, and again every retryInterval until they come.
class FirmataHandshake {
public:
    using Outcome = Greeting; // never Foreign: a device that is not Firmata says nothing
    using Clock = SerialLine::Clock;

    static constexpr std::chrono::milliseconds retryInterval{250};

    explicit FirmataHandshake(SerialLine& line) : line_(line) {}

    // Asks when it is time to, then reads what the board says until `until` at most.
    Outcome poll(Clock::time_point until);
    // Once identified: "Arduino Firmata 2.5 (StandardFirmata)" and its version.
    BoardInfo board() const;
    // For whoever goes on talking: it may hold the start of a message.
    firmata::Parser& parser() noexcept { return parser_; }

private:
    SerialLine& line_;
    firmata::Parser parser_;
    std::optional<Clock::time_point> askedAt_;
    std::optional<firmata::VersionReport> version_;
    std::optional<firmata::FirmwareReport> firmware_;
};

} // namespace thermo
