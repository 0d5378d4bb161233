#include "acquisition/serial/serial_board_source.h"
#include "core/failure.h"
#include "tests/serial/pty_board.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <unistd.h>

namespace thermo {
namespace {

using namespace std::chrono_literals;
using test::PtyBoard;
using test::taggedReply;
using Clock = std::chrono::steady_clock;

// The reads run in the interface's thread: a failing one must give the hand back quickly.
constexpr auto failureLatencyLimit = 80ms;
const SerialTiming quickRecovery{40ms, 400ms, 100ms};

std::chrono::milliseconds worstFailureLatency{0};

std::int64_t codeOf(const AutomationValue& value) {
    EXPECT_TRUE(std::holds_alternative<std::int64_t>(value));
    return std::holds_alternative<std::int64_t>(value) ? std::get<std::int64_t>(value) : -1;
}

// Reads a channel that must fail with `message`, within the latency limit.
void expectFailure(SerialBoardSource& source, std::int32_t channel, const std::string& message) {
    const auto start = Clock::now();
    try {
        const auto value = source.read(channel);
        ADD_FAILURE() << "read returned " << codeOf(value) << ", expected \"" << message << "\"";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), FailureKind::AcquisitionFailed);
        EXPECT_EQ(std::string(failure.what()), message);
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    worstFailureLatency = std::max(worstFailureLatency, elapsed);
    EXPECT_LE(elapsed, failureLatencyLimit) << message;
}

// Reads until a code comes, as the measurement cycle does ten times a second.
std::optional<std::int64_t> readUntilAnswer(SerialBoardSource& source, std::int32_t channel,
                                            std::chrono::milliseconds limit) {
    std::optional<std::int64_t> code;
    test::waitFor(
        [&] {
            try {
                code = codeOf(source.read(channel));
            } catch (const Failure&) {
            }
            return code.has_value();
        },
        limit);
    return code;
}

// Reads until the board has identified itself, as the measurement cycle does while it boots.
bool waitUntilIdentified(SerialBoardSource& source, std::int32_t channel = 0) {
    return test::waitFor(
        [&] {
            try {
                source.read(channel);
            } catch (const Failure&) {
            }
            return source.identity().has_value();
        },
        2s);
}

class WorstLatencyReport : public ::testing::Environment {
public:
    void TearDown() override {
        std::cout << "Slowest failing read: " << worstFailureLatency.count() << " ms\n";
    }
};
const auto* const latencyReport = ::testing::AddGlobalTestEnvironment(new WorstLatencyReport);

TEST(SerialBoardSource, ReadsBothChannelsAndKnowsTheBoard) {
    PtyBoard board(test::boardAnswering({{"MEAS:EA0?", "40123"}, {"MEAS:EA1?", "49152"}}));
    SerialBoardSource source(board.path());
    EXPECT_EQ(source.name(), "Carte série (" + board.path() + ")");
    EXPECT_FALSE(source.identity());

    ASSERT_TRUE(waitUntilIdentified(source));
    EXPECT_EQ(codeOf(source.read(0)), 40123);
    EXPECT_EQ(codeOf(source.read(1)), 49152);
    EXPECT_EQ(codeOf(source.read(0)), 40123);
    ASSERT_TRUE(source.identity());
    EXPECT_EQ(source.identity()->serialNumber, "0042");
    EXPECT_EQ(source.identity()->firmwareVersion, "1.0");
}

TEST(SerialBoardSource, RefusesChannelsTheBoardDoesNotHave) {
    PtyBoard board(test::boardAnswering({}));
    SerialBoardSource source(board.path());
    for (std::int32_t channel : {-1, 2}) {
        try {
            source.read(channel);
            ADD_FAILURE() << "channel " << channel;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind(), FailureKind::InvalidArgument);
        }
    }
    EXPECT_TRUE(board.requests().empty());
}

struct AnswerCase {
    std::string name;
    std::string reply; // "{}" stands for the request's tag; empty for a silent board
    std::optional<std::int64_t> code;
    std::string failure;

    friend void PrintTo(const AnswerCase& row, std::ostream* out) { *out << row.name; }
};

class SerialBoardAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(SerialBoardAnswer, GivesTheCodeOrASayingFailure) {
    const AnswerCase& row = GetParam();
    PtyBoard board([&row](const std::string& request) -> std::vector<PtyBoard::Reply> {
        if (request.starts_with("*IDN?")) {
            return {{taggedReply(request, "THERMOMETRE,CARTE-CTN,0042,1.0")}};
        }
        std::string reply = row.reply;
        if (const auto at = reply.find("{}"); at != std::string::npos) {
            reply.replace(at, 2, request.substr(request.rfind('#') + 1));
        }
        return {{reply}};
    });
    SerialBoardSource source(board.path());
    ASSERT_TRUE(waitUntilIdentified(source));
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (row.code) {
            EXPECT_EQ(codeOf(source.read(0)), *row.code);
        } else {
            expectFailure(source, 0, row.failure);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SerialBoardAnswer,
    ::testing::Values(
        AnswerCase{"lowest_code", "0 #{}\n", 0, {}},
        AnswerCase{"zero_volt", "32768 #{}\n", 32768, {}},
        AnswerCase{"highest_code", "65535 #{}\n", 65535, {}},
        AnswerCase{"carriage_return_line_end", "40000 #{}\r\n", 40000, {}},
        AnswerCase{"late_answer_then_own", "11111 #0\n22222 #{}\n", 22222, {}},
        AnswerCase{"silent_board", "", {}, "Carte : pas de réponse"},
        AnswerCase{"answer_to_another_request_only", "40000 #0\n", {}, "Carte : pas de réponse"},
        AnswerCase{"no_line_end", "40000 #{}", {}, "Carte : pas de réponse"},
        AnswerCase{"garbage_line", "\x01\xfe@@!\n", {}, "Carte : réponse illisible"},
        AnswerCase{"untagged_code", "40000\n", {}, "Carte : réponse illisible"},
        AnswerCase{"letters_in_code", "40a00 #{}\n", {}, "Carte : réponse illisible"},
        AnswerCase{"decimal_code", "400.5 #{}\n", {}, "Carte : réponse illisible"},
        AnswerCase{"endless_line", std::string(300, 'x'), {}, "Carte : réponse illisible"},
        AnswerCase{"just_above_range", "65536 #{}\n", {}, "Carte : code hors plage"},
        AnswerCase{"negative_code", "-1 #{}\n", {}, "Carte : code hors plage"},
        AnswerCase{
            "twenty_digit_code", "99999999999999999999 #{}\n", {}, "Carte : code hors plage"},
        AnswerCase{"refused", "ERR:COMMANDE #{}\n", {}, "Carte : commande refusée"}),
    [](const auto& info) { return info.param.name; });

// Every answer comes 60 ms late, after the read has given up: no read may take the previous
// request's answer, which arrives while it waits, for its own.
TEST(SerialBoardSource, SlowBoardNeverHandsAnOldAnswer) {
    std::atomic<int> measurements{0};
    std::atomic<bool> slow{false};
    PtyBoard board([&](const std::string& request) -> std::vector<PtyBoard::Reply> {
        if (request.starts_with("*IDN?")) {
            return {{taggedReply(request, "THERMOMETRE,CARTE-CTN,0042,1.0")}};
        }
        const auto payload = std::to_string(1000 + ++measurements);
        return {{taggedReply(request, payload), slow ? 60ms : 0ms}};
    });
    SerialBoardSource source(board.path());
    ASSERT_TRUE(waitUntilIdentified(source));
    const int before = measurements;
    const std::size_t replies = board.repliesSent();

    slow = true;
    expectFailure(source, 0, "Carte : pas de réponse");
    expectFailure(source, 0, "Carte : pas de réponse");
    ASSERT_TRUE(test::waitFor([&] { return board.repliesSent() == replies + 2; }, 1s));
    slow = false;
    EXPECT_EQ(codeOf(source.read(0)), 1000 + before + 3);
}

TEST(SerialBoardSource, AnswerLateByOneReadIsSkippedByTheNext) {
    std::atomic<int> measurements{0};
    std::atomic<int> slowOne{-1};
    PtyBoard board([&](const std::string& request) -> std::vector<PtyBoard::Reply> {
        if (request.starts_with("*IDN?")) {
            return {{taggedReply(request, "THERMOMETRE,CARTE-CTN,0042,1.0")}};
        }
        const int n = ++measurements;
        return {{taggedReply(request, std::to_string(1000 + n)), n == slowOne ? 60ms : 0ms}};
    });
    SerialBoardSource source(board.path());
    ASSERT_TRUE(waitUntilIdentified(source, 1));

    slowOne = measurements + 1;
    expectFailure(source, 1, "Carte : pas de réponse");
    EXPECT_EQ(codeOf(source.read(1)), 1000 + slowOne + 1);
}

// Opening the port resets a real board: it prints whatever its bootloader leaves, then READY,
// and does not listen before.
TEST(SerialBoardSource, WaitsForABootingBoard) {
    std::atomic<bool> booted{false};
    auto answers = test::boardAnswering({{"MEAS:EA0?", "40123"}});
    PtyBoard board([&](const std::string& request) {
        return booted ? answers(request) : std::vector<PtyBoard::Reply>{};
    });
    SerialBoardSource source(board.path());

    expectFailure(source, 0, "Carte : démarrage en cours");
    expectFailure(source, 0, "Carte : démarrage en cours");
    board.sendRaw(std::string_view("\xff\x00\x14 bootloader\r\n", 16));
    booted = true;
    board.sendRaw("READY\r\n");
    EXPECT_EQ(readUntilAnswer(source, 0, 1s), 40123);
}

TEST(SerialBoardSource, GivesUpOnADeviceThatNeverIdentifies) {
    PtyBoard board([](const std::string&) { return std::vector<PtyBoard::Reply>{}; });
    SerialBoardSource source(board.path(), quickRecovery);

    expectFailure(source, 0, "Carte : démarrage en cours");
    ASSERT_TRUE(test::waitFor(
        [&] {
            try {
                source.read(0);
            } catch (const Failure& failure) {
                return std::string(failure.what()) == "Carte : pas de réponse";
            }
            return false;
        },
        2s));
}

TEST(SerialBoardSource, RejectsADeviceThatIsNotOurBoard) {
    PtyBoard board(test::boardAnswering({{"MEAS:EA0?", "40123"}}, "ACME,MULTIMETRE,7,2.1"));
    SerialBoardSource source(board.path());
    std::string message;
    ASSERT_TRUE(test::waitFor(
        [&] {
            try {
                source.read(0);
            } catch (const Failure& failure) {
                message = failure.what();
            }
            return message != "Carte : démarrage en cours";
        },
        2s));
    EXPECT_EQ(message, "Carte : appareil inconnu");
    EXPECT_FALSE(source.identity());
}

// The program opens a link that the test points at one pseudo-terminal after another, as the
// system's /dev/ttyACM0 comes back when the board is plugged in again.
class ReplugPath {
public:
    ReplugPath() {
        char pattern[] = "/tmp/thermo-serial-XXXXXX";
        directory_ = ::mkdtemp(pattern);
        path_ = directory_ / ("ttyCARTE" + std::to_string(::getpid()));
    }
    ~ReplugPath() { std::filesystem::remove_all(directory_); }
    const std::filesystem::path& path() const { return path_; }
    void pointAt(const std::string& target) {
        const auto next = directory_ / "next";
        std::filesystem::create_symlink(target, next);
        std::filesystem::rename(next, path_);
    }
    void remove() { std::filesystem::remove(path_); }

private:
    std::filesystem::path directory_;
    std::filesystem::path path_;
};

TEST(SerialBoardSource, RecoversWhenTheBoardIsPluggedBackIn) {
    ReplugPath port;
    auto first = std::make_unique<PtyBoard>(test::boardAnswering({{"MEAS:EA0?", "41000"}}));
    port.pointAt(first->path());
    SerialBoardSource source(port.path(), quickRecovery);
    int changes = 0;
    source.setListener([&changes] { ++changes; });
    EXPECT_EQ(source.status().state, SourceState::Connecting);
    EXPECT_EQ(source.portPath(), port.path());
    ASSERT_TRUE(waitUntilIdentified(source));
    EXPECT_EQ(codeOf(source.read(0)), 41000);
    EXPECT_EQ(source.status(), (SourceStatus{SourceState::Connected, ""}));

    first->unplug();
    port.remove();
    expectFailure(source, 0, "Carte débranchée");
    const int changesWhenLost = changes;
    expectFailure(source, 0, "Carte débranchée");
    EXPECT_EQ(source.status(), (SourceStatus{SourceState::Lost, "Carte débranchée"}));
    EXPECT_EQ(changes, changesWhenLost); // told once, not at every failing read

    PtyBoard second(test::boardAnswering({{"MEAS:EA0?", "42000"}}));
    port.pointAt(second.path());
    EXPECT_EQ(readUntilAnswer(source, 0, 2s), 42000);
    EXPECT_EQ(source.status().state, SourceState::Connected);
}

TEST(SerialBoardSource, StartsWithoutTheBoardAndFindsItLater) {
    ReplugPath port;
    SerialBoardSource source(port.path(), quickRecovery);
    expectFailure(source, 1, "Carte débranchée");
    expectFailure(source, 1, "Carte débranchée");

    PtyBoard board(test::boardAnswering({{"MEAS:EA1?", "49000"}}));
    port.pointAt(board.path());
    EXPECT_EQ(readUntilAnswer(source, 1, 2s), 49000);
}

} // namespace
} // namespace thermo
