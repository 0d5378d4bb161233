#include "acquisition/firmata/firmata_parser.h"

#include "acquisition/firmata/firmata_protocol.h"

#include <algorithm>

namespace thermo::firmata {

namespace {

// Data bytes of the messages we read; the data of any other command is passed over.
std::size_t dataLength(std::uint8_t command) {
    if ((command & 0xF0) == command::analogMessage || command == command::reportVersion) {
        return 2;
    }
    return 0;
}

// Pins of modes with resolutions, each pin closed by endOfPin; nothing if the list is cut.
std::optional<Capabilities> readCapabilities(std::span<const std::uint8_t> payload) {
    Capabilities capabilities;
    std::vector<PinMode> pin;
    for (std::size_t i = 0; i < payload.size(); ++i) {
        if (payload[i] == endOfPin) {
            capabilities.pins.push_back(std::move(pin));
            pin.clear();
        } else if (i + 1 < payload.size()) {
            pin.push_back({payload[i], payload[i + 1]});
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (!pin.empty()) {
        return std::nullopt;
    }
    return capabilities;
}

// Each character comes as two 7-bit bytes, low first; anything not printable is left out.
std::string readName(std::span<const std::uint8_t> pairs) {
    std::string name;
    for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
        const int character = pairs[i] | (pairs[i + 1] << 7);
        if (character >= 0x20 && character <= 0x7E) {
            name.push_back(static_cast<char>(character));
        }
    }
    return name;
}

} // namespace

std::optional<std::size_t> AnalogMapping::pinOfChannel(int channel) const {
    const auto found = std::find(channelOfPin.begin(), channelOfPin.end(), channel);
    if (channel == notAnalog || found == channelOfPin.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - channelOfPin.begin());
}

std::optional<int> Capabilities::analogInputBits(std::size_t pin) const {
    if (pin >= pins.size()) {
        return std::nullopt;
    }
    for (const PinMode& mode : pins[pin]) {
        if (mode.mode == analogInputMode) {
            return mode.resolution;
        }
    }
    return std::nullopt;
}

std::vector<Event> Parser::feed(std::span<const std::uint8_t> bytes) {
    std::vector<Event> events;
    for (const std::uint8_t byte : bytes) {
        if (state_ == State::Sysex && byte == command::sysexEnd) {
            endSysex(events);
        } else if (isCommand(byte)) {
            start(byte);
        } else {
            addData(byte, events);
        }
    }
    return events;
}

void Parser::start(std::uint8_t command) {
    command_ = command;
    dataCount_ = 0;
    sysex_.clear();
    if (command == command::sysexStart) {
        sysex_.reserve(maxSysexBytes);
        state_ = State::Sysex;
    } else {
        state_ = dataLength(command) > 0 ? State::Message : State::Idle;
    }
}

void Parser::addData(std::uint8_t byte, std::vector<Event>& events) {
    switch (state_) {
    case State::Idle:
        return;
    case State::Sysex:
        if (sysex_.size() < maxSysexBytes) {
            sysex_.push_back(byte);
        } else {
            sysex_.clear();
            state_ = State::Idle;
        }
        return;
    case State::Message:
        data_[dataCount_++] = byte;
        if (dataCount_ < dataLength(command_)) {
            return;
        }
        if (command_ == command::reportVersion) {
            events.emplace_back(VersionReport{data_[0], data_[1]});
        } else {
            events.emplace_back(AnalogReport{command_ & 0x0F, data_[0] | (data_[1] << 7)});
        }
        dataCount_ = 0;
        state_ = State::Idle;
        return;
    }
}

void Parser::endSysex(std::vector<Event>& events) {
    state_ = State::Idle;
    if (sysex_.empty()) {
        return;
    }
    const std::span<const std::uint8_t> payload(sysex_.data() + 1, sysex_.size() - 1);
    switch (sysex_.front()) {
    case sysex::reportFirmware:
        // The query itself is F0 79 F7: without a version this is no answer.
        if (payload.size() >= 2) {
            events.emplace_back(
                FirmwareReport{payload[0], payload[1], readName(payload.subspan(2))});
        }
        break;
    case sysex::analogMappingResponse:
        events.emplace_back(AnalogMapping{{payload.begin(), payload.end()}});
        break;
    case sysex::capabilityResponse:
        if (auto capabilities = readCapabilities(payload)) {
            events.emplace_back(std::move(*capabilities));
        }
        break;
    default:
        break;
    }
    sysex_.clear();
}

} // namespace thermo::firmata
