#include "core/spoken_value.h"

#include "core/code_conversion.h"

#include <cmath>

namespace thermo {

double SpokenValue::halfStep() const {
    return std::pow(10.0, -pace_.decimals) / 2;
}

std::optional<double> SpokenValue::offer(double value, Clock::time_point now) {
    if (said_ && std::isfinite(value)) {
        if (now - saidAt_ < pace_.interval ||
            std::abs(value - *said_) <= halfStep() + pace_.margin) {
            return std::nullopt;
        }
    }
    return sayNow(value, now);
}

std::optional<double> SpokenValue::sayNow(double value, Clock::time_point now) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    said_ = roundHalfEven(value, pace_.decimals);
    saidAt_ = now;
    return said_;
}

} // namespace thermo
