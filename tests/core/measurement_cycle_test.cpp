#include "core/failure.h"
#include "core/measurement_cycle.h"
#include "tests/support/recording_fields.h"

#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace thermo {
namespace {

using test::RecordingFields;
using test::ScriptedReads;
using Writes = std::vector<std::string>;

const std::string degrees = " \u00B0C";

TEST(MeasurementCycle, WorkedExampleWritesEveryFieldInOrder) {
    RecordingFields fields;
    ScriptedReads reads;
    reads.queue(40960, 49152);
    MeasurementCycle cycle(fields, reads);
    cycle.tick(fields.parameters);
    EXPECT_EQ(fields.writes,
              (Writes{"Text3=2.5 V", "Text2=40960", "Text4=A000", "Text7=1010000000000000",
                      "Text8=5 V", "font=18", "Text1=25" + degrees}));
    EXPECT_EQ(reads.channels, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(cycle.NUth(), 40960);
    EXPECT_EQ(cycle.R(), "10000");
    EXPECT_EQ(cycle.A(), "10000");
    EXPECT_EQ(cycle.B(), "4275");
}

TEST(MeasurementCycle, FrenchSeparatorInTextsAndParameters) {
    RecordingFields fields("10000", "10000,0", "4275,");
    ScriptedReads reads;
    reads.queue(39321, 49152); // 2 V across the thermistor
    MeasurementCycle cycle(fields, reads, NumberLocale{","});
    cycle.tick(fields.parameters);
    EXPECT_EQ(fields.texts[Field::Text3], "2 V");
    EXPECT_EQ(fields.texts[Field::Text1], "33,7" + degrees);
    reads.queue(40960, 49152);
    cycle.tick(fields.parameters);
    EXPECT_EQ(fields.texts[Field::Text3], "2,5 V");
}

struct LowSupplyRow {
    const char* name;
    std::int32_t ea0;
    const char* volts;
    const char* decimal;
    const char* hex;
    std::string binary;
    friend void PrintTo(const LowSupplyRow& row, std::ostream* os) { *os << row.name; }
};

class LowSupply : public ::testing::TestWithParam<LowSupplyRow> {};

// At or below 4.9 V no temperature is computed, so even unusable parameters are harmless.
TEST_P(LowSupply, ShowsTheCodeAndTheMessage) {
    const auto& row = GetParam();
    RecordingFields fields("", "abc", "");
    ScriptedReads reads;
    reads.queue(row.ea0, 48825);
    MeasurementCycle cycle(fields, reads);
    cycle.tick(fields.parameters);
    EXPECT_EQ(fields.writes,
              (Writes{std::string("Text3=") + row.volts, std::string("Text2=") + row.decimal,
                      std::string("Text4=") + row.hex, "Text7=" + row.binary, "Text8=4.9 V",
                      "font=8", "Text1=Augmentez la tension d'alimentation"}));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, LowSupply,
    ::testing::Values(
        LowSupplyRow{"ZeroVolt", 32768, "0 V", "32768", "8000", "1000000000000000"},
        LowSupplyRow{"BottomOfRange", 0, "-10 V", "0", "0", "0"},
        LowSupplyRow{"TopOfRange", 65535, "10 V", "65535", "FFFF", std::string(16, '1')},
        LowSupplyRow{"TieToEven", 33792, "0.312 V", "33792", "8400", "1000010000000000"},
        LowSupplyRow{"JustBelowZero", 32767, "0 V", "32767", "7FFF", std::string(15, '1')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MeasurementCycle, SupplyThresholdSwitchesTheFontBothWays) {
    RecordingFields fields;
    ScriptedReads reads;
    MeasurementCycle cycle(fields, reads);
    for (const std::int32_t ea1 : {48823, 48824, 48825}) {
        reads.queue(40960, ea1);
        cycle.tick(fields.parameters);
        EXPECT_EQ(fields.texts[Field::Text8], "4.9 V") << ea1;
        EXPECT_EQ(fields.fontPoints, 8) << ea1;
        EXPECT_EQ(fields.texts[Field::Text1], "Augmentez la tension d'alimentation") << ea1;
    }
    reads.queue(40960, 48826);
    cycle.tick(fields.parameters);
    EXPECT_EQ(fields.texts[Field::Text8], "4.901 V");
    EXPECT_EQ(fields.fontPoints, 18);
    EXPECT_EQ(fields.texts[Field::Text1], "24.2" + degrees);
    reads.queue(40960, 48825);
    cycle.tick(fields.parameters);
    EXPECT_EQ(fields.fontPoints, 8);
}

struct FailingTickRow {
    const char* name;
    std::int32_t ea0;
    FailureKind kind;
    Writes writes;
    friend void PrintTo(const FailingTickRow& row, std::ostream* os) { *os << row.name; }
};

class FailingTick : public ::testing::TestWithParam<FailingTickRow> {};

// The temperature step fails before touching Text1 or its font; what came earlier stays.
TEST_P(FailingTick, KeepsTheEarlierFieldsAndRaisesTheKind) {
    const auto& row = GetParam();
    RecordingFields fields;
    fields.texts[Field::Text1] = "previous";
    ScriptedReads reads;
    reads.queue(row.ea0, 49152);
    MeasurementCycle cycle(fields, reads);
    try {
        cycle.tick(fields.parameters);
        FAIL() << "the tick did not fail";
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), row.kind);
    }
    EXPECT_EQ(fields.writes, row.writes);
    EXPECT_EQ(fields.texts[Field::Text1], "previous");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FailingTick,
    ::testing::Values(FailingTickRow{"LogarithmOfZero",
                                     32768,
                                     FailureKind::InvalidArgument,
                                     {"Text3=0 V", "Text2=32768", "Text4=8000",
                                      "Text7=1000000000000000", "Text8=5 V"}},
                      FailingTickRow{"NegativeRatioBelow",
                                     0,
                                     FailureKind::InvalidArgument,
                                     {"Text3=-10 V", "Text2=0", "Text4=0", "Text7=0", "Text8=5 V"}},
                      FailingTickRow{"NegativeRatioAbove",
                                     65535,
                                     FailureKind::InvalidArgument,
                                     {"Text3=10 V", "Text2=65535", "Text4=FFFF",
                                      "Text7=" + std::string(16, '1'), "Text8=5 V"}},
                      FailingTickRow{"OpenThermistor",
                                     49152,
                                     FailureKind::DivisionByZero,
                                     {"Text3=5 V", "Text2=49152", "Text4=C000",
                                      "Text7=1100000000000000", "Text8=5 V"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MeasurementCycle, FailedAcquisitionStopsWhereItHappens) {
    RecordingFields fields;
    ScriptedReads reads;
    MeasurementCycle cycle(fields, reads);
    reads.answers.emplace_back(Failure(FailureKind::AcquisitionFailed, "débranchée"));
    EXPECT_THROW(cycle.tick(fields.parameters), Failure);
    EXPECT_TRUE(fields.writes.empty());

    reads.answers.emplace_back(std::int32_t{40960});
    reads.answers.emplace_back(Failure(FailureKind::Overflow, "hors limites"));
    try {
        cycle.tick(fields.parameters);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), FailureKind::Overflow);
    }
    EXPECT_EQ(fields.writes,
              (Writes{"Text3=2.5 V", "Text2=40960", "Text4=A000", "Text7=1010000000000000"}));
}

TEST(MeasurementCycle, BadParameterFailsOnlyWhenTheTemperatureNeedsIt) {
    RecordingFields fields("10000", "10000", "");
    ScriptedReads reads;
    MeasurementCycle cycle(fields, reads);
    reads.queue(40960, 49152);
    try {
        cycle.tick(fields.parameters);
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), FailureKind::TypeMismatch);
        EXPECT_STREQ(f.what(), "Le paramètre B est vide");
    }
    // Parameters changed between ticks are taken at the start of the next one.
    fields.parameters.b = "4275";
    reads.queue(40960, 49152);
    cycle.tick(fields.parameters);
    EXPECT_EQ(cycle.B(), "4275");
    EXPECT_EQ(fields.texts[Field::Text1], "25" + degrees);
}

// Text4 is made from what Text2 holds after the write, read back through the field set.
TEST(MeasurementCycle, HexadecimalComesFromTheTextReadBack) {
    class PaddingFields : public RecordingFields {
    public:
        std::string text(Field f) const override {
            const auto t = RecordingFields::text(f);
            return f == Field::Text2 ? " " + t + "0 " : t;
        }
    } fields;
    ScriptedReads reads;
    reads.queue(40960, 0);
    MeasurementCycle cycle(fields, reads);
    cycle.tick(fields.parameters);
    EXPECT_EQ(fields.texts[Field::Text4], "64000"); // 409600 in base 16
}

struct ReadingRow {
    const char* name;
    std::vector<ScriptedReads::Answer> answers; // after a tick that measured 25 °C
    std::string b;
    std::optional<std::int32_t> code;
    std::optional<double> uth, ut, celsius;
    bool lowSupply;
    std::optional<FailureKind> failure;
    friend void PrintTo(const ReadingRow& row, std::ostream* os) { *os << row.name; }
};

class TakeReading : public ::testing::TestWithParam<ReadingRow> {};

// Each tick's reading holds what that tick reached, nothing left over from the one before, and
// the failure that stopped it.
TEST_P(TakeReading, KeepsWhatTheTickReached) {
    const auto& row = GetParam();
    RecordingFields fields;
    ScriptedReads reads;
    auto now = Reading::Clock::time_point(std::chrono::seconds(7));
    MeasurementCycle cycle(fields, reads, {}, [&now] { return now; });
    reads.queue(40960, 49152);
    ASSERT_TRUE(takeReading(cycle, fields.parameters).hasTemperature());

    fields.parameters.b = row.b;
    reads.answers.assign(row.answers.begin(), row.answers.end());
    now += std::chrono::milliseconds(100);
    const Reading reading = takeReading(cycle, fields.parameters);
    EXPECT_EQ(reading.time, now);
    EXPECT_EQ(reading.code, row.code);
    EXPECT_EQ(reading.uth, row.uth);
    EXPECT_EQ(reading.ut, row.ut);
    ASSERT_EQ(reading.celsius.has_value(), row.celsius.has_value());
    if (row.celsius) {
        EXPECT_NEAR(*reading.celsius, *row.celsius, 1e-4); // before the display's rounding
    }
    EXPECT_EQ(reading.lowSupply, row.lowSupply);
    ASSERT_EQ(reading.failure.has_value(), row.failure.has_value());
    if (row.failure) {
        EXPECT_EQ(reading.failure->kind, *row.failure);
        EXPECT_EQ(fields.texts[Field::Text1], "25" + degrees); // shown by the window, not here
    }
}

const Failure unplugged(FailureKind::AcquisitionFailed, "débranchée");

INSTANTIATE_TEST_SUITE_P(
    Ticks, TakeReading,
    ::testing::Values(
        ReadingRow{"Temperature", {39322, 49152}, "4275", 39322, 2.0, 5.0, 33.6677, false, {}},
        ReadingRow{"LowSupply", {40960, 48825}, "", 40960, 2.5, 4.9, {}, true, {}},
        ReadingRow{
            "EmptyB", {40960, 49152}, "", 40960, 2.5, 5.0, {}, false, FailureKind::TypeMismatch},
        ReadingRow{"Ea1Unplugged",
                   {40960, unplugged},
                   "4275",
                   40960,
                   2.5,
                   {},
                   {},
                   false,
                   FailureKind::AcquisitionFailed},
        ReadingRow{"Ea0Unplugged",
                   {unplugged},
                   "4275",
                   {},
                   {},
                   {},
                   {},
                   false,
                   FailureKind::AcquisitionFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Conversion, WritesTheBinaryOfNUthAlone) {
    RecordingFields fields;
    ScriptedReads reads;
    MeasurementCycle cycle(fields, reads);
    cycle.Conversion();
    EXPECT_EQ(fields.writes, (Writes{"Text7=0"}));
    for (const auto& [code, binary] : std::vector<std::pair<std::int32_t, std::string>>{
             {1, "1"}, {2, "10"}, {5, "101"}, {40000, "1001110001000000"}}) {
        reads.queue(code, 0);
        cycle.tick(fields.parameters);
        EXPECT_EQ(fields.texts[Field::Text7], binary);
    }
}

} // namespace
} // namespace thermo
