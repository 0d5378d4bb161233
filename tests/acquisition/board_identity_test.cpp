#include "acquisition/board_identity.h"

#include <gtest/gtest.h>

namespace thermo {
namespace {

const BoardKind* const serialKind = reinterpret_cast<const BoardKind*>(0x10);
const BoardKind* const firmataKind = reinterpret_cast<const BoardKind*>(0x20);
constexpr std::uint16_t ch340 = 0x1a86, arduino = 0x2341; // USB vendors

PortInfo port(const std::string& name, std::optional<std::uint16_t> vendor = std::nullopt,
              const std::string& usbSerial = {}) {
    const auto product = vendor ? std::optional<std::uint16_t>(0x0043) : std::nullopt;
    return {"/dev/" + name, {}, usbSerial, vendor, product};
}

// Our board says its number; a board under StandardFirmata says nothing of its own, and its USB
// device may have a number (a genuine Uno) or not (a clone), or be no USB device (a pty).
BoardInfo board(const std::string& name, const std::string& number,
                std::optional<std::uint16_t> vendor = std::nullopt,
                const std::string& usbSerial = {}) {
    BoardInfo made{{}, {}, number, {}, number.empty() ? "Arduino Firmata 2.5" : number,
                   number.empty() ? firmataKind : serialKind};
    made.setPort(port(name, vendor, usbSerial));
    return made;
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

using enum Reappearance;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Boards, JudgeReappearance, ::testing::Values(
    ReappearanceCase{"another_number_on_its_port",
        board("ttyACM0", "42"), board("ttyACM0", "43"), {}, Ignore},
    ReappearanceCase{"another_kind_on_its_port",
        board("ttyACM0", "42"), board("ttyACM0", ""), {}, Ignore},
    ReappearanceCase{"clone_alone",
        board("ttyUSB0", "", ch340), board("ttyUSB1", "", ch340), {port("ttyUSB0", ch340)}, Follow},
    ReappearanceCase{"clone_back_while_one_like_it_moved",
        board("ttyUSB0", "", ch340), board("ttyUSB0", "", ch340), {port("ttyUSB1", ch340)}, Ask},
    ReappearanceCase{"pty_clone_while_another_pty_came",
        board("pts/3", ""), board("pts/5", ""), {port("pts/6")}, Ask},
    ReappearanceCase{"clone_while_another_make_moved",
        board("ttyUSB0", "", ch340), board("ttyUSB1", "", ch340), {port("ttyACM0", arduino)}, Follow},
    ReappearanceCase{"clone_while_one_with_a_usb_number_moved",
        board("ttyUSB0", "", ch340), board("ttyUSB1", "", ch340), {port("ttyUSB2", ch340, "A50")},
        Follow},
    ReappearanceCase{"its_usb_number_among_moving_lookalikes",
        board("ttyACM0", "", arduino, "75"), board("ttyACM1", "", arduino, "75"),
        {port("ttyACM2", arduino)}, Follow},
    ReappearanceCase{"another_usb_number",
        board("ttyACM0", "", arduino, "75"), board("ttyACM1", "", arduino, "95"), {}, Ignore}),
    [](const auto& info) { return info.param.name; });
// clang-format on

} // namespace
} // namespace thermo
