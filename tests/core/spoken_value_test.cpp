#include "core/spoken_value.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <utility>
#include <vector>

namespace thermo {
namespace {

using namespace std::chrono_literals;

// The focused temperature field's pace: tenths of a degree, a margin of a quarter of a tenth,
// two seconds between values.
constexpr SpokenValue::Pace temperaturePace{1, 0.025, 2s};

struct SpokenRow {
    const char* name;
    std::vector<double> values; // one a tick, every 100 ms
    std::vector<double> said;
    friend void PrintTo(const SpokenRow& row, std::ostream* os) { *os << row.name; }
};

std::vector<double> repeated(std::vector<double> pattern, int times) {
    std::vector<double> values;
    for (int i = 0; i < times; ++i) {
        values.insert(values.end(), pattern.begin(), pattern.end());
    }
    return values;
}

// Half a degree a second from 60 °C for ten seconds, as the bench's cooling starts.
std::vector<double> cooling() {
    std::vector<double> values;
    for (int tick = 0; tick <= 100; ++tick) {
        values.push_back(60.0 - 0.05 * tick);
    }
    return values;
}

class SaidOf : public testing::TestWithParam<SpokenRow> {};

TEST_P(SaidOf, TicksOfReadings) {
    const SpokenRow& row = GetParam();
    SpokenValue spoken(temperaturePace);
    const SpokenValue::Clock::time_point start{};
    std::vector<double> said;
    for (std::size_t tick = 0; tick < row.values.size(); ++tick) {
        if (const auto value = spoken.offer(row.values[tick], start + tick * 100ms)) {
            said.push_back(*value);
        }
    }
    ASSERT_EQ(said.size(), row.said.size());
    for (std::size_t i = 0; i < said.size(); ++i) {
        EXPECT_NEAR(said[i], row.said[i], 1e-9) << "value " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Readings, SaidOf,
    testing::Values(
        SpokenRow{"SteadyIsSaidOnce", repeated({25.0}, 100), {25.0}},
        // The bench at 59 °C sits on the edge between 58,9 and 59 °C: shown alternately,
        // said once.
        SpokenRow{"RoundingEdgeIsSaidOnce", repeated({58.949, 58.951}, 100), {58.9}},
        SpokenRow{"NoiseInTheLastDigitIsNotSaid", repeated({25.04, 24.96, 25.0}, 50), {25.0}},
        // A tenth more is said, but only two seconds after the last value said.
        SpokenRow{"AStepIsSaidAfterTheInterval",
                  {25.0, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1,
                   25.1, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1, 25.1},
                  {25.0, 25.1}},
        SpokenRow{"ACoolingIsSaidEveryTwoSeconds", cooling(), {60.0, 59.0, 58.0, 57.0, 56.0, 55.0}},
        SpokenRow{"NoMeasurementIsNeverSaid",
                  {std::numeric_limits<double>::quiet_NaN(), 25.0,
                   std::numeric_limits<double>::infinity()},
                  {25.0}}),
    [](const testing::TestParamInfo<SpokenRow>& info) { return info.param.name; });

// A listener who asks hears the value at once, and the pace starts again from it.
TEST(SpokenValue, AskedIsSaidAtOnceAndForgottenIsSaidAgain) {
    SpokenValue spoken(temperaturePace);
    const SpokenValue::Clock::time_point start{};
    EXPECT_EQ(spoken.offer(25.0, start), 25.0);
    EXPECT_EQ(spoken.sayNow(25.04, start + 100ms), 25.0);
    EXPECT_EQ(spoken.offer(30.0, start + 1s), std::nullopt);
    spoken.forget();
    EXPECT_EQ(spoken.offer(30.0, start + 1100ms), 30.0);
    EXPECT_EQ(spoken.said(), 30.0);
}

} // namespace
} // namespace thermo
