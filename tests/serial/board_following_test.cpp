#include "acquisition/firmata/firmata_board_source.h"
#include "acquisition/serial/serial_board_source.h"
#include "tests/serial/firmata_peer.h"
#include "tests/serial/pty_board.h"
#include "tests/serial/source_reads.h"

#include <gtest/gtest.h>
#include <memory>

namespace thermo {
namespace {

using namespace std::chrono_literals;
using test::FirmataPeer;
using test::PtyBoard;
using test::readUntil;

const BoardTiming quick{
    .staleAfter = 1000ms, .reopenInterval = 100ms, .bootTimeout = 1500ms, .answerTimeout = 60ms};

// A board plugged in on a pseudo-terminal of its own, listed to the program while it stays.
class Plugged {
public:
    template <typename Board>
    Plugged(std::unique_ptr<Board> board, test::PluggedPorts& ports)
        : path_(board->path()), board_(std::move(board)), ports_(ports), opens_(path_) {
        ports_.plug(path_);
    }
    ~Plugged() { pull(); }
    Plugged(const Plugged&) = delete;
    Plugged& operator=(const Plugged&) = delete;
    const std::string& path() const { return path_; }
    int opens() { return opens_.count(); }
    // As pulling the cable: the port goes, and the system stops listing it.
    void pull() {
        ports_.unplug(path_);
        board_.reset();
    }

private:
    std::string path_;
    std::shared_ptr<void> board_;
    test::PluggedPorts& ports_;
    test::OpenCounter opens_;
};

std::unique_ptr<FirmataPeer> uno() {
    auto board = std::make_unique<FirmataPeer>(
        FirmataPeer::Options{.restartsOnOpen = true, .bootTime = 100ms});
    board->setValues(0, {512});
    return board;
}

std::unique_ptr<PtyBoard> ours(const std::string& number) {
    return std::make_unique<PtyBoard>(
        test::boardAnswering({{"MEAS:EA0?", "40000"}}, "THERMOMETRE,CARTE-CTN," + number + ",1.0"));
}

struct FollowCase {
    std::string name;
    std::function<std::unique_ptr<CodeSource>(const std::string&, PortLister)> open;
    std::function<Plugged(test::PluggedPorts&)> board;
    // Comes first, and is not the board: opened once, and left alone.
    std::function<Plugged(test::PluggedPorts&)> other;

    friend void PrintTo(const FollowCase& row, std::ostream* out) { *out << row.name; }
};

class BoardUnpluggedAndBack : public ::testing::TestWithParam<FollowCase> {};

// Linux gives a board plugged in again the first free name, often not the one it had.
TEST_P(BoardUnpluggedAndBack, IsFollowedToItsNewPort) {
    const FollowCase& row = GetParam();
    test::PluggedPorts ports;
    Plugged first = row.board(ports);
    const auto source = row.open(first.path(), ports.lister());
    ASSERT_TRUE(test::readCode(*source, 0));

    first.pull();
    EXPECT_TRUE(readUntil(*source, 0, "Carte débranchée"));
    Plugged other = row.other(ports);
    EXPECT_TRUE(test::waitFor([&] { return other.opens() > 0; }, 30s));
    const Plugged back = row.board(ports);
    EXPECT_TRUE(test::readCode(*source, 0));
    EXPECT_EQ(source->portPath(), back.path());
    EXPECT_EQ(other.opens(), 1);
    EXPECT_NE(source->name().find(back.path()), std::string::npos) << source->name();
}

INSTANTIATE_TEST_SUITE_P(
    Boards, BoardUnpluggedAndBack,
    ::testing::Values(
        FollowCase{"our_board_by_its_number",
                   [](const std::string& path, PortLister ports) {
                       return std::make_unique<SerialBoardSource>(path, quick, ports);
                   },
                   [](test::PluggedPorts& ports) { return Plugged(ours("0042"), ports); },
                   [](test::PluggedPorts& ports) { return Plugged(ours("0043"), ports); }},
        FollowCase{"uno_under_firmata_alone_of_its_make",
                   [](const std::string& path, PortLister ports) {
                       return std::make_unique<FirmataBoardSource>(path, quick, ports);
                   },
                   [](test::PluggedPorts& ports) { return Plugged(uno(), ports); },
                   [](test::PluggedPorts& ports) { return Plugged(ours("0043"), ports); }}),
    [](const auto& info) { return info.param.name; });

// Two Unos under StandardFirmata without serial numbers: nothing tells one from the other.
// Both unplugged, one comes back: it may be the other one, and only the user knows.
TEST(BoardUnpluggedAndBack, IsNeverSwappedForOneLikeIt) {
    test::PluggedPorts ports;
    Plugged inUse(uno(), ports);
    Plugged spare(uno(), ports);
    const std::string usedPath = inUse.path();
    FirmataBoardSource source(usedPath, quick, ports.lister());
    ASSERT_TRUE(test::readCode(source, 0));

    inUse.pull();
    EXPECT_TRUE(readUntil(source, 0, "Carte débranchée"));
    spare.pull();
    auto returning = uno();
    FirmataPeer& back = *returning;
    Plugged plugged(std::move(returning), ports);
    EXPECT_TRUE(test::waitFor([&] { return !source.lookalikes().empty(); }, 30s));
    ASSERT_EQ(source.lookalikes().size(), 1u);
    EXPECT_EQ(source.lookalikes()[0].portPath, plugged.path());
    EXPECT_EQ(test::readOnce(source, 0), test::Outcome("Carte débranchée"));
    EXPECT_EQ(source.portPath(), usedPath);
    EXPECT_FALSE(back.reporting(0));
}

} // namespace
} // namespace thermo
