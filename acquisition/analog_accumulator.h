#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace thermo {

// A channel that has sent nothing for this long is taken as gone.
inline constexpr std::chrono::milliseconds reportSilenceLimit{500};

// The values a board sent on each of its analog channels between two reads of it: a board
// under StandardFirmata reports every sampling interval (about 20 ms), the program reads ten
// times a second, so a read gets the mean of the five or so values that came in between.
class AnalogAccumulator {
public:
    using Clock = std::chrono::steady_clock;
    // As many as Firmata numbers.
    static constexpr int channelCount = 16;

    // Throws Failure(InvalidArgument) for a channel outside 0...15, as the other operations.
    void add(int channel, int value, Clock::time_point at);
    // The mean of the values added since the previous take, or the last value when none was;
    // nothing before the first value.
    std::optional<double> take(int channel);
    std::optional<Clock::time_point> lastReport(int channel) const;
    // The last value, taken or not.
    std::optional<int> lastValue(int channel) const;
    // No value within `limit` before `now`, or none at all yet.
    bool silent(int channel, Clock::time_point now,
                Clock::duration limit = reportSilenceLimit) const;

private:
    struct Channel {
        std::int64_t sum = 0;
        std::int64_t count = 0;
        int last = 0;
        std::optional<Clock::time_point> at;
    };

    Channel& channel(int index);
    const Channel& channel(int index) const;

    std::array<Channel, channelCount> channels_{};
};

} // namespace thermo
