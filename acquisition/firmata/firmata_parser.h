#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace thermo::firmata {

struct VersionReport {
    int major = 0;
    int minor = 0;
    bool operator==(const VersionReport&) const = default;
};

struct FirmwareReport {
    int major = 0;
    int minor = 0;
    std::string name; // printable ASCII only
    bool operator==(const FirmwareReport&) const = default;
};

struct AnalogMapping {
    std::vector<std::uint8_t> channelOfPin; // notAnalog for a pin without a channel

    // The pin that carries `channel`, the first one if the board names it twice.
    std::optional<std::size_t> pinOfChannel(int channel) const;
    bool operator==(const AnalogMapping&) const = default;
};

struct PinMode {
    std::uint8_t mode = 0;
    std::uint8_t resolution = 0;
    bool operator==(const PinMode&) const = default;
};

struct Capabilities {
    std::vector<std::vector<PinMode>> pins;

    // The converter's bits on `pin`, when the pin can be an analog input.
    std::optional<int> analogInputBits(std::size_t pin) const;
    bool operator==(const Capabilities&) const = default;
};

struct AnalogReport {
    int channel = 0; // 0...15
    int value = 0;   // 0...16383
    bool operator==(const AnalogReport&) const = default;
};

using Event =
    std::variant<VersionReport, FirmwareReport, AnalogMapping, Capabilities, AnalogReport>;

// Turns the bytes a board sends, cut anywhere, into the messages we use. A command byte always
// starts a new message, whatever was pending, so a lost byte costs one message at most; what
// is not known (other commands with their data, other system-exclusive messages) is passed
// over. The only buffer is the system-exclusive one, held to maxSysexBytes: a longer message
// is dropped and the bytes up to the next command byte are ignored.
class Parser {
public:
    // A capability answer takes about 13 bytes a pin: 1 KiB holds the 20 pins of an Uno
    // several times over.
    static constexpr std::size_t maxSysexBytes = 1024;

    std::vector<Event> feed(std::span<const std::uint8_t> bytes);
    // Bytes held for a message not yet complete.
    std::size_t buffered() const noexcept { return sysex_.size() + dataCount_; }

private:
    enum class State { Idle, Message, Sysex };

    void start(std::uint8_t command);
    void addData(std::uint8_t byte, std::vector<Event>& events);
    void endSysex(std::vector<Event>& events);

    State state_ = State::Idle;
    std::uint8_t command_ = 0;
    std::array<std::uint8_t, 2> data_{};
    std::size_t dataCount_ = 0;
    std::vector<std::uint8_t> sysex_;
};

} // namespace thermo::firmata
