#pragma once

#include "acquisition/firmata/firmata_parser.h"
#include "acquisition/firmata/firmata_protocol.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace thermo::firmata {

// A channel that has sent nothing for this long is taken as gone.
inline constexpr std::chrono::milliseconds reportSilenceLimit{500};

// The reports of each channel between two reads of it: the board reports every sampling
// interval (about 19 ms), the program reads ten times a second, so a read gets the mean of the
// five or so values that came in between.
class AnalogAccumulator {
public:
    using Clock = std::chrono::steady_clock;

    void add(const AnalogReport& report, Clock::time_point at);
    // The mean of the values added since the previous take, or the last value when none was;
    // nothing before the first report. Throws Failure(InvalidArgument) outside 0...15.
    std::optional<double> take(int channel);
    std::optional<Clock::time_point> lastReport(int channel) const;
    // The value of the last report, taken or not.
    std::optional<int> lastValue(int channel) const;
    // No report within `limit` before `now`, or none at all yet.
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

} // namespace thermo::firmata
