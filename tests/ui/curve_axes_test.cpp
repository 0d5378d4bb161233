#include "ui/curve/curve_axes.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace thermo {
namespace {

TEST(CurveAxes, RoundStepIsOneTwoOrFiveTimesAPowerOfTen) {
    const std::vector<std::pair<double, double>> rows{
        {0.07, 0.1}, {0.1, 0.1}, {0.3, 0.5}, {1, 1},       {1.2, 2},
        {3, 5},      {7, 10},    {100, 100}, {1000, 1000}, {94.2875, 100}};
    for (const auto& [x, step] : rows) {
        EXPECT_DOUBLE_EQ(roundStep(x), step) << x;
    }
}

// The followed time axis starts at 0 and ends on a round number past the last reading.
TEST(CurveAxes, FollowedTimeEndsOnARoundNumber) {
    const std::vector<std::pair<double, double>> rows{{0, 10},      {10, 10},     {10.1, 12},
                                                      {754.3, 800}, {7200, 8000}, {28800, 30000}};
    for (const auto& [end, upper] : rows) {
        EXPECT_EQ(followedTimeRange(end), (AxisRange{0, upper})) << end;
    }
}

TEST(CurveAxes, ValueAxisIsWideEnoughWithAMargin) {
    const AxisRange empty{15, 30};
    EXPECT_EQ(paddedRange(std::nullopt, 1, empty), empty);
    const AxisRange wide = paddedRange(Extent{0, 100}, 1, empty);
    EXPECT_DOUBLE_EQ(wide.lower, -5);
    EXPECT_DOUBLE_EQ(wide.upper, 105);
    // A few hundredths of noise still show on a whole degree, centred.
    const AxisRange narrow = paddedRange(Extent{20, 20.2}, 1, empty);
    EXPECT_DOUBLE_EQ(narrow.lower, 19.55);
    EXPECT_DOUBLE_EQ(narrow.upper, 20.65);
}

TEST(CurveAxes, NearestReadingToThePointer) {
    const std::vector<std::int64_t> millis{0, 100, 200, 400};
    const std::vector<std::pair<std::int64_t, std::size_t>> rows{
        {-50, 0}, {0, 0}, {49, 0}, {50, 1}, {260, 2}, {300, 3}, {1000, 3}};
    for (const auto& [target, index] : rows) {
        EXPECT_EQ(nearestIndex(millis, target), index) << target;
    }
}

// Readings every 100 ms with a 5 s gap after 2 s: ten seconds on lands on the nearest reading,
// and a move at an end stays there.
TEST(CurveAxes, KeyboardCursorMovesAlongTheReadings) {
    std::vector<std::int64_t> millis;
    for (std::int64_t t = 0; t <= 20'000; t += 100) {
        if (t <= 2000 || t >= 7000) {
            millis.push_back(t);
        }
    }
    const std::size_t last = millis.size() - 1;
    const std::vector<std::tuple<std::size_t, CursorMove, std::int64_t>> rows{
        {5, CursorMove::Next, 600},
        {5, CursorMove::Previous, 400},
        {0, CursorMove::Previous, 0},
        {last, CursorMove::Next, 20'000},
        {0, CursorMove::TenSecondsOn, 10'000},
        {15, CursorMove::TenSecondsOn, 11'500},
        {last, CursorMove::TenSecondsBack, 10'000},
        {0, CursorMove::TenSecondsBack, 0},
        {20, CursorMove::TenSecondsBack, 0},
        {20, CursorMove::Last, 20'000},
        {20, CursorMove::First, 0},
        {20, CursorMove::Next, 7000}, // across the gap
    };
    for (const auto& [from, move, to] : rows) {
        EXPECT_EQ(millis[movedCursor(millis, from, move)], to)
            << from << " " << static_cast<int>(move);
    }
}

TEST(CurveAxes, ZoomKeepsTheCentreAndPanShowsTheCursor) {
    EXPECT_EQ(zoomedRange({0, 100}, 25, 0.5), (AxisRange{12.5, 62.5}));
    EXPECT_EQ(zoomedRange({0, 100}, 50, 2), (AxisRange{-50, 150}));
    EXPECT_EQ(zoomedRange({10, 11}, 10.5, 0.5), (AxisRange{10, 11})); // a second at least
    EXPECT_EQ(rangeShowing({0, 100}, 50), (AxisRange{0, 100}));
    EXPECT_EQ(rangeShowing({0, 100}, 120), (AxisRange{25, 125}));
    EXPECT_EQ(rangeShowing({100, 200}, 0), (AxisRange{-5, 95}));
}

// Only a reading that lands outside the pixels already drawn at the line's end is drawn.
TEST(CurveAxes, LineEndRedrawsOnlyNewPixels) {
    LineEnd end;
    const std::vector<std::tuple<int, int, bool>> steps{
        {10, 50, true},  // the first reading
        {10, 50, false}, // the same pixel
        {10, 53, true},  // lower on the same column: the span grows
        {10, 51, false}, // within it
        {11, 51, true},  // the next column
    };
    for (const auto& [column, row, moved] : steps) {
        EXPECT_EQ(end.moved(column, row), moved) << column << "," << row;
    }
    end.breakLine();
    EXPECT_TRUE(end.moved(11, 51)); // a gap: the line starts anew
}

} // namespace
} // namespace thermo
