#include "acquisition/board_identity.h"

#include <gtest/gtest.h>

namespace thermo {
namespace {

const BoardKind* const serialKind = reinterpret_cast<const BoardKind*>(0x10);
const BoardKind* const firmataKind = reinterpret_cast<const BoardKind*>(0x20);

BoardInfo ours(const std::string& port, const std::string& serial) {
    return {port, {}, serial, "1.0", "carte n\u00B0 " + serial, serialKind};
}

// A clone under StandardFirmata: nothing of its own tells it from another.
BoardInfo clone(const std::string& port, std::optional<std::uint16_t> vendor = std::nullopt) {
    BoardInfo board{port, {}, {}, "2.5", "Arduino Firmata 2.5 (StandardFirmata)", firmataKind};
    board.vendorId = vendor;
    board.productId = vendor ? std::optional<std::uint16_t>(0x7523) : std::nullopt;
    return board;
}

PortInfo port(const std::string& path, std::optional<std::uint16_t> vendor = std::nullopt,
              const std::string& usbSerial = {}) {
    return {
        path, {}, usbSerial, vendor, vendor ? std::optional<std::uint16_t>(0x7523) : std::nullopt};
}

struct ReappearanceCase {
    std::string name;
    BoardInfo known; // as it was on its port when lost
    BoardInfo found;
    std::vector<PortInfo> changed; // the ports that came or went since
    Reappearance verdict;

    friend void PrintTo(const ReappearanceCase& row, std::ostream* out) { *out << row.name; }
};

class JudgeReappearance : public ::testing::TestWithParam<ReappearanceCase> {};

TEST_P(JudgeReappearance, FollowsTheBoardAndAsksWhenItMayBeAnother) {
    const ReappearanceCase& row = GetParam();
    EXPECT_EQ(judgeReappearance(row.known, row.found, row.changed), row.verdict);
}

const BoardInfo usbSerialled = [] {
    BoardInfo board = clone("/dev/ttyACM0", 0x2341);
    board.usbSerial = "75833353035351D0E1A1";
    return board;
}();

INSTANTIATE_TEST_SUITE_P(
    Boards, JudgeReappearance,
    ::testing::Values(ReappearanceCase{"its_number_elsewhere",
                                       ours("/dev/ttyACM0", "0042"),
                                       ours("/dev/ttyACM1", "0042"),
                                       {},
                                       Reappearance::Follow},
                      ReappearanceCase{"its_number_among_moving_ports",
                                       ours("/dev/ttyACM0", "0042"),
                                       ours("/dev/ttyACM1", "0042"),
                                       {port("/dev/ttyACM2")},
                                       Reappearance::Follow},
                      ReappearanceCase{"another_number_elsewhere",
                                       ours("/dev/ttyACM0", "0042"),
                                       ours("/dev/ttyACM1", "0043"),
                                       {},
                                       Reappearance::Ignore},
                      ReappearanceCase{"another_number_on_its_port",
                                       ours("/dev/ttyACM0", "0042"),
                                       ours("/dev/ttyACM0", "0043"),
                                       {},
                                       Reappearance::Ignore},
                      ReappearanceCase{"another_kind_on_its_port",
                                       ours("/dev/ttyACM0", "0042"),
                                       clone("/dev/ttyACM0"),
                                       {},
                                       Reappearance::Ignore},
                      ReappearanceCase{"clone_alone",
                                       clone("/dev/ttyUSB0", 0x1a86),
                                       clone("/dev/ttyUSB1", 0x1a86),
                                       {port("/dev/ttyUSB0", 0x1a86)},
                                       Reappearance::Follow},
                      ReappearanceCase{"clone_while_one_like_it_moved",
                                       clone("/dev/ttyUSB0", 0x1a86),
                                       clone("/dev/ttyUSB2", 0x1a86),
                                       {port("/dev/ttyUSB1", 0x1a86)},
                                       Reappearance::Ask},
                      ReappearanceCase{"clone_back_on_its_port_while_one_like_it_moved",
                                       clone("/dev/ttyUSB0", 0x1a86),
                                       clone("/dev/ttyUSB0", 0x1a86),
                                       {port("/dev/ttyUSB1", 0x1a86)},
                                       Reappearance::Ask},
                      ReappearanceCase{"pty_clone_while_another_pty_came",
                                       clone("/dev/pts/3"),
                                       clone("/dev/pts/5"),
                                       {port("/dev/pts/6")},
                                       Reappearance::Ask},
                      ReappearanceCase{"clone_while_another_make_moved",
                                       clone("/dev/ttyUSB0", 0x1a86),
                                       clone("/dev/ttyUSB1", 0x1a86),
                                       {port("/dev/ttyACM0", 0x2341)},
                                       Reappearance::Follow},
                      ReappearanceCase{"clone_while_one_with_a_usb_number_moved",
                                       clone("/dev/ttyUSB0", 0x1a86),
                                       clone("/dev/ttyUSB1", 0x1a86),
                                       {port("/dev/ttyUSB2", 0x1a86, "A50285BI")},
                                       Reappearance::Follow},
                      ReappearanceCase{"usb_number_among_moving_lookalikes",
                                       usbSerialled,
                                       [] {
                                           BoardInfo back = usbSerialled;
                                           back.portPath = "/dev/ttyACM1";
                                           return back;
                                       }(),
                                       {port("/dev/ttyACM2", 0x2341)},
                                       Reappearance::Follow},
                      ReappearanceCase{"another_usb_number",
                                       usbSerialled,
                                       [] {
                                           BoardInfo other = usbSerialled;
                                           other.portPath = "/dev/ttyACM1";
                                           other.usbSerial = "95530343334351A0C1B2";
                                           return other;
                                       }(),
                                       {},
                                       Reappearance::Ignore}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace thermo
