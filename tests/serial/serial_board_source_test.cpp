#include "acquisition/serial/serial_board_conversation.h"
#include "acquisition/serial/serial_board_source.h"
#include "core/failure.h"
#include "tests/serial/pty_board.h"
#include "tests/serial/source_reads.h"
#include "tests/support/event_loop_gap.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <unistd.h>

namespace thermo {
namespace {

using namespace std::chrono_literals;
using test::Outcome;
using test::PtyBoard;
using test::readOnce;
using test::readUntil;
using test::taggedReply;
using Clock = std::chrono::steady_clock;

// Short enough for the tests to be quick. A loaded machine may make an answer miss its 60 ms
// now and then: the tests wait for what they expect, and never take one answer's time for
// granted. A board that does not greet is asked after a quarter of a second of listening.
const BoardTiming quick{
    .staleAfter = 1000ms, .reopenInterval = 100ms, .bootTimeout = 1000ms, .answerTimeout = 60ms};
// Where a test compares one particular answer, the board has all the time it may need for it.
const BoardTiming unhurried{
    .staleAfter = 5000ms, .reopenInterval = 100ms, .bootTimeout = 2000ms, .answerTimeout = 1000ms};

// Until the board was asked `count` more times for `command`: the answers to all but the last
// of them are in.
void awaitRequests(const PtyBoard& board, const std::string& command, std::ptrdiff_t count) {
    const auto asked = [&] {
        const auto requests = board.requests();
        return std::count_if(requests.begin(), requests.end(),
                             [&](const std::string& r) { return r.starts_with(command); });
    };
    const auto target = asked() + count;
    EXPECT_TRUE(test::waitFor([&] { return asked() >= target; }, 30s))
        << command << " asked " << asked() << " times, awaited " << target;
}

TEST(SerialBoardSource, ReadsBothChannelsAndKnowsTheBoard) {
    PtyBoard board(test::boardAnswering({{"MEAS:EA0?", "40123"}, {"MEAS:EA1?", "49152"}}));
    SerialBoardSource source(board.path(), quick);
    EXPECT_EQ(source.name(), "Carte série (" + board.path() + ")");

    ASSERT_TRUE(readUntil(source, 0, 40123));
    EXPECT_TRUE(readUntil(source, 1, 49152));
    EXPECT_EQ(readOnce(source, 0), Outcome(40123));
    ASSERT_TRUE(source.identity());
    EXPECT_EQ(source.identity()->serialNumber, "0042");
    EXPECT_EQ(source.identity()->firmwareVersion, "1.0");
    EXPECT_EQ(source.name(), "Carte série n\u00B0 0042 (" + board.path() + ")");
}

TEST(SerialBoardSource, RefusesChannelsTheBoardDoesNotHave) {
    PtyBoard board(test::boardAnswering({}));
    SerialBoardSource source(board.path(), quick);
    for (std::int32_t channel : {-1, 2}) {
        try {
            source.read(channel);
            ADD_FAILURE() << "channel " << channel;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind(), FailureKind::InvalidArgument);
        }
    }
}

struct AnswerCase {
    std::string name;
    std::vector<std::string> replies; // written in turn; "{}" stands for the request's tag
    Outcome outcome;

