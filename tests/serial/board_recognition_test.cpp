#include "acquisition/board_kinds.h"
#include "acquisition/orphy_control.h"
#include "core/failure.h"
#include "tests/serial/firmata_peer.h"
#include "tests/serial/pty_board.h"

#include <gtest/gtest.h>
#include <memory>

namespace thermo {
namespace {

using namespace std::chrono_literals;

// A board played on a pseudo-terminal, whichever double plays it.
struct PlayedBoard {
    std::string path;
    std::shared_ptr<void> board;
};

struct OneOpeningCase {
    std::string name;
    std::function<PlayedBoard()> play;
    std::size_t kind; // in boardKinds()

    friend void PrintTo(const OneOpeningCase& row, std::ostream* out) { *out << row.name; }
};

class OneOpening : public ::testing::TestWithParam<OneOpeningCase> {};

// As the program is started with --port: the kind is found out on the port's first opening,
// and the board's own source reads it on that same opening. Each opening would restart an Uno.
TEST_P(OneOpening, RecognisesTheBoardAndReadsItWithoutOpeningItAgain) {
    const PlayedBoard board = GetParam().play();
    test::OpenCounter opens(board.path);
    OrphyControl control(OrphyProperties::mainWindowSet());
    control.usePort(board.path);
    EXPECT_TRUE(test::waitFor(
        [&] {
            try {
                control.invoke(readDispatchId, 0);
                return true;
            } catch (const Failure&) {
                return false;
            }
        },
        30s));
    EXPECT_EQ(control.boardKind(), boardKinds()[GetParam().kind]);
    EXPECT_EQ(opens.count(), 1);
}

template <typename Board, typename... Arguments> PlayedBoard play(Arguments... arguments) {
    auto board = std::make_shared<Board>(arguments...);
    return {board->path(), board};
}

INSTANTIATE_TEST_SUITE_P(
    Boards, OneOpening,
    ::testing::Values(
        OneOpeningCase{
            "our_board_asked",
            [] {
                return play<test::PtyBoard>(test::boardAnswering({{"MEAS:EA0?", "40000"}}));
            },
            0},
        OneOpeningCase{"uno_under_firmata_greeting_after_its_restart",
                       [] {
                           return play<test::FirmataPeer>(test::FirmataPeer::Options{
                               .restartsOnOpen = true, .bootTime = 300ms});
                       },
                       1},
        OneOpeningCase{"firmata_board_asked",
                       [] {
                           return play<test::FirmataPeer>(
                               test::FirmataPeer::Options{.restartsOnOpen = false});
                       },
                       1}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace thermo
