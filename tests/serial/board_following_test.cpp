#include "acquisition/board_conversation.h"
#include "acquisition/firmata/firmata_board_source.h"
#include "tests/serial/firmata_peer.h"
#include "tests/serial/pty_board.h"
#include "tests/serial/source_reads.h"

#include <gtest/gtest.h>

namespace thermo {
namespace {

using namespace std::chrono_literals;
using test::FirmataPeer;

const BoardTiming quick{
    .staleAfter = 1000ms, .reopenInterval = 100ms, .bootTimeout = 1500ms, .answerTimeout = 60ms};

std::shared_ptr<FirmataPeer> uno() {
    auto board = std::make_shared<FirmataPeer>(
        FirmataPeer::Options{.restartsOnOpen = true, .bootTime = 100ms});
    board->setValues(0, {512});
    return board;
}

std::shared_ptr<test::PtyBoard> ours(const std::string& number) {
    return std::make_shared<test::PtyBoard>(
        test::boardAnswering({{"MEAS:EA0?", "40000"}}, "THERMOMETRE,CARTE-CTN," + number + ",1.0"));
}

using Played = std::pair<std::string, std::shared_ptr<void>>; // its path, the board kept alive

// The board followed: the project's board, known by its number, or an Uno under StandardFirmata
// alone of its make.
Played play(std::size_t kind) {
    if (kind == 0) {
        auto board = ours("0042");
        return {board->path(), board};
    }
    auto board = uno();
    return {board->path(), board};
}

class BoardUnpluggedAndBack : public ::testing::TestWithParam<std::size_t> {};

// Linux gives a board plugged in again the first free name, often not the one it had. Another
// board, plugged in first, is opened once and left alone.
TEST_P(BoardUnpluggedAndBack, IsFollowedToItsNewPort) {
    test::PluggedPorts ports;
    auto [terminal, first] = play(GetParam());
    const std::string firstPath = ports.plug(terminal);
    const auto source = openBoard(*boardKinds()[GetParam()], firstPath, quick, ports.lister());
    ASSERT_TRUE(test::readCode(*source, 0));

    ports.unplug(firstPath);
    first.reset();
    EXPECT_TRUE(test::readUntil(*source, 0, "Carte débranchée"));
    ASSERT_TRUE(test::lookingAgain(ports));
    const auto other = ours("0043");
    test::OpenCounter otherOpens(other->path());
    ports.plug(other->path());
    EXPECT_TRUE(test::waitFor([&] { return otherOpens.count() > 0; }, 30s));
    const auto back = play(GetParam());
    const std::string backPath = ports.plug(back.first);
    EXPECT_TRUE(test::readCode(*source, 0));
    EXPECT_EQ(source->portPath(), backPath);
    EXPECT_NE(source->name().find(backPath), std::string::npos) << source->name();
    EXPECT_EQ(otherOpens.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Boards, BoardUnpluggedAndBack, ::testing::Values(0, 1),
                         [](const auto& info) {
                             return info.param == 0 ? "our_board_by_its_number"
                                                    : "uno_under_firmata_alone_of_its_make";
                         });

// Two Unos under StandardFirmata without serial numbers: nothing tells one from the other.
// Both unplugged, one comes back: it may be the other one, and only the user knows.
TEST(BoardUnpluggedAndBack, IsNeverSwappedForOneLikeIt) {
    test::PluggedPorts ports;
    auto inUse = uno(), spare = uno();
    const std::string inUsePath = ports.plug(inUse->path()), sparePath = ports.plug(spare->path());
    FirmataBoardSource source(inUsePath, quick, ports.lister());
    ASSERT_TRUE(test::readCode(source, 0));

    ports.unplug(inUsePath);
    ports.unplug(sparePath);
    inUse.reset();
    spare.reset();
    EXPECT_TRUE(test::readUntil(source, 0, "Carte débranchée"));
    ASSERT_TRUE(test::lookingAgain(ports));
    const auto back = uno();
    const std::string backPath = ports.plug(back->path());
    ASSERT_TRUE(test::waitFor([&] { return !source.lookalikes().empty(); }, 30s));
    EXPECT_EQ(source.lookalikes()[0].portPath, backPath);
    EXPECT_EQ(test::readOnce(source, 0), test::Outcome("Carte débranchée"));
    EXPECT_FALSE(back->reporting(0));
}

} // namespace
} // namespace thermo
