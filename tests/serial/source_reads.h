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

// The reads run in the interface's thread: each one must give the hand back at once.
inline constexpr std::chrono::milliseconds readLatencyLimit{5};
inline std::chrono::microseconds slowestRead{0};

inline Outcome readOnce(CodeSource& source, std::int32_t channel) {
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome;
    try {
        outcome = std::get<std::int64_t>(source.read(channel));
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), FailureKind::AcquisitionFailed);
        outcome = std::string(failure.what());
    }
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    slowestRead = std::max(slowestRead, took);
    EXPECT_LE(took, readLatencyLimit);
    return outcome;
}

// Reads as the measurement does, about ten times a second, until `wanted` comes; every code
// seen on the way must pass `allowed`.
inline bool readUntil(
    CodeSource& source, std::int32_t channel, const Outcome& wanted,
    std::chrono::milliseconds limit = std::chrono::seconds(2),
    const std::function<bool(std::int64_t)>& allowed = [](std::int64_t) { return true; }) {
    return waitFor(
        [&] {
            const Outcome outcome = readOnce(source, channel);
            if (const auto* code = std::get_if<std::int64_t>(&outcome)) {
                EXPECT_TRUE(allowed(*code)) << "code " << *code;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return outcome == wanted;
        },
        limit);
}

// Reads until a code comes.
inline std::optional<std::int64_t>
readCode(CodeSource& source, std::int32_t channel,
         std::chrono::milliseconds limit = std::chrono::seconds(3)) {
    std::optional<std::int64_t> code;
    waitFor(
        [&] {
            const Outcome outcome = readOnce(source, channel);
            if (const auto* read = std::get_if<std::int64_t>(&outcome)) {
                code = *read;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return code.has_value();
        },
        limit);
    return code;
}

} // namespace thermo::test
