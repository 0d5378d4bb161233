#pragma once

#include <chrono>
#include <optional>

namespace thermo {

// When a value shown ten times a second is worth saying again to someone who listens to it.
// A listener cannot follow ten values a second, nor a last digit that flickers with the noise:
// a value is said when it has moved, from the one said last, by more than half a step (it
// would show differently) and a margin (it does not merely sit on a rounding edge, where the
// shown value alternates), and no sooner than an interval after the last one said, long enough
// to hear it out.
class SpokenValue {
public:
    using Clock = std::chrono::steady_clock;

    struct Pace {
        int decimals;             // the value is said rounded to these, as it is shown
        double margin;            // beyond half a step of the last decimal, in the value's unit
        Clock::duration interval; // between two values said
    };

    explicit SpokenValue(Pace pace) : pace_(pace) {}

    // The value to say at `now`, rounded as shown, or nothing: the first value offered,
    // then one that moved far enough, once the interval has passed. A value not said is not
    // kept: the next offer is weighed against what was said. A value that is not finite is
    // no measurement and is never said.
    std::optional<double> offer(double value, Clock::time_point now);
    // Says the value at once, whatever the pace (the listener asked for it).
    std::optional<double> sayNow(double value, Clock::time_point now);
    // The next value offered is said at once (the listener came back to it).
    void forget() noexcept { said_.reset(); }
    std::optional<double> said() const noexcept { return said_; }

private:
    double halfStep() const;

    Pace pace_;
    std::optional<double> said_;
    Clock::time_point saidAt_;
};

} // namespace thermo
