#include "acquisition/analog_accumulator.h"
#include "core/failure.h"

#include <gtest/gtest.h>

namespace thermo {
namespace {

using namespace std::chrono_literals;

TEST(AnalogAccumulator, MeanSinceTheLastTakeThenTheLastValueAndSilenceAfterHalfASecond) {
    AnalogAccumulator accumulator;
    const AnalogAccumulator::Clock::time_point t0{10s};
    EXPECT_EQ(accumulator.take(0), std::nullopt);
    EXPECT_TRUE(accumulator.silent(0, t0));
    for (const int value : {500, 501, 503, 510}) {
        accumulator.add(0, value, t0);
    }
    accumulator.add(1, 7, t0 - 600ms);
    EXPECT_EQ(accumulator.take(0), 503.5);
    EXPECT_EQ(accumulator.take(0), 510.0);
    EXPECT_EQ(accumulator.take(1), 7.0);
    EXPECT_THROW(accumulator.take(16), Failure);

    EXPECT_EQ(accumulator.lastReport(0), t0) << "a take is no report";
    EXPECT_FALSE(accumulator.silent(0, t0 + 499ms));
    EXPECT_TRUE(accumulator.silent(0, t0 + 500ms));
    EXPECT_TRUE(accumulator.silent(1, t0)) << "each channel on its own";
    accumulator.add(0, 1, t0 + 600ms);
    EXPECT_FALSE(accumulator.silent(0, t0 + 700ms));
}

} // namespace
} // namespace thermo
