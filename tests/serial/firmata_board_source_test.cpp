#include "acquisition/firmata/analog_code.h"
#include "acquisition/firmata/firmata_board_source.h"
#include "acquisition/firmata/firmata_conversation.h"
#include "core/code_conversion.h"
#include "tests/serial/firmata_peer.h"
#include "tests/serial/source_reads.h"

#include <gtest/gtest.h>

namespace thermo {
namespace {

using namespace std::chrono_literals;
using test::FirmataPeer;
using test::Outcome;
using test::readCode;
using test::readUntil;

// Short enough for the tests to be quick; the tests wait for what they expect, and a loaded
// machine only makes them wait longer.
const BoardTiming quick{
    .staleAfter = 1000ms, .reopenInterval = 100ms, .bootTimeout = 1500ms, .answerTimeout = 60ms};
// An Uno restarts when its port is opened; its boot is shortened here.
const FirmataPeer::Options uno{.bits = 10, .restartsOnOpen = true, .bootTime = 200ms};

double volts(std::optional<std::int64_t> code) {
    return code ? voltageOf(static_cast<std::int32_t>(*code)) : -99.0;
}

TEST(FirmataBoardSource, SaysWhoItIsAndAsksForBothChannels) {
    FirmataPeer board(uno);
    FirmataBoardSource source(board.path(), quick);
    EXPECT_EQ(source.name(), "Carte Firmata sur " + board.path());
    EXPECT_TRUE(readUntil(source, 0, "Carte Firmata : démarrage en cours"));

    ASSERT_TRUE(readCode(source, 0));
    EXPECT_EQ(source.name(), "Arduino Firmata 2.5 (StandardFirmata) sur " + board.path());
    EXPECT_EQ(board.samplingInterval(), FirmataConversation::samplingInterval);
    EXPECT_TRUE(board.reporting(0) && board.reporting(1) && !board.reporting(2));
    EXPECT_EQ(source.status(), (SourceStatus{SourceState::Connected, ""}));
}

struct ConversionCase {
    std::string name;
    int bits;
    const char* reference; // the choice among the source's settings
    int a0;
    int a1;
    double ea0; // volts shown
    double ea1;

    friend void PrintTo(const ConversionCase& row, std::ostream* out) { *out << row.name; }
};

class FirmataConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(FirmataConversion, GivesTheVoltageOfTheReports) {
    const ConversionCase& row = GetParam();
    FirmataPeer board({.bits = row.bits, .restartsOnOpen = true, .bootTime = 200ms});
    board.setValues(0, {row.a0});
    board.setValues(1, {row.a1});
    FirmataBoardSource source(board.path(), quick);
    source.choose(FirmataBoardSource::referenceKey, row.reference);
    EXPECT_EQ(source.choice(FirmataBoardSource::referenceKey), row.reference);
    EXPECT_EQ(volts(readCode(source, 0)), row.ea0);
    EXPECT_EQ(volts(readCode(source, 1)), row.ea1);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, FirmataConversion,
    ::testing::Values(
        ConversionCase{"half_scale_at_5v", 10, FirmataBoardSource::reference5V, 512, 1023, 2.502,
                       5.0},
        ConversionCase{"zero", 10, FirmataBoardSource::reference5V, 0, 1023, 0.0, 5.0},
        ConversionCase{"board_at_3v3", 10, FirmataBoardSource::reference3V3, 512, 1023, 1.652, 3.3},
        ConversionCase{"twelve_bits", 12, FirmataBoardSource::reference5V, 2048, 4095, 2.501, 5.0}),
    [](const auto& info) { return info.param.name; });

// About five reports come between two reads: a read gives their mean, which for values that
// alternate lies strictly between them.
TEST(FirmataBoardSource, ReadsTheMeanOfTheReportsSinceTheLastRead) {
    FirmataPeer board(uno);
    board.setValues(0, {400, 600});
    FirmataBoardSource source(board.path(), quick);
    const auto low = firmata::interfaceCode(400, 10), high = firmata::interfaceCode(600, 10);
    ASSERT_TRUE(readCode(source, 0));
    int between = 0;
    for (int read = 0; read < 10; ++read) {
        std::this_thread::sleep_for(100ms);
        const auto code = std::get<std::int64_t>(test::readOnce(source, 0));
        EXPECT_TRUE(code >= low && code <= high) << code;
        between += code > low && code < high;
    }
    EXPECT_GE(between, 8);
}

// A channel that falls silent, then the whole board unplugged and plugged in again.
TEST(FirmataBoardSource, SaysWhatIsMissingAndComesBack) {
    FirmataPeer board(uno);
    board.setValues(0, {512});
    FirmataBoardSource source(board.path(), quick);
    ASSERT_TRUE(readCode(source, 1));
    board.setSilent(1, true);
    EXPECT_TRUE(readUntil(source, 1, "Interface débranchée"));
    EXPECT_TRUE(readUntil(source, 0, std::int64_t{40968}));

    board.vanish();
    EXPECT_TRUE(readUntil(source, 0, "Carte débranchée"));
    EXPECT_EQ(source.status().state, SourceState::Lost);
    board.comeBack();
    board.setValues(0, {1023});
    EXPECT_TRUE(readUntil(source, 0, 49152));
}

} // namespace
} // namespace thermo
