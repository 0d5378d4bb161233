#include "acquisition/awaited_board.h"
#include "acquisition/serial/board_link.h"
#include "acquisition/serial/serial_board_source.h"
#include "core/code_conversion.h"
#include "core/failure.h"
#include "tests/serial/pty_board.h"
#include "tests/serial/simulated_uno.h"
#include "tests/serial/source_reads.h"

#include <gtest/gtest.h>
#include <optional>

namespace thermo {
namespace {

using namespace std::chrono_literals;

// simavr runs the processor as fast as the machine lets it: on a loaded machine a
// millisecond of the board's time may take a hundred of ours. These tests are about what the
// firmware measures and says, not about how fast it says it, so every limit is ours many times
// over: the firmware answers a request within about 2 ms of its own time.
const BoardTiming patient{
    .staleAfter = 10s, .reopenInterval = 200ms, .bootTimeout = 20s, .answerTimeout = 5s};
constexpr auto firstCodeLimit = 60s;
constexpr auto dialogueLimit = 20s;

double volts(std::int64_t code) {
    return (static_cast<double>(code) - codeOffset) / codesPerVolt;
}

struct BenchCase {
    std::string name;
    int supply; // mV, also the converter's reference
    int a0;     // mV, the thermistor's voltage U(BM)
    int a1;     // mV, the divider's supply U(AM)
    double ea0; // V expected
    double ea1; // V expected

    friend void PrintTo(const BenchCase& row, std::ostream* out) { *out << row.name; }
};

class FirmwareInSimavr : public ::testing::TestWithParam<BenchCase> {};

TEST_P(FirmwareInSimavr, ReportsTheVoltagesInInterfaceCodes) {
    const BenchCase& row = GetParam();
    test::SimulatedUno uno(THERMO_FIRMWARE_ELF, row.supply);
    uno.setInput(0, row.a0);
    uno.setInput(1, row.a1);
    SerialBoardSource source(uno.path(), patient);

    const auto ea0 = test::readCode(source, 0, firstCodeLimit);
    ASSERT_TRUE(ea0) << "no answer from the simulated board";
    const auto ea1 = test::readCode(source, 1, firstCodeLimit).value_or(-1);
    // One step of the bandgap reading (about 240 of 1023) is 0.4 % of the supply, 20 mV;
    // EA0 inherits that share of its own value plus one step of the converter, 5 mV.
    EXPECT_NEAR(volts(*ea0), row.ea0, 0.005 + 0.0042 * row.ea0);
    EXPECT_NEAR(volts(ea1), row.ea1, 0.0042 * row.ea1);
    // The divider's ratio, all the thermistor's resistance depends on, does not depend on
    // how well the supply is known.
    EXPECT_NEAR(volts(*ea0) / volts(ea1), row.ea0 / row.ea1, 0.002);
    ASSERT_TRUE(source.identity());
    EXPECT_EQ(source.identity()->serialNumber, "0001");
}

INSTANTIATE_TEST_SUITE_P(Benches, FirmwareInSimavr,
                         ::testing::Values(
                             // A1 tied to the board's 5 V reads full scale: EA1 is the supply
                             // measured against the bandgap, whatever it is.
                             BenchCase{"usb_supply_5v", 5000, 2500, 5000, 2.500, 5.000},
                             BenchCase{"weak_usb_supply_4v7", 4700, 2350, 4700, 2.350, 4.700},
                             BenchCase{"strong_supply_5v25", 5250, 1000, 5250, 1.000, 5.250},
                             BenchCase{"hot_thermistor_low_voltage", 5000, 150, 5000, 0.150, 5.000},
                             // A divider fed by its own supply below the board's.
                             BenchCase{"separate_supply_3v", 5000, 1500, 3000, 1.500, 3.000}),
                         [](const auto& info) { return info.param.name; });

TEST(FirmwareInSimavr, LowSupplyIsSeenAsSuch) {
    test::SimulatedUno uno(THERMO_FIRMWARE_ELF, 5000);
    uno.setInput(1, 5000);
    SerialBoardSource source(uno.path(), patient);
    const auto normal = test::readCode(source, 1, firstCodeLimit);
    ASSERT_TRUE(normal);
    EXPECT_GT(voltageOf(static_cast<std::int32_t>(*normal)), 4.9);

    uno.setSupply(4800);
    uno.setInput(1, 4800);
    EXPECT_TRUE(test::waitFor(
        [&] {
            const auto low = test::readCode(source, 1, firstCodeLimit);
            return low && voltageOf(static_cast<std::int32_t>(*low)) <= 4.9;
        },
        firstCodeLimit));
}

// As with --port: restarted by the opening, it says READY, and is recognised and read on it.
TEST(FirmwareInSimavr, IsRecognisedAndReadOnTheOpeningThatRestartsIt) {
    test::SimulatedUno uno(THERMO_FIRMWARE_ELF, 5000, true);
    test::OpenCounter opens(uno.path());
    AwaitedBoard awaited(uno.path(), patient, systemSerialPorts);
    ASSERT_TRUE(test::waitFor([&] { return awaited.recognised() != nullptr; }, firstCodeLimit));
    EXPECT_EQ(awaited.recognised(), &SerialBoardSource::kind());
    const auto source = awaited.takeOver();
    EXPECT_TRUE(test::readCode(*source, 1, firstCodeLimit));
    EXPECT_EQ(opens.count(), 1);
}

// The firmware's own dialogue, typed as one would in a serial terminal.
class FirmwareDialogue : public ::testing::Test {
protected:
    FirmwareDialogue() : uno_(THERMO_FIRMWARE_ELF, 5000), line_(uno_.path()), link_(line_) {
        uno_.setInput(1, 5000);
        EXPECT_TRUE(line_.open(BoardLink::baudRate));
        // Like the real board, it hears nothing before its receiver is on.
        EXPECT_EQ(link_.readLine(BoardLink::Clock::now() + dialogueLimit),
                  BoardLink::Line{"READY"});
    }

