#pragma once

#include "acquisition/code_source.h"
#include "core/failure.h"
#include "tests/serial/pty_board.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <variant>

namespace thermo::test {

// What one read gave: a code, or the failure's message.
using Outcome = std::variant<std::int64_t, std::string>;

// The reads run in the interface's thread: each one must give the hand back at once, in
// microseconds. A read that waited on the port held it for the board's whole answer time, 60 ms
// and more, every time. A loaded machine may also stop the thread for a few milliseconds in
// the middle of a read, now and then: the reads of a loop are judged together, and only a
// loop whose reads are slow again and again waits on the port.
inline constexpr std::chrono::milliseconds readLatencyLimit{5};

struct ReadLatencies {
    int reads = 0;
    int slow = 0; // over readLatencyLimit

    bool waitedOnThePort() const { return slow > 2 + reads / 10; }
};

inline Outcome readOnce(CodeSource& source, std::int32_t channel,
                        ReadLatencies* latencies = nullptr) {
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome;
    try {
        outcome = std::get<std::int64_t>(source.read(channel));
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), FailureKind::AcquisitionFailed);
        outcome = std::string(failure.what());
    }
    if (latencies != nullptr) {
        ++latencies->reads;
        latencies->slow += std::chrono::steady_clock::now() - start > readLatencyLimit;
    }
    return outcome;
}

// Reads as the measurement does, about ten times a second, until what a read gives is `done`
// or `limit` passes; the last outcome.
inline Outcome readWhileNot(CodeSource& source, std::int32_t channel,
                            const std::function<bool(const Outcome&)>& done,
                            std::chrono::milliseconds limit) {
    Outcome outcome;
    ReadLatencies latencies;
    waitFor(
        [&] {
            outcome = readOnce(source, channel, &latencies);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return done(outcome);
        },
        limit);
    EXPECT_FALSE(latencies.waitedOnThePort())
        << latencies.slow << " of " << latencies.reads << " reads took over "
        << readLatencyLimit.count() << " ms";
    return outcome;
}

// Until `wanted` comes; every code seen on the way must pass `allowed`.
inline bool readUntil(
    CodeSource& source, std::int32_t channel, const Outcome& wanted,
    std::chrono::milliseconds limit = std::chrono::seconds(10),
    const std::function<bool(std::int64_t)>& allowed = [](std::int64_t) { return true; }) {
    const auto done = [&](const Outcome& outcome) {
        if (const auto* code = std::get_if<std::int64_t>(&outcome)) {
            EXPECT_TRUE(allowed(*code)) << "code " << *code;
        }
        return outcome == wanted;
    };
    return readWhileNot(source, channel, done, limit) == wanted;
}

// Until a code comes.
inline std::optional<std::int64_t>
readCode(CodeSource& source, std::int32_t channel,
         std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const Outcome outcome = readWhileNot(
        source, channel, [](const Outcome& o) { return o.index() == 0; }, limit);
    const auto* code = std::get_if<std::int64_t>(&outcome);
    return code ? std::optional(*code) : std::nullopt;
}

} // namespace thermo::test
