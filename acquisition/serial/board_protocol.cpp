#include "acquisition/serial/board_protocol.h"

#include "core/digits.h"
#include "core/failure.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace thermo::board_protocol {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::string measureCommand(std::int32_t channel) {
    if (channel != 0 && channel != 1) {
        throw Failure(FailureKind::InvalidArgument, "Voie inexistante");
    }
    return "MEAS:EA" + std::to_string(channel) + "?";
}

std::string taggedRequest(std::string_view command, std::uint16_t tag) {
    return std::string(command) + " #" + std::to_string(tag) + "\n";
}

Answer splitAnswer(std::string_view line) {
    line = trimmed(line);
    const auto hash = line.rfind(" #");
    if (hash != std::string_view::npos) {
        const std::string_view digits = line.substr(hash + 2);
        unsigned value = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (!digits.empty() && digits.size() <= 5 &&
            std::all_of(digits.begin(), digits.end(), isDigit) && error == std::errc() &&
            end == digits.data() + digits.size() && value <= 65535) {
            return {std::string(trimmed(line.substr(0, hash))), static_cast<std::uint16_t>(value)};
        }
    }
    return {std::string(line), std::nullopt};
}

std::optional<BoardIdentity> parseIdentity(std::string_view payload) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto comma = payload.find(',', start);
        fields.push_back(payload.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (fields.size() != 4 || fields[0] != maker || fields[1] != model) {
        return std::nullopt;
    }
    return BoardIdentity{printable(fields[2]), printable(fields[3])};
}

std::string printable(std::string_view text) {
    std::string shown;
    for (const char c : text) {
        if (c >= 0x20 && c <= 0x7E) {
            shown.push_back(c);
        }
    }
    return shown;
}

bool isRefusal(std::string_view payload) {
    return payload.starts_with("ERR");
}

CodeAnswer interpretCode(std::string_view payload) {
    if (isRefusal(payload)) {
        return {CodeStatus::Refused, 0};
    }
    const bool negative = payload.starts_with('-');
    const std::string_view digits = negative ? payload.substr(1) : payload;
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit)) {
        return {CodeStatus::Garbled, 0};
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (negative || error != std::errc() || end != digits.data() + digits.size() || value > 65535) {
        // A well-formed integer that no 16-bit converter produces.
        return {CodeStatus::OutOfRange, 0};
    }
    return {CodeStatus::Valid, static_cast<std::int32_t>(value)};
}

} // namespace thermo::board_protocol
