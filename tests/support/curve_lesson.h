#pragma once

#include "tests/support/series_readings.h"
#include "ui/recording/session_record.h"

#include <cmath>
#include <functional>
#include <random>

namespace thermo::test {

using Law = std::function<double(double)>;

// Newton's law from t0 on: the room at 20 °C, τ = 120 s, as the simulated bench.
inline Law cooling(double initial, double t0 = 0) {
    return
        [=](double t) { return 20.0 + (initial - 20.0) * std::exp(-std::max(0.0, t - t0) / 120); };
}

// Ten readings a second of `law` for `seconds`, with the bench's scatter (0.05 °C); every
// 50th tick fails.
inline void recordLesson(SessionRecord& record, const Law& law, int seconds = 600) {
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.05);
    for (int i = 0; i < seconds * 10; ++i) {
        const Reading r = measured(i * 100, law(i / 10.0) + noise(random), 2.5, 5, 40960);
        record.take(i % 50 == 49 ? readFailed(i * 100) : r);
    }
}

} // namespace thermo::test