    std::string ask(const std::string& request) {
        const auto deadline = BoardLink::Clock::now() + dialogueLimit;
        EXPECT_TRUE(link_.send(request + "\n", deadline));
        return link_.readLine(deadline).value_or(BoardLink::Line{"(pas de réponse)"}).text;
    }

    test::SimulatedUno uno_;
    SerialLine line_;
    BoardLink link_;
};

TEST_F(FirmwareDialogue, AnswersEachLineOnce) {
    EXPECT_EQ(ask("*IDN?"), "THERMOMETRE,CARTE-CTN,0001,1.0");
    EXPECT_EQ(ask("*idn? #65535"), "THERMOMETRE,CARTE-CTN,0001,1.0 #65535");
    EXPECT_EQ(ask("*IDN? #65536"), "ERR:COMMANDE");
    EXPECT_EQ(ask("MEAS:EA2? #4"), "ERR:COMMANDE #4");
    EXPECT_EQ(ask("CAL:VCC abc #5"), "ERR:VALEUR #5");
    EXPECT_EQ(ask(std::string(60, 'M') + " #6"), "ERR:LONGUEUR");
    EXPECT_EQ(ask("CAL:VBG?"), "1100");
    EXPECT_EQ(ask("MEAS:VCC? #8"), "5006 #8"); // 1100 * 1024 / 225
}

// A voltmeter says the supply is 5.10 V where the nominal bandgap makes it 5.006 V: the board
// keeps the bandgap's true value and reports the supply accordingly from then on.
TEST_F(FirmwareDialogue, CalibrationCorrectsTheSupply) {
    EXPECT_EQ(ask("CAL:VCC 5100"), "OK");
    EXPECT_EQ(ask("CAL:VBG?"), "1121"); // 5100 * 225 / 1024
    const auto ea1 = std::stoll(ask("MEAS:EA1?"));
    EXPECT_NEAR(volts(ea1), 5.100, 0.005);
    // Outside the chip's 1.0...1.2 V a value is a typing error: refused, the last one kept.
    EXPECT_EQ(ask("CAL:VCC 6000"), "ERR:VALEUR");
    EXPECT_EQ(ask("CAL:VBG?"), "1121");
}

} // namespace
} // namespace thermo
