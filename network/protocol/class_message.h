#pragma once

#include "core/session_series.h"
#include "network/protocol/readable_text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace thermo::classroom {

// What travels between a group's program and the teacher's, through the class's broker. Every
// message is a few bytes of header ('T', the format's version, its kind) and a body of
// little-endian numbers and short UTF-8 texts. The broker is shared by a whole class and its
// messages come from programs the teacher does not control: a message is read only whole,
// within the bounds below, and anything else is refused as a whole.

inline constexpr std::size_t maxMessageBytes = 8192;
inline constexpr std::size_t maxBatchReadings = 100;
inline constexpr std::size_t maxNameBytes = 64;
inline constexpr std::size_t maxSourceBytes = 120;
inline constexpr std::size_t maxParameterBytes = 32;
inline constexpr std::size_t maxAccountBytes = 32;
inline constexpr std::size_t maxPasswordBytes = 64;
inline constexpr std::size_t maxBackfillRanges = 16;
inline constexpr std::uint32_t maxBackfillBatches = 1000;

// A run is told apart from the group's earlier ones by a number drawn at random when it starts:
// a group whose program was restarted numbers its batches from 1 again.
using RunId = std::uint32_t;

// Consecutive readings of one run, numbered from 1 in the order the group took them. Times are
// milliseconds since the run's first reading; `startedAt` is when that was, on the group's
// clock (milliseconds since 1970), so that the teacher can place runs side by side.
struct Batch {
    RunId run = 0;
    std::uint32_t number = 0;
    std::int64_t startedAt = 0;
    std::vector<Sample> readings;

    bool operator==(const Batch& other) const;
};

// What the group shows of itself, kept by the broker (retained) for whoever comes later.
struct GroupState {
    RunId run = 0;
    std::int64_t startedAt = 0;
    std::uint32_t lastBatch = 0; // the highest batch number sent so far, 0 before the first
    bool running = false;        // readings are coming in
    std::string name;            // "Groupe 3", as the group typed it
    std::string source;          // where its codes come from
    std::string r, a, b;         // the circuit's parameters, as typed

    bool operator==(const GroupState&) const = default;
};

// The group is gone: sent by the broker in its name when its connection dies (its last will),
// or by the group when it leaves the class.
struct GroupLeft {
    bool operator==(const GroupLeft&) const = default;
};

// The teacher's request for batches it never received: [first, last] ranges.
struct BatchRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;

    bool operator==(const BatchRange&) const = default;
};

struct BackfillRequest {
    RunId run = 0;
    std::vector<BatchRange> ranges;

    bool operator==(const BackfillRequest&) const = default;
};

// A group asking into the class: the account it made for itself and the name it shows.
struct Enrolment {
    std::string account;
    std::string password;
    std::string name;

    bool operator==(const Enrolment&) const = default;
};

using Message = std::variant<Batch, GroupState, GroupLeft, BackfillRequest, Enrolment>;

// The bytes of a message. A message that could never be read back (a text too long or not
// UTF-8, a batch too large, a time or number out of range) throws Failure(InvalidArgument).
std::vector<std::uint8_t> encode(const Message& message);

// The message these bytes hold, or none when they are not exactly one well-formed message.
std::optional<Message> decode(std::span<const std::uint8_t> bytes);

} // namespace thermo::classroom
