#pragma once

#include "acquisition/code_source.h"
#include "acquisition/serial/board_protocol.h"
#include "acquisition/serial/identity_handshake.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace thermo {

struct SerialTiming {
    // The whole of one read(), reopening and waiting for the board included: the measurement
    // cycle runs in the interface's thread and waits for it.
    std::chrono::milliseconds readTimeout{40};
    // How long a board may take to answer *IDN? after the port was opened (which resets an Uno).
    std::chrono::milliseconds bootTimeout{3000};
    // Pause between two attempts at reopening a port that went away.
    std::chrono::milliseconds reopenInterval{1000};
};

// Codes read from the thermistor board over a serial port: channel 0 is EA0 (the thermistor's
// voltage), channel 1 is EA1 (the supply). The port is opened on the first read and reopened
// by later reads after the board was unplugged, each read staying within `readTimeout`.
class SerialBoardSource final : public CodeSource {
public:
    // `portPath` is a device path such as "/dev/ttyACM0" (or a link to one).
    explicit SerialBoardSource(std::string portPath, SerialTiming timing = {});
    ~SerialBoardSource() override;

    // The code (std::int64_t, 0...65535); throws Failure(AcquisitionFailed) with a short
    // message when the board is absent, silent or answers nonsense, and
    // Failure(InvalidArgument) for a channel other than 0 or 1.
    AutomationValue read(std::int32_t channel) override;
    // "Carte série (/dev/ttyACM0)"
    std::string name() const override;
    std::string portPath() const override;
    // Connecting until the first code, then as the last read went.
    SourceStatus status() const override { return status_; }

    // What the board said of itself, once it has answered *IDN?.
    std::optional<board_protocol::BoardIdentity> identity() const { return identity_; }

private:
    enum class State { Closed, Booting, Ready };
    using Clock = std::chrono::steady_clock;

    std::int32_t readCode(const std::string& command);
    void setStatus(SourceStatus status);
    void openIfDue(Clock::time_point now);
    void awaitBoard(Clock::time_point deadline);
    std::int32_t query(const std::string& command, Clock::time_point deadline);
    [[noreturn]] void dropPort(const char* message);
    std::uint16_t nextTag();

    std::unique_ptr<BoardLink> link_;
    SerialTiming timing_;
    State state_ = State::Closed;
    Clock::time_point nextOpenAttempt_{};
    Clock::time_point bootDeadline_{};
    std::optional<IdentityHandshake> handshake_; // while the board is starting
    std::optional<board_protocol::BoardIdentity> identity_;
    std::uint16_t tag_ = 0;
    SourceStatus status_{SourceState::Connecting, {}};
};

} // namespace thermo
