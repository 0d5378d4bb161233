#pragma once

#include "core/reading.h"
#include "core/session_series.h"

#include <chrono>
#include <cstdint>

namespace thermo::test {

inline Reading::Clock::time_point atMillis(std::int64_t ms) {
    return Reading::Clock::time_point{} + std::chrono::milliseconds(ms);
}

inline Reading measured(std::int64_t ms, double celsius, double uth, double ut, int code) {
    return Reading{atMillis(ms), code, uth, ut, celsius, false, {}, {}};
}

inline Reading lowSupply(std::int64_t ms, double uth, double ut, int code) {
    return Reading{atMillis(ms), code, uth, ut, {}, true, {}, {}};
}

// The EA0 read failed: nothing was measured.
inline Reading readFailed(std::int64_t ms) {
    Reading reading;
    reading.time = atMillis(ms);
    reading.failure = ReadingFailure{FailureKind::AcquisitionFailed, ""};
    return reading;
}

// The i-th reading of a series at 10 Hz, as a series keeps it: 20 °C and a little more.
inline Sample readingSample(int i) {
    Sample s;
    s.millis = i * 100;
    s.celsius = 20 + 0.01 * i;
    s.uth = 2.5;
    s.ut = 5;
    s.code = 40960;
    return s;
}

} // namespace thermo::test