    friend void PrintTo(const AnswerCase& row, std::ostream* out) { *out << row.name; }
};

class SerialBoardAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(SerialBoardAnswer, GivesTheCodeOrASayingFailure) {
    const AnswerCase& row = GetParam();
    PtyBoard board([&row](const std::string& request) -> std::vector<PtyBoard::Reply> {
        if (request.starts_with("*IDN?")) {
            return {{taggedReply(request, "THERMOMETRE,CARTE-CTN,0042,1.0")}};
        }
        std::vector<PtyBoard::Reply> replies;
        for (std::string reply : row.replies) {
            if (const auto at = reply.find("{}"); at != std::string::npos) {
                reply.replace(at, 2, request.substr(request.rfind('#') + 1));
            }
            replies.push_back({reply});
        }
        return replies;
    });
    SerialBoardSource source(board.path(), unhurried);
    // A failing answer must never let a code through, not even once.
    const bool expectsCode = std::holds_alternative<std::int64_t>(row.outcome);
    ASSERT_TRUE(readUntil(source, 0, row.outcome, 30s, [&](auto) { return expectsCode; }));
    // The same again from a whole new exchange: nothing of the first one is left over.
    awaitRequests(board, "MEAS:EA0?", 2);
    EXPECT_EQ(readOnce(source, 0), row.outcome) << "the next answer";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SerialBoardAnswer,
    ::testing::Values(
        AnswerCase{"lowest_code", {"0 #{}\n"}, 0}, AnswerCase{"zero_volt", {"32768 #{}\n"}, 32768},
        AnswerCase{"highest_code", {"65535 #{}\n"}, 65535},
        AnswerCase{"carriage_return_line_end", {"40000 #{}\r\n"}, 40000},
        AnswerCase{"late_answer_then_own", {"11111 #0\n22222 #{}\n"}, 22222},
        AnswerCase{"silent_board", {}, "Carte : pas de réponse"},
        AnswerCase{"answer_to_another_request_only", {"40000 #0\n"}, "Carte : pas de réponse"},
        AnswerCase{"no_line_end", {"40000 #{}"}, "Carte : pas de réponse"},
        AnswerCase{"garbage_line", {"\x01\xfe@@!\n"}, "Carte : réponse illisible"},
        AnswerCase{"untagged_code", {"40000\n"}, "Carte : réponse illisible"},
        AnswerCase{"letters_in_code", {"40a00 #{}\n"}, "Carte : réponse illisible"},
        AnswerCase{"decimal_code", {"400.5 #{}\n"}, "Carte : réponse illisible"},
        AnswerCase{"endless_line", {std::string(300, 'x')}, "Carte : réponse illisible"},
        // The tail of a line cut for its length looks like a tagged answer: it is none.
        AnswerCase{"tail_of_a_cut_line",
                   {std::string(300, 'X') + "409", "54 #{}\n"},
                   "Carte : réponse illisible"},
        AnswerCase{"just_above_range", {"65536 #{}\n"}, "Carte : code hors plage"},
        AnswerCase{"negative_code", {"-1 #{}\n"}, "Carte : code hors plage"},
        AnswerCase{"twenty_digit_code", {"99999999999999999999 #{}\n"}, "Carte : code hors plage"},
        AnswerCase{"refused", {"ERR:COMMANDE #{}\n"}, "Carte : commande refusée"}),
    [](const auto& info) { return info.param.name; });

// While the board is slow, each answer comes after its request was given up, during the next
// one: no read may ever hand it as current. Slow answers are told by their value.
TEST(SerialBoardSource, SlowBoardNeverHandsAnOldAnswer) {
    std::atomic<int> measurements{0};
    std::atomic<bool> slow{false};
    PtyBoard board([&](const std::string& request) -> std::vector<PtyBoard::Reply> {
        if (request.starts_with("*IDN?")) {
            return {{taggedReply(request, "THERMOMETRE,CARTE-CTN,0042,1.0")}};
        }
        const bool late = slow;
        const auto payload = std::to_string((late ? 5000 : 1000) + ++measurements % 1000);
        return {{taggedReply(request, payload), late ? quick.answerTimeout + 20ms : 0ms}};
    });
    SerialBoardSource source(board.path(), quick);
    const auto current = [](std::int64_t code) { return code < 5000; };
    ASSERT_TRUE(test::readCode(source, 0));

    slow = true;
    EXPECT_TRUE(readUntil(source, 0, "Carte : pas de réponse", 30s, current));
    slow = false;
    const auto code = test::readCode(source, 0);
    ASSERT_TRUE(code);
    EXPECT_TRUE(current(*code)) << *code;
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

    EXPECT_TRUE(readUntil(source, 0, "Carte : démarrage en cours"));
    board.sendRaw(std::string_view("\xff\x00\x14 bootloader\r\n", 16));
    booted = true;
    board.sendRaw("READY\r\n");
    EXPECT_TRUE(readUntil(source, 0, 40123));
}

struct ForeignCase {
    std::string name;
    PtyBoard::Responder responder;
    std::string message;

