#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

// The subset of Firmata 2.x that a board running StandardFirmata speaks to us: MIDI-like
// messages whose command byte has bit 7 set, followed by 7-bit data bytes, and system-exclusive
// messages F0 id ... F7.
namespace thermo::firmata {

using Bytes = std::vector<std::uint8_t>;

namespace command {
inline constexpr std::uint8_t analogMessage = 0xE0; // | channel, then lsb, msb
inline constexpr std::uint8_t reportAnalog = 0xC0;  // | channel, then 0 or 1
inline constexpr std::uint8_t reportVersion = 0xF9; // alone asks; major, minor answers
inline constexpr std::uint8_t sysexStart = 0xF0;
inline constexpr std::uint8_t sysexEnd = 0xF7;
inline constexpr std::uint8_t systemReset = 0xFF;
} // namespace command

namespace sysex {
inline constexpr std::uint8_t analogMappingQuery = 0x69;
inline constexpr std::uint8_t analogMappingResponse = 0x6A;
inline constexpr std::uint8_t capabilityQuery = 0x6B;
inline constexpr std::uint8_t capabilityResponse = 0x6C;
inline constexpr std::uint8_t reportFirmware = 0x79;
inline constexpr std::uint8_t samplingInterval = 0x7A;
} // namespace sysex

inline constexpr std::uint8_t notAnalog = 0x7F; // mapping: a pin with no analog channel
inline constexpr std::uint8_t endOfPin = 0x7F;  // capabilities: closes one pin's modes
inline constexpr std::uint8_t analogInputMode = 0x02;
inline constexpr int baudRate = 57600;
// The channel is the low nibble of ANALOG_MESSAGE and REPORT_ANALOG.
inline constexpr int channelCount = 16;
// Two data bytes carry 14 bits.
inline constexpr int maxDataValue = 16383;
inline constexpr std::chrono::milliseconds defaultSamplingInterval{19};

constexpr bool isCommand(std::uint8_t byte) noexcept {
    return (byte & 0x80) != 0;
}

Bytes queryVersion();
Bytes queryFirmware();
Bytes queryAnalogMapping();
Bytes queryCapabilities();
// Throws Failure(InvalidArgument) outside 1...16383 ms, what two data bytes can carry.
Bytes setSamplingInterval(std::chrono::milliseconds interval);
// Starts (on) or stops the reports of a channel; throws Failure(InvalidArgument) outside 0...15.
Bytes reportAnalog(int channel, bool on);
Bytes systemReset();

} // namespace thermo::firmata
