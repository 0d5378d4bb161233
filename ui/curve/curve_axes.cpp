#include "ui/curve/curve_axes.h"

#include <algorithm>
#include <cmath>

namespace thermo {

double roundStep(double x) {
    const double power = std::pow(10.0, std::floor(std::log10(x)));
    for (double m : {1.0, 2.0, 5.0}) {
        if (m * power >= x) {
            return m * power;
        }
    }
    return 10 * power;
}

std::optional<Extent> merged(std::optional<Extent> a, std::optional<Extent> b) {
    if (!a || !b) {
        return a ? a : b;
    }
    return Extent{std::min(a->min, b->min), std::max(a->max, b->max)};
}

AxisRange paddedRange(std::optional<Extent> extent, double shortestSpan, AxisRange empty) {
    if (!extent) {
        return empty;
    }
    double low = extent->min;
    double high = extent->max;
    if (high - low < shortestSpan) {
        const double middle = (low + high) / 2;
        low = middle - shortestSpan / 2;
        high = middle + shortestSpan / 2;
    }
    const double margin = (high - low) * valueMargin;
    return {low - margin, high + margin};
}

AxisRange followedTimeRange(double endSeconds) {
    if (endSeconds <= shortestTimeSpan) {
        return {0, shortestTimeSpan};
    }
    const double step = roundStep(endSeconds / 8);
    return {0, std::ceil(endSeconds / step) * step};
}

std::size_t nearestIndex(std::span<const std::int64_t> millis, std::int64_t target) {
    auto i = static_cast<std::size_t>(std::lower_bound(millis.begin(), millis.end(), target) -
                                      millis.begin());
    if (i == millis.size()) {
        return i - 1;
    }
    if (i > 0 && target - millis[i - 1] < millis[i] - target) {
        --i;
    }
    return i;
}

std::size_t movedCursor(std::span<const std::int64_t> millis, std::size_t index, CursorMove move) {
    const std::size_t last = millis.size() - 1;
    index = std::min(index, last);
    constexpr std::int64_t tenSeconds = 10'000;
    switch (move) {
    case CursorMove::Previous:
        return index > 0 ? index - 1 : 0;
    case CursorMove::Next:
        return std::min(index + 1, last);
    case CursorMove::TenSecondsBack:
        return std::min(nearestIndex(millis, millis[index] - tenSeconds),
                        index > 0 ? index - 1 : 0);
    case CursorMove::TenSecondsOn:
        return std::max(nearestIndex(millis, millis[index] + tenSeconds),
                        std::min(index + 1, last));
    case CursorMove::First:
        return 0;
    case CursorMove::Last:
        return last;
    }
    return index;
}

AxisRange zoomedRange(AxisRange range, double centre, double factor) {
    const double width = std::max((range.upper - range.lower) * factor, 1.0);
    const double before = (centre - range.lower) / (range.upper - range.lower);
    return {centre - width * before, centre + width * (1 - before)};
}

AxisRange rangeShowing(AxisRange range, double seconds) {
    const double margin = (range.upper - range.lower) / 20;
    double shift = 0;
    if (seconds < range.lower + margin) {
        shift = seconds - (range.lower + margin);
    } else if (seconds > range.upper - margin) {
        shift = seconds - (range.upper - margin);
    }
    return {range.lower + shift, range.upper + shift};
}

bool LineEnd::moved(int column, int row) {
    if (column != column_) {
        column_ = column;
        low_ = row;
        high_ = row;
        return true;
    }
    if (row >= low_ && row <= high_) {
        return false;
    }
    low_ = std::min(low_, row);
    high_ = std::max(high_, row);
    return true;
}

} // namespace thermo
