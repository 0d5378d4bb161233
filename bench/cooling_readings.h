#pragma once

#include "core/code_conversion.h"
#include "core/reading.h"

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <unistd.h>

namespace thermo::bench {

inline constexpr std::size_t twoHours = 2 * 3600 * 10;  // at 10 Hz
inline constexpr std::size_t schoolDay = 8 * 3600 * 10; // 8 hours at 10 Hz

// Reading i of a cooling liquid with a little noise, one every 100 ms from the clock's epoch;
// every 500th tick fails and every 1000th is below the supply threshold, so that gaps are
// part of what is measured.
inline Reading coolingReading(std::size_t i) {
    Reading r;
    r.time = Reading::Clock::time_point{} + std::chrono::milliseconds(100 * i);
    if (i % 500 == 499) {
        r.failure = ReadingFailure{FailureKind::AcquisitionFailed, "Échec"};
        return r;
    }
    const double t = static_cast<double>(i) / 10.0;
    r.code = 40000 + static_cast<std::int32_t>(i % 7);
    r.uth = voltageOf(*r.code);
    r.ut = 5.0;
    if (i % 1000 == 999) {
        r.lowSupply = true;
        r.ut = 4.8;
        return r;
    }
    r.celsius = 20.0 + 60.0 * std::exp(-t / 3600.0) + 0.05 * std::sin(static_cast<double>(i));
    return r;
}

inline std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0;
    std::size_t resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

} // namespace thermo::bench
