#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The line protocol spoken by the thermistor board (docs/protocole-carte.md): one request line,
// one answer line. A request may end with " #<tag>"; the answer then ends with the same tag,
// which is how a late answer to an earlier request is told from the one awaited.
namespace thermo::board_protocol {

inline constexpr std::string_view identityQuery = "*IDN?";
inline constexpr std::string_view readyLine = "READY";
inline constexpr std::string_view maker = "THERMOMETRE";
inline constexpr std::string_view model = "CARTE-CTN";

// "MEAS:EA0?" for channel 0, "MEAS:EA1?" for channel 1; throws Failure(InvalidArgument) for
// any other channel.
std::string measureCommand(std::int32_t channel);

// The line to send, newline included: "MEAS:EA0? #17\n".
std::string taggedRequest(std::string_view command, std::uint16_t tag);

struct Answer {
    std::string payload;              // trailing "\r" and spaces removed
    std::optional<std::uint16_t> tag; // absent for untagged lines (boot messages, noise)
};

Answer splitAnswer(std::string_view line);

struct BoardIdentity {
    std::string serialNumber;
    std::string firmwareVersion;
};

// Our board's "THERMOMETRE,CARTE-CTN,<serial>,<version>"; nothing for any other text. The
// serial number and the version keep their printable characters only: they are shown.
std::optional<BoardIdentity> parseIdentity(std::string_view payload);

// `text` without what is not printable ASCII (control characters, bytes of other encodings,
// right-to-left marks), for showing what a device said.
std::string printable(std::string_view text);

// "ERR:..." lines: the board understood the line but refused it.
bool isRefusal(std::string_view payload);

enum class CodeStatus { Valid, Refused, Garbled, OutOfRange };

struct CodeAnswer {
    CodeStatus status;
    std::int32_t code; // meaningful when Valid
};

// A measurement answer: a decimal integer within 0...65535.
CodeAnswer interpretCode(std::string_view payload);

} // namespace thermo::board_protocol