    friend void PrintTo(const ForeignCase& row, std::ostream* out) { *out << row.name; }
};

class DeviceThatIsNotOurBoard : public ::testing::TestWithParam<ForeignCase> {};

// Reopening the port restarts an Uno: a device that said what it is is not asked again, one
// that said nothing is, after a pause.
TEST_P(DeviceThatIsNotOurBoard, SaysWhatItIs) {
    PtyBoard board(GetParam().responder);
    SerialBoardSource source(board.path(), quick);
    EXPECT_TRUE(readUntil(source, 0, GetParam().message));
    EXPECT_FALSE(source.identity());
    const auto asked = [&board] {
        const auto requests = board.requests();
        return std::count_if(requests.begin(), requests.end(),
                             [](const std::string& r) { return r.starts_with("*IDN?"); });
    };
    const auto before = asked();
    if (GetParam().message == "Carte : pas de réponse") {
        EXPECT_TRUE(test::waitFor([&] { return asked() > before; }, 30s));
    } else {
        // Not asked again in the time of two reopenings, had there been any.
        EXPECT_FALSE(test::waitFor([&] { return asked() > before; },
                                   2 * (quick.reopenInterval + quick.bootTimeout)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Devices, DeviceThatIsNotOurBoard,
    ::testing::Values(ForeignCase{"multimeter", test::boardAnswering({}, "ACME,MULTIMETRE,7,2.1"),
                                  "Carte : appareil inconnu (ACME,MULTIMETRE,7,2.1)"},
                      ForeignCase{"control_characters",
                                  test::boardAnswering({}, "\x1b[2JACME\u200F \x07MODEM"),
                                  "Carte : appareil inconnu ([2JACME MODEM)"},
                      ForeignCase{"mute",
                                  [](const std::string&) { return std::vector<PtyBoard::Reply>{}; },
                                  "Carte : pas de réponse"}),
    [](const auto& info) { return info.param.name; });

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

// Started before the board is plugged in, then unplugged and plugged in again.
TEST(SerialBoardSource, FindsTheBoardWhenItIsPluggedIn) {
    ReplugPath port;
    SerialBoardSource source(port.path(), quick);
    int changes = 0;
    source.setListener([&changes] { ++changes; });
    EXPECT_EQ(source.portPath(), port.path());
    EXPECT_TRUE(readUntil(source, 1, "Carte débranchée"));

    auto first = std::make_unique<PtyBoard>(test::boardAnswering({{"MEAS:EA1?", "41000"}}));
    port.pointAt(first->path());
    ASSERT_TRUE(readUntil(source, 1, 41000));
    EXPECT_EQ(source.status(), (SourceStatus{SourceState::Connected, ""}));

    first->unplug();
    port.remove();
    EXPECT_TRUE(readUntil(source, 1, "Carte débranchée"));
    const int changesWhenLost = changes;
    EXPECT_EQ(readOnce(source, 1), Outcome("Carte débranchée"));
    EXPECT_EQ(source.status(), (SourceStatus{SourceState::Lost, "Carte débranchée"}));
    EXPECT_EQ(changes, changesWhenLost); // told once, not at every failing read

    PtyBoard second(test::boardAnswering({{"MEAS:EA1?", "42000"}}));
    port.pointAt(second.path());
    EXPECT_TRUE(readUntil(source, 1, 42000));
}

struct HostileCase {
    std::string name;
    PtyBoard::Responder responder;
    void (*meanwhile)(PtyBoard& board, const std::atomic<bool>& done);
    std::optional<std::string> ea1; // what the EA1 read says in the end, when it is sure

    friend void PrintTo(const HostileCase& row, std::ostream* out) { *out << row.name; }
};

class HostileBoard : public ::testing::TestWithParam<HostileCase> {};

// The measurement's reads on the event loop, whatever the board does: a read takes what the
// board's thread left and never holds the loop. Here the board has a whole second to answer,
// so a read that waited on the port would hold the loop a second or more; a read that does
// not takes microseconds, and a loaded machine that stops the thread in the middle of one
// holds it some tens of milliseconds.
constexpr auto heldLoopLimit = 250ms;
const BoardTiming slowToGiveUp{.staleAfter = 3000ms,
                               .reopenInterval = 100ms,
                               .bootTimeout = 2000ms,
                               .answerTimeout = 1000ms};

TEST_P(HostileBoard, NeverHoldsTheEventLoop) {
    const HostileCase& row = GetParam();
    PtyBoard board(row.responder);
    SerialBoardSource source(board.path(), slowToGiveUp);
    std::atomic<bool> done{false};
    std::thread meanwhile([&] { row.meanwhile ? row.meanwhile(board, done) : void(); });
    Outcome ea1;
    const auto gaps = test::measureEventLoopGaps(
        [&] {
            readOnce(source, 0);
            ea1 = readOnce(source, 1);
        },
        2500ms);
    done = true;
    meanwhile.join();
    std::cout << row.name << ": longest read " << gaps.longestTick.count() << " µs, longest gap "
              << gaps.longest.count() << " µs, " << gaps.ticks << " ticks\n";
    EXPECT_LT(gaps.longestTick, heldLoopLimit);
    EXPECT_GE(gaps.ticks, 5);
    if (row.ea1) {
        // The board's thread may see the end a little late on a loaded machine.
        EXPECT_TRUE(ea1 == Outcome(*row.ea1) || readUntil(source, 1, *row.ea1));
    }
}

// It says who it is at once, answers EA0 after `delay`, and never EA1.
PtyBoard::Responder answeringEa0Only(std::chrono::milliseconds delay) {
    return [=](const std::string& request) {
        auto replies = test::boardAnswering({{"MEAS:EA0?", "40960"}})(request);
        replies.front().delay = request.starts_with("MEAS:EA0?") ? delay : 0ms;
        return request.starts_with("MEAS:EA1?") ? std::vector<PtyBoard::Reply>{} : replies;
    };
}

// It says who it is, and nothing more.
std::vector<PtyBoard::Reply> identityOnly(const std::string& request) {
    return request.starts_with("*IDN?") ? test::boardAnswering({})(request)
                                        : std::vector<PtyBoard::Reply>{};
}

INSTANTIATE_TEST_SUITE_P(
    Boards, HostileBoard,
    ::testing::Values(
        HostileCase{"ea0_only_after_400ms", answeringEa0Only(400ms), nullptr,
                    "Carte : pas de réponse"},
        HostileCase{"mute_after_identifying", identityOnly, nullptr, "Carte : pas de réponse"},
        HostileCase{"flood", test::boardAnswering({{"MEAS:EA0?", "40960"}, {"MEAS:EA1?", "49152"}}),
                    [](PtyBoard& board, const std::atomic<bool>& done) {
                        while (!done) {
                            board.sendRaw(std::string(4000, 'Z') + "\n");
                        }
                    },
                    std::nullopt},
        HostileCase{"vanishes_mid_read", identityOnly,
                    [](PtyBoard& board, const std::atomic<bool>&) {
                        std::this_thread::sleep_for(700ms);
                        board.unplug();
                    },
                    "Carte débranchée"}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace thermo
