#include "acquisition/board_kinds.h"
#include "tests/serial/firmata_peer.h"
#include "tests/serial/pty_board.h"

#include <atomic>
#include <gtest/gtest.h>

namespace thermo {
namespace {

using namespace std::chrono_literals;
using test::PtyBoard;
using Clock = std::chrono::steady_clock;

PtyBoard::Responder silent() {
    return [](const std::string&) { return std::vector<PtyBoard::Reply>{}; };
}

// A modem-like device that answers every line in its own way.
PtyBoard::Responder chatty() {
    return [](const std::string&) {
        return std::vector<PtyBoard::Reply>{{"OK\r\n"}, {"ERROR\r\n"}};
    };
}

TEST(BoardDiscovery, KeepsOnlyThePortsThatIdentifyAsABoard) {
    PtyBoard ours(test::boardAnswering({}, "THERMOMETRE,CARTE-CTN,0042,1.0"));
    PtyBoard mute(silent());
    PtyBoard otherMute(silent());
    PtyBoard modem(chatty());
    PtyBoard other(test::boardAnswering({}, "ACME,MULTIMETRE,7,2.1"));
    PtyBoard oldStyle(test::boardAnswering({}, "THERMOMETRE,CARTE-CTN,0042"));

    const auto limit = 1000ms;
    const auto start = Clock::now();
    const auto boards = findBoards({mute.path(), modem.path(), "/dev/absent-port", ours.path(),
                                    other.path(), otherMute.path(), oldStyle.path()},
                                   limit);
    const auto elapsed = Clock::now() - start;

    ASSERT_EQ(boards.size(), 1u);
    EXPECT_EQ(boards[0].portPath, ours.path());
    EXPECT_EQ(boards[0].serialNumber, "0042");
    EXPECT_EQ(boards[0].firmwareVersion, "1.0");
    // The silent ports hold the search until its limit, no longer: they wait side by side,
    // not one after the other (that would take twice the limit).
    EXPECT_GE(elapsed, limit);
    EXPECT_LT(elapsed, 2 * limit);
    EXPECT_FALSE(mute.requests().empty());
    EXPECT_FALSE(otherMute.requests().empty());
}

TEST(BoardDiscovery, EndsAsSoonAsEveryPortHasAnswered) {
    PtyBoard first(test::boardAnswering({}, "THERMOMETRE,CARTE-CTN,0001,1.0"));
    PtyBoard second(test::boardAnswering({}, "THERMOMETRE,CARTE-CTN,0002,1.1"));
    PtyBoard other(test::boardAnswering({}, "ACME,MULTIMETRE,7,2.1"));

    const auto start = Clock::now();
    const auto limit = 10s;
    const auto boards = findBoards({second.path(), other.path(), first.path()}, limit);
    EXPECT_LT(Clock::now() - start, limit / 4);

    ASSERT_EQ(boards.size(), 2u);
    std::vector<std::string> serials{boards[0].serialNumber, boards[1].serialNumber};
    std::sort(serials.begin(), serials.end());
    EXPECT_EQ(serials, (std::vector<std::string>{"0001", "0002"}));
}

// A board reset by the opening of its port is deaf for a while, then says READY.
TEST(BoardDiscovery, WaitsForABoardThatIsBooting) {
    std::atomic<bool> booted{false};
    auto answers = test::boardAnswering({});
    PtyBoard board([&](const std::string& request) {
        return booted ? answers(request) : std::vector<PtyBoard::Reply>{};
    });
    std::thread boot([&] {
        std::this_thread::sleep_for(150ms); // the bootloader's time, on purpose
        booted = true;
        board.sendRaw("READY\n");
    });
    const auto boards = findBoards({board.path()}, 10s);
    boot.join();
    ASSERT_EQ(boards.size(), 1u);
    EXPECT_EQ(boards[0].serialNumber, "0042");
}

// Each port is opened once, as an Uno restarts at each opening: the Uno under StandardFirmata
// greets once restarted, the board that does not restart is asked.
TEST(BoardDiscovery, FindsBothKindsOfBoardOnOneOpeningOfEachPort) {
    PtyBoard ours(test::boardAnswering({}));
    test::FirmataPeer uno({.restartsOnOpen = true, .bootTime = 100ms});
    test::FirmataPeer nano({.restartsOnOpen = false});
    PtyBoard mute(silent());
    test::OpenCounter a(uno.path()), b(nano.path()), c(mute.path()), d(ours.path());
    const auto boards = findBoards({uno.path(), nano.path(), mute.path(), ours.path()}, 3s);
    ASSERT_EQ(boards.size(), 3u);
    EXPECT_EQ(boards[0].portPath, ours.path());
    EXPECT_EQ(boards[0].kind, boardKinds()[0]);
    EXPECT_EQ(boards[0].identification, "carte n\u00B0 0042");
    for (const BoardInfo& firmata : {boards[1], boards[2]}) {
        EXPECT_EQ(firmata.kind, boardKinds()[1]);
        EXPECT_EQ(firmata.identification, "Arduino Firmata 2.5 (StandardFirmata)");
    }
    for (auto* opens : {&a, &b, &c, &d}) {
        EXPECT_EQ(opens->count(), 1);
    }
}

TEST(BoardDiscovery, NothingToProbeReturnsAtOnce) {
    const auto start = Clock::now();
    const auto limit = 10s;
    EXPECT_TRUE(findBoards({"/dev/absent-port"}, limit).empty());
    EXPECT_LT(Clock::now() - start, limit / 10);
}

} // namespace
} // namespace thermo
