#include "ui/layout/largest_fit.h"

#include <gtest/gtest.h>
#include <vector>

namespace thermo {
namespace {

// A text that fits up to `limit`: the largest size found is that limit, within the range;
// the smallest when nothing larger fits, without ever trying it.
TEST(LargestFit, FindsTheLimitWithinTheRange) {
    struct Row {
        int low, high, limit, expected;
    };
    const std::vector<Row> rows{{8, 1000, 137, 137}, {8, 1000, 1000, 1000}, {8, 1000, 5000, 1000},
                                {8, 1000, 9, 9},     {8, 1000, 8, 8},       {8, 1000, 2, 8},
                                {0, 140, 0, 0},      {0, 140, 139, 139},    {5, 5, 1, 5}};
    for (const Row& row : rows) {
        int trials = 0;
        const int found = largestFitting(row.low, row.high, [&](int n) {
            EXPECT_GT(n, row.low) << "the smallest size is never tried";
            ++trials;
            return n <= row.limit;
        });
        EXPECT_EQ(found, row.expected) << row.low << ".." << row.high << " up to " << row.limit;
        EXPECT_LE(trials, 11);
    }
}

} // namespace
} // namespace thermo
