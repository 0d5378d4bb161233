#pragma once

#include "core/reading.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace thermo {

enum class SeriesColumn { Temperature, Uth, Ut };

// One reading of the series as the curve and the recorder see it. Missing numbers are NaN.
struct Sample {
    std::int64_t millis = 0; // since the series began
    double celsius = 0;      // NaN in a gap
    double uth = 0;          // volts, NaN when the EA0 read did not happen or failed
    double ut = 0;           // volts, NaN when the EA1 read did not happen or failed
    std::optional<std::int32_t> code;
    Gap gap = Gap::None;
    bool afterPause = false; // the record was paused just before: the line breaks here

    bool hasTemperature() const noexcept { return gap == Gap::None; }
};

// Indices [first, last) of the series.
struct IndexRange {
    std::size_t first = 0;
    std::size_t last = 0;

    std::size_t size() const noexcept { return last - first; }
    bool empty() const noexcept { return first >= last; }
};

struct Extent {
    double min;
    double max;
};

// The session's record: every tick's reading from the first one on. A school day (8 hours at
// 10 Hz, 288,000 readings) must stay within a few tens of MB, so the readings are kept column
// by column (37 bytes a reading, no padding, no per-reading allocation), gaps as NaN.
class SessionSeries {
public:
    // Storage grows by this many readings at a time: one school day is one allocation, and a
    // longer session never holds twice what it needs as doubling would.
    static constexpr std::size_t growthStep = 288'000;

    // Keeps the reading; returns false, keeping nothing, while the record is paused. The first
    // reading gives the series its origin (t = 0); later times never go back.
    bool append(const Reading& reading);
    // Keeps a reading as it was stored (a séance file, a CSV read back): its time since the
    // series began, never before the last one's, and its gap and pause as they were.
    void restore(const Sample& sample);
    // Room for `count` readings in all, in one allocation: a run read back from a file.
    void reserve(std::size_t count);

    // While paused, readings are not kept; the first one after resuming starts a new segment.
    void setPaused(bool paused) noexcept;
    bool paused() const noexcept { return paused_; }

    // A new series: no readings, origin taken again from the next reading, not paused.
    void clear();
    // Changes with every clear(), so that a file being appended to can tell it no longer
    // belongs to this series.
    std::uint64_t generation() const noexcept { return generation_; }

    std::size_t size() const noexcept { return millis_.size(); }
    bool empty() const noexcept { return millis_.empty(); }
    Sample at(std::size_t index) const;

    std::span<const std::int64_t> millis() const noexcept { return millis_; }
    std::span<const double> column(SeriesColumn c) const noexcept;
    // Throws Failure(InvalidArgument) for an index past the end, as at() does.
    bool afterPause(std::size_t index) const;

    // Readings whose time lies in [fromMillis, toMillis].
    IndexRange between(std::int64_t fromMillis, std::int64_t toMillis) const;
    // Smallest and largest value of the column over the range, gaps left out; none when the
    // range holds no value.
    std::optional<Extent> extent(SeriesColumn c, IndexRange range) const;

    // Readings [0, writtenCount()) are in a file; the recorder moves the mark as it writes.
    std::size_t writtenCount() const noexcept { return written_; }
    std::size_t unwrittenCount() const noexcept { return size() - written_; }
    void markWritten(std::size_t count);

private:
    static constexpr std::uint8_t gapMask = 0x3;
    static constexpr std::uint8_t pauseFlag = 0x4;
    static constexpr std::uint8_t codeFlag = 0x8;

    void check(std::size_t index) const;
    void push(std::int64_t millis, double celsius, double uth, double ut, std::int32_t code,
              std::uint8_t flags);

    std::vector<std::int64_t> millis_;
    std::vector<double> celsius_;
    std::vector<double> uth_;
    std::vector<double> ut_;
    std::vector<std::int32_t> codes_;
    std::vector<std::uint8_t> flags_;

    Reading::Clock::time_point origin_{};
    bool paused_ = false;
    bool pauseSinceLast_ = false;
    std::size_t written_ = 0;
    std::uint64_t generation_ = 0;
};

} // namespace thermo
