#include "core/session_series.h"
#include "tests/support/series_readings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <utility>

namespace thermo {
namespace {

using namespace thermo::test;

// A tick without a temperature stays a gap, never a value and never 0 (while 0 °C measured is
// a value), with what it did read; ranges and extents leave gaps out.
TEST(SessionSeries, GapsInValuesRangesAndExtents) {
    SessionSeries series;
    for (const Reading& r : {measured(0, 0, 2.0, 5, 39321), lowSupply(100, 9.5, 4.8, 63000),
                             measured(200, -5.5, 2.9, 5, 42270), readFailed(300)}) {
        series.append(r);
    }
    const Gap gaps[] = {Gap::None, Gap::LowSupply, Gap::None, Gap::Failure};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(series.at(i).gap, gaps[i]) << i;
        EXPECT_EQ(std::isnan(series.at(i).celsius), gaps[i] != Gap::None) << i;
    }
    EXPECT_EQ(series.at(1).code, 63000);
    EXPECT_FALSE(series.at(3).code);
    EXPECT_TRUE(std::isnan(series.at(3).uth));

    const IndexRange middle = series.between(100, 300);
    EXPECT_EQ(std::pair(middle.first, middle.last), std::pair(1ul, 4ul));
    const auto t = series.extent(SeriesColumn::Temperature, middle);
    EXPECT_EQ(std::pair(t->min, t->max), std::pair(-5.5, -5.5));
    const auto uth = series.extent(SeriesColumn::Uth, series.between(0, 300));
    EXPECT_EQ(std::pair(uth->min, uth->max), std::pair(2.0, 9.5));
    EXPECT_FALSE(series.extent(SeriesColumn::Temperature, series.between(250, 350)));
    EXPECT_TRUE(series.between(301, 900).empty());
}

// Times count from the first reading, in whole milliseconds, and never go back; a pause keeps
// nothing, leaves its time out and breaks the line at the next reading.
TEST(SessionSeries, TimeAxisAndPause) {
    SessionSeries series;
    EXPECT_TRUE(series.append(measured(5000, 20, 2.5, 5, 40960)));
    Reading late = measured(5100, 20, 2.5, 5, 40960);
    late.time += std::chrono::microseconds(600);
    EXPECT_TRUE(series.append(late));
    EXPECT_TRUE(series.append(measured(4900, 20, 2.5, 5, 40960)));
    series.setPaused(true);
    EXPECT_FALSE(series.append(measured(5200, 20.2, 2.5, 5, 40960)));
    series.setPaused(false);
    EXPECT_TRUE(series.append(measured(9300, 22, 2.4, 5, 40000)));
    const std::int64_t times[] = {0, 101, 101, 4300};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(series.at(i).millis, times[i]);
        EXPECT_EQ(series.afterPause(i), i == 3);
    }
}

} // namespace
} // namespace thermo
