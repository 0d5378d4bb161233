#pragma once

#include "core/session_series.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace thermo {

// The curve's axes worked out from the series, apart from the plot that draws them.

struct AxisRange {
    double lower;
    double upper;

    friend bool operator==(const AxisRange&, const AxisRange&) = default;
};

// The view shows at least this much time, so that the first readings do not fill the width.
inline constexpr double shortestTimeSpan = 10;
// Nor do a few hundredths of noise fill the height: at least a degree, a tenth of a volt.
inline constexpr double shortestTemperatureSpan = 1;
inline constexpr double shortestVoltageSpan = 0.1;
inline constexpr double valueMargin = 0.05; // of the span, above and below

// 1, 2 or 5 times a power of ten, at least x (x > 0).
double roundStep(double x);

// The smallest extent holding both; either one when the other is missing.
std::optional<Extent> merged(std::optional<Extent> a, std::optional<Extent> b);

// A value axis around `extent`: at least `shortestSpan` wide, centred on it, with a margin
// above and below; `empty` when there is no value at all.
AxisRange paddedRange(std::optional<Extent> extent, double shortestSpan, AxisRange empty);

// The time axis of a followed series that ends at `endSeconds`: from 0 to the end rounded up
// to a round number, so that the axis changes only every so often rather than at every tick
// (every 1000 s on a 2-hour series) and a tick redraws the lines alone.
AxisRange followedTimeRange(double endSeconds);

// The index of the time in `millis` (ascending, not empty) nearest to `target`; the later one
// at equal distance.
std::size_t nearestIndex(std::span<const std::int64_t> millis, std::int64_t target);

// How the keyboard cursor moves along the readings.
enum class CursorMove { Previous, Next, TenSecondsBack, TenSecondsOn, First, Last };

// The reading the keyboard cursor goes to from `index` (millis ascending, not empty): the one
// before or after, the one nearest ten seconds away (never the same one), or an end; an end
// stays where it is.
std::size_t movedCursor(std::span<const std::int64_t> millis, std::size_t index, CursorMove move);

// `range` zoomed by `factor` (½ shows half as much) around `centre`, which keeps its place on
// the axis; never narrower than a second.
AxisRange zoomedRange(AxisRange range, double centre, double factor);

// `range` moved as little as it takes to show `seconds` a twentieth of its width from an end.
AxisRange rangeShowing(AxisRange range, double seconds);

// The live end of a line on screen: the pixel column of the last reading drawn and the rows
// the line spans there. A new reading that falls within them changes nothing on screen.
class LineEnd {
public:
    // The next reading lands on pixel (column, row) of the plot: true when the screen changes.
    bool moved(int column, int row);
    // A gap or a pause: the line breaks, and the next reading starts it anew.
    void breakLine() noexcept { column_ = -1; }

private:
    int column_ = -1;
    int low_ = 0;
    int high_ = 0;
};

} // namespace thermo
