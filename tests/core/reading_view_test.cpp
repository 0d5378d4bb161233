#include "core/reading_view.h"
#include "tests/support/series_readings.h"

#include <gtest/gtest.h>
#include <ostream>

namespace thermo {
namespace {

struct ViewRow {
    const char* name;
    Reading reading;
    std::optional<TemperatureView> temperature;
    bool ea0Stale;
    bool ea1Stale;
    friend void PrintTo(const ViewRow& row, std::ostream* os) { *os << row.name; }
};

Reading withFailure(Reading reading, const char* message) {
    reading.failure = ReadingFailure{FailureKind::InvalidArgument, message};
    return reading;
}

class ShownFor : public testing::TestWithParam<ViewRow> {};

// What each field shows, and whether its value is live, comes from the reading alone.
TEST_P(ShownFor, TemperatureSizeAndStaleness) {
    const ViewRow& row = GetParam();
    const ReadingView view = readingView(row.reading, NumberLocale{","});
    EXPECT_EQ(view.temperature, row.temperature);
    EXPECT_EQ(view.ea0Stale, row.ea0Stale);
    EXPECT_EQ(view.ea1Stale, row.ea1Stale);
    EXPECT_EQ(view.decimal.has_value(), !row.ea0Stale);
    EXPECT_EQ(view.ut.has_value(), !row.ea1Stale);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, ShownFor,
    testing::Values(
        ViewRow{"Temperature", test::measured(0, 33.6677, 2, 5, 39321),
                TemperatureView{"33,7 \u00B0C", 18}, false, false},
        ViewRow{"LowSupply", test::lowSupply(0, 2.5, 4.9, 40960),
                TemperatureView{lowSupplyMessage, 8}, false, false},
        // A computation that failed after both reads: the cause, the values still live.
        ViewRow{"ComputationFailed",
                withFailure(test::lowSupply(0, 0, 5, 32768), "Uth = 0 V : court-circuit"),
                TemperatureView{"Uth = 0 V : court-circuit", 8}, false, false},
        ViewRow{"Ea0Failed", withFailure(test::readFailed(0), "Interface débranchée"),
                TemperatureView{"Interface débranchée", 8}, true, true},
        ViewRow{"Ea1Failed",
                withFailure(Reading{{}, 40960, 2.5, {}, {}, false, {}, {}}, "EA1 muette"),
                TemperatureView{"EA1 muette", 8}, false, true},
        ViewRow{"BeforeAnyTick", Reading{}, std::nullopt, true, true}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace thermo
