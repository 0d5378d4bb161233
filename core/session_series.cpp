#include "core/session_series.h"

#include "core/failure.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace thermo {

namespace {

constexpr double missing = std::numeric_limits<double>::quiet_NaN();

template <typename T> void growIfFull(std::vector<T>& v) {
    if (v.size() == v.capacity()) {
        v.reserve(v.capacity() + SessionSeries::growthStep);
    }
}

} // namespace

bool SessionSeries::append(const Reading& reading) {
    if (paused_) {
        return false;
    }
    std::int64_t millis = 0;
    if (empty()) {
        origin_ = reading.time;
    } else {
        // A clock that steps back (or a reading handed over late) must not make the time axis
        // go backwards: the search by time relies on it.
        const auto elapsed = std::chrono::round<std::chrono::milliseconds>(reading.time - origin_);
        millis = std::max(elapsed.count(), millis_.back());
    }

    const Gap gap = reading.gap();
    std::uint8_t flags = static_cast<std::uint8_t>(gap);
    if (pauseSinceLast_ && !empty()) {
        flags |= pauseFlag;
    }
    if (reading.code) {
        flags |= codeFlag;
    }

    push(millis, gap == Gap::None ? *reading.celsius : missing, reading.uth.value_or(missing),
         reading.ut.value_or(missing), reading.code.value_or(0), flags);
    pauseSinceLast_ = false;
    return true;
}

void SessionSeries::push(std::int64_t millis, double celsius, double uth, double ut,
                         std::int32_t code, std::uint8_t flags) {
    growIfFull(millis_);
    growIfFull(celsius_);
    growIfFull(uth_);
    growIfFull(ut_);
    growIfFull(codes_);
    growIfFull(flags_);
    millis_.push_back(millis);
    celsius_.push_back(celsius);
    uth_.push_back(uth);
    ut_.push_back(ut);
    codes_.push_back(code);
    flags_.push_back(flags);
}

void SessionSeries::restore(const Sample& sample) {
    const std::int64_t millis = empty() ? sample.millis : std::max(sample.millis, millis_.back());
    // A temperature that is not a number is no measurement, whatever the file said.
    const bool measured = sample.gap == Gap::None && std::isfinite(sample.celsius);
    const Gap gap = measured || sample.gap == Gap::LowSupply ? sample.gap : Gap::Failure;
    std::uint8_t flags = static_cast<std::uint8_t>(gap);
    if (sample.afterPause && !empty()) {
        flags |= pauseFlag;
    }
    if (sample.code) {
        flags |= codeFlag;
    }
    push(millis, measured ? sample.celsius : missing, sample.uth, sample.ut,
         sample.code.value_or(0), flags);
}

void SessionSeries::reserve(std::size_t count) {
    millis_.reserve(count);
    celsius_.reserve(count);
    uth_.reserve(count);
    ut_.reserve(count);
    codes_.reserve(count);
    flags_.reserve(count);
}

void SessionSeries::setPaused(bool paused) noexcept {
    if (paused && !paused_) {
        pauseSinceLast_ = true;
    }
    paused_ = paused;
}

void SessionSeries::clear() {
    // Swapping with empty vectors gives the memory back; clear() alone would keep it.
    std::vector<std::int64_t>().swap(millis_);
    std::vector<double>().swap(celsius_);
    std::vector<double>().swap(uth_);
    std::vector<double>().swap(ut_);
    std::vector<std::int32_t>().swap(codes_);
    std::vector<std::uint8_t>().swap(flags_);
    paused_ = false;
    pauseSinceLast_ = false;
    written_ = 0;
    ++generation_;
}

Sample SessionSeries::at(std::size_t index) const {
    check(index);
    const std::uint8_t flags = flags_[index];
    Sample s;
    s.millis = millis_[index];
    s.celsius = celsius_[index];
    s.uth = uth_[index];
    s.ut = ut_[index];
    if ((flags & codeFlag) != 0) {
        s.code = codes_[index];
    }
    s.gap = static_cast<Gap>(flags & gapMask);
    s.afterPause = (flags & pauseFlag) != 0;
    return s;
}

std::span<const double> SessionSeries::column(SeriesColumn c) const noexcept {
    switch (c) {
    case SeriesColumn::Uth:
        return uth_;
    case SeriesColumn::Ut:
        return ut_;
    case SeriesColumn::Temperature:
        break;
    }
    return celsius_;
}

IndexRange SessionSeries::between(std::int64_t fromMillis, std::int64_t toMillis) const {
    const auto first = std::lower_bound(millis_.begin(), millis_.end(), fromMillis);
    const auto last = std::upper_bound(first, millis_.end(), toMillis);
    return {static_cast<std::size_t>(first - millis_.begin()),
            static_cast<std::size_t>(last - millis_.begin())};
}

std::optional<Extent> SessionSeries::extent(SeriesColumn c, IndexRange range) const {
    const auto values = column(c);
    const std::size_t last = std::min(range.last, values.size());
    std::optional<Extent> e;
    for (std::size_t i = range.first; i < last; ++i) {
        const double v = values[i];
        if (std::isnan(v)) {
            continue;
        }
        if (!e) {
            e = Extent{v, v};
        } else {
            e->min = std::min(e->min, v);
            e->max = std::max(e->max, v);
        }
    }
    return e;
}

void SessionSeries::markWritten(std::size_t count) {
    if (count > size()) {
        throw Failure(FailureKind::InvalidArgument, "Série : marque d'écriture après la fin");
    }
    written_ = count;
}

bool SessionSeries::afterPause(std::size_t index) const {
    check(index);
    return (flags_[index] & pauseFlag) != 0;
}

void SessionSeries::check(std::size_t index) const {
    if (index >= size()) {
        throw Failure(FailureKind::InvalidArgument, "Série : mesure hors limites");
    }
}

} // namespace thermo
