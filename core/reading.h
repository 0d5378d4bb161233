#pragma once

#include "core/failure.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace thermo {

// Why a reading has no temperature.
enum class Gap : std::uint8_t {
    None,      // a temperature was measured
    Failure,   // the tick failed (acquisition or computation)
    LowSupply, // Ut at or below the threshold: no temperature asked
};

// Why a tick gave no temperature, as the user was told in the temperature field.
struct ReadingFailure {
    FailureKind kind;
    std::string message;
};

// The outcome of one measurement tick, for whatever follows the measurement (the windows, the
// record and its curve, the calibration assistant, a journal). A step that was not reached
// leaves its value empty: a tick whose EA0 read failed has no code and no voltages.
struct Reading {
    using Clock = std::chrono::steady_clock;

    Clock::time_point time;           // when the tick began
    std::optional<std::int32_t> code; // EA0 code (NUth)
    std::optional<double> uth;        // volts, rounded to 3 decimals as shown
    std::optional<double> ut;         // volts, rounded to 3 decimals as shown
    std::optional<double> celsius;    // before the display's rounding to 1 decimal
    bool lowSupply = false;           // Ut at or below the threshold: no temperature asked
    std::optional<ReadingFailure> failure;
    std::optional<std::int32_t> ea1Code; // EA1 code, the supply's

    // A temperature was measured: no failure, supply high enough.
    bool hasTemperature() const noexcept { return celsius.has_value(); }
    // The gap this reading leaves in a series, if any; a temperature that is not finite is
    // no measurement.
    Gap gap() const noexcept;
};

} // namespace thermo
