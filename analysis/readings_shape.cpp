#include "analysis/readings_shape.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace thermo {

namespace {

double median(std::vector<double>& v) {
    if (v.empty()) {
        return 0;
    }
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

double meanOver(std::span<const double> t, std::span<const double> y, double from, double to,
                double& meanTime) {
    double sumT = 0.0;
    double sumY = 0.0;
    int n = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] >= from && t[i] <= to) {
            sumT += t[i];
            sumY += y[i];
            ++n;
        }
    }
    meanTime = sumT / n;
    return sumY / n;
}

double mean(std::span<const double> v) {
    return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

} // namespace

double readingNoise(std::span<const double> y) {
    if (y.size() < 3) {
        return 0;
    }
    std::vector<double> second(y.size() - 2);
    for (std::size_t i = 1; i + 1 < y.size(); ++i) {
        second[i - 1] = std::abs(y[i + 1] - 2 * y[i] + y[i - 1]);
    }
    // For Gaussian noise of deviation σ a second difference has deviation σ·√6, and the
    // median of its absolute value is 0.6745 of that.
    return median(second) / (0.6745 * std::sqrt(6.0));
}

std::vector<std::size_t> findSteps(std::span<const double> y, double noise, double smallest) {
    constexpr std::size_t side = 5; // differences looked at on each side
    std::vector<std::size_t> steps;
    std::vector<double> around;
    const auto sideMedian = [&](std::size_t from, std::size_t to) { // differences (from, to]
        around.clear();
        for (std::size_t k = from + 1; k <= to; ++k) {
            around.push_back(y[k] - y[k - 1]);
        }
        return median(around);
    };
    for (std::size_t i = 1; i < y.size(); ++i) {
        const double jump = y[i] - y[i - 1];
        if (std::abs(jump) <= std::max(10 * noise, smallest)) {
            continue;
        }
        const double before = i >= 2 ? sideMedian(i - std::min(i - 1, side) - 1, i - 1) : 0.0;
        const double after =
            i + 1 < y.size() ? sideMedian(i, std::min(y.size() - 1, i + side)) : 0.0;
        // Far beyond the change on both sides: a curve that is merely fast changes by about
        // as much from one reading to the next.
        const double beyond =
            std::max({10 * noise, smallest, 3 * std::abs(before), 3 * std::abs(after)});
        if (std::abs(jump - before) > beyond && std::abs(jump - after) > beyond) {
            steps.push_back(i);
        }
    }
    return steps;
}

std::size_t endOfHold(std::span<const double> y, double band, std::size_t fewest) {
    if (y.size() < fewest) {
        return 0;
    }
    const double level = mean(y.first(std::min<std::size_t>(fewest, y.size())));
    std::size_t i = 0;
    while (i < y.size() && std::abs(y[i] - level) <= band) {
        ++i;
    }
    return i >= fewest && i < y.size() ? i : 0;
}

Outline outline(std::span<const double> t, std::span<const double> y) {
    const double t0 = t.front();
    const double span = t.back() - t0;
    const double width = span / 10.0;
    const double middle = t0 + span / 2.0;
    std::array<double, 3> time{};
    const std::array<double, 3> value{
        meanOver(t, y, t0, t0 + width, time[0]),
        meanOver(t, y, middle - width / 2.0, middle + width / 2.0, time[1]),
        meanOver(t, y, t.back() - width, t.back(), time[2])};
    // A change over within the first seconds of a long range is lost in a tenth of it: the
    // first and last few readings count too.
    const std::size_t few = std::max<std::size_t>(1, std::min<std::size_t>(10, y.size() / 2));
    Outline result{
        std::max(std::abs(value[2] - value[0]), std::abs(mean(y.last(few)) - mean(y.first(few)))),
        std::nullopt};
    if (!std::isfinite(value[1])) {
        return result; // no reading near the middle of a sparse range
    }
    result.change =
        std::max({result.change, std::abs(value[1] - value[0]), std::abs(value[2] - value[1])});
    // Sampled at three equally spaced times, the differences of an exponential change by
    // e^(b·h) from one to the next.
    const double ratio = (value[2] - value[1]) / (value[1] - value[0]);
    const double h = (time[2] - time[0]) / 2.0;
    if (ratio > 0.0 && ratio != 1.0 && std::isfinite(ratio) && h > 0) {
        const double b = std::log(ratio) / h;
        const double e0 = std::exp(b * (time[0] - t0));
        const double e1 = std::exp(b * (time[1] - t0));
        const double a = (value[1] - value[0]) / (e1 - e0);
        result.exponential = ThreePointExponential{a, b, value[0] - a * e0};
    }
    return result;
}

double samplingInterval(std::span<const double> t) {
    std::vector<double> steps;
    steps.reserve(t.size());
    for (std::size_t i = 1; i < t.size(); ++i) {
        steps.push_back(t[i] - t[i - 1]);
    }
    return median(steps);
}

} // namespace thermo
