#pragma once

#include "acquisition/board_info.h"
#include "acquisition/firmata/firmata_parser.h"
#include "acquisition/greeting.h"

#include <optional>
#include <string>
#include <string_view>

namespace thermo {

// Asking a board running Firmata who it is, right after its port was opened. Opening restarts
// an Uno, deaf for about two seconds while it boots, after which it greets with its version
// and firmware: then nothing need be asked. The greeting may also have gone out before the
// port was opened (a board that does not restart): the version and the firmware are asked for.
class FirmataHandshake {
public:
    // Forgets what an earlier opening heard.
    void restart();
    // The version and firmware queries, and a newline.
    std::string question();
    // Never Foreign: a device that is not Firmata says nothing Firmata understands.
    Greeting hear(std::string_view bytes);
    // Some Firmata message (a greeting, reports of a board already running) since the last
    // question.
    bool heardTheBoard() const noexcept { return heard_; }
    // Once identified: "Arduino Firmata 2.5 (StandardFirmata)" and its version.
    BoardInfo board() const;
    // For whoever goes on talking: it may hold the start of a message.
    firmata::Parser& parser() noexcept { return parser_; }

private:
    firmata::Parser parser_;
    bool heard_ = false;
    std::optional<firmata::VersionReport> version_;
    std::optional<firmata::FirmwareReport> firmware_;
};

} // namespace thermo
