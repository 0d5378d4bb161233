#include "acquisition/analog_accumulator.h"

#include "core/failure.h"

#include <utility>

namespace thermo {

AnalogAccumulator::Channel& AnalogAccumulator::channel(int index) {
    return const_cast<Channel&>(std::as_const(*this).channel(index));
}

const AnalogAccumulator::Channel& AnalogAccumulator::channel(int index) const {
    if (index < 0 || index >= channelCount) {
        throw Failure(FailureKind::InvalidArgument, "Voie analogique inexistante");
    }
    return channels_[static_cast<std::size_t>(index)];
}

void AnalogAccumulator::add(int index, int value, Clock::time_point at) {
    Channel& c = channel(index);
    c.sum += value;
    ++c.count;
    c.last = value;
    c.at = at;
}

std::optional<double> AnalogAccumulator::take(int index) {
    Channel& c = channel(index);
    if (!c.at) {
        return std::nullopt;
    }
    if (c.count == 0) {
        return c.last;
    }
    const double mean = static_cast<double>(c.sum) / static_cast<double>(c.count);
    c.sum = 0;
    c.count = 0;
    return mean;
}

std::optional<AnalogAccumulator::Clock::time_point> AnalogAccumulator::lastReport(int index) const {
    return channel(index).at;
}

std::optional<int> AnalogAccumulator::lastValue(int index) const {
    const Channel& c = channel(index);
    return c.at ? std::optional<int>(c.last) : std::nullopt;
}

bool AnalogAccumulator::silent(int index, Clock::time_point now, Clock::duration limit) const {
    const auto& at = channel(index).at;
    return !at || now - *at >= limit;
}

} // namespace thermo
