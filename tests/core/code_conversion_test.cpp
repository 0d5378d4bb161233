#include "core/code_conversion.h"
#include "core/failure.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace thermo {
namespace {

struct RoundingRow {
    const char* name;
    double x;
    int decimals;
    double expected;
    friend void PrintTo(const RoundingRow& row, std::ostream* os) { *os << row.name; }
};

class RoundHalfEven : public testing::TestWithParam<RoundingRow> {};

TEST_P(RoundHalfEven, RoundsTheExactBinaryValue) {
    const auto& row = GetParam();
    EXPECT_EQ(roundHalfEven(row.x, row.decimals), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, RoundHalfEven,
                         testing::Values(RoundingRow{"ExactTieGoesDown", 0.3125, 3, 0.312},
                                         RoundingRow{"ExactTieGoesUp", 0.1875, 3, 0.188},
                                         RoundingRow{"FullScaleCarries", 9.99969482421875, 3, 10.0},
                                         RoundingRow{"TemperatureOneDecimal", 33.667701, 1, 33.7},
                                         RoundingRow{"WholeTieToEvenBelow", 2.5, 0, 2.0},
                                         RoundingRow{"WholeTieToEvenAbove", 3.5, 0, 4.0},
                                         RoundingRow{"NegativeTie", -2.5, 0, -2.0},
                                         RoundingRow{"NegativeTieOneDecimal", -0.25, 1, -0.2},
                                         RoundingRow{"BinaryBelowTheDecimalHalf", 1.0005, 3, 1.0},
                                         RoundingRow{"BinaryBelowHalfOneDecimal", 0.35, 1, 0.3},
                                         RoundingRow{"BinaryAboveHalf", 0.45, 1, 0.5},
                                         RoundingRow{"HugeValueUntouched", 1e300, 1, 1e300},
                                         RoundingRow{"TinyNegativeToZero", -0.0003, 3, 0.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RoundHalfEvenFailures, RejectsNonFiniteValuesAndBadDecimalCounts) {
    for (const double x :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        try {
            roundHalfEven(x, 1);
            FAIL() << "no failure for " << x;
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), FailureKind::InvalidArgument);
        }
    }
    EXPECT_THROW(roundHalfEven(1.0, -1), Failure);
    EXPECT_THROW(roundHalfEven(1.0, 341), Failure);
}

struct VoltageRow {
    const char* name;
    std::int32_t code;
    double volts;
    friend void PrintTo(const VoltageRow& row, std::ostream* os) { *os << row.name; }
};

class VoltageOf : public testing::TestWithParam<VoltageRow> {};

TEST_P(VoltageOf, ConvertsAndRoundsToMillivolts) {
    EXPECT_EQ(voltageOf(GetParam().code), GetParam().volts);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, VoltageOf,
    testing::Values(VoltageRow{"ZeroVolt", 32768, 0.0}, VoltageRow{"BottomOfRange", 0, -10.0},
                    VoltageRow{"TopOfRange", 65535, 10.0}, VoltageRow{"TieToEven", 33792, 0.312},
                    VoltageRow{"Code40000", 40000, 2.207}, VoltageRow{"HalfSupply", 40960, 2.5},
                    VoltageRow{"FiveVolts", 49152, 5.0},
                    VoltageRow{"JustBelowThreshold", 48823, 4.9},
                    VoltageRow{"ThresholdUpper", 48825, 4.9},
                    VoltageRow{"JustAboveThreshold", 48826, 4.901},
                    VoltageRow{"OneStepBelowZero", 32767, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VoltageOfExtremes, CodesOutsideTheHardwareRangeStayFinite) {
    EXPECT_EQ(voltageOf(std::numeric_limits<std::int32_t>::min()), -655370.0);
    EXPECT_TRUE(std::isfinite(voltageOf(std::numeric_limits<std::int32_t>::max())));
}

} // namespace
} // namespace thermo
