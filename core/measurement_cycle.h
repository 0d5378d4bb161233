#pragma once

#include "core/circuit_parameters.h"
#include "core/main_window_fields.h"
#include "core/number_locale.h"
#include "core/read_operation.h"
#include "core/reading.h"
#include "core/reading_view.h"

#include <cstdint>
#include <functional>
#include <string>

namespace thermo {

// The recurring measurement: one tick reads both channels and writes the main window's fields
// in a fixed order, each as readingView shows it. A failing step throws Failure and leaves what
// earlier steps wrote. What the tick measured is kept, step by step, in a Reading.
class MeasurementCycle {
public:
    // Stamps each reading; tests give a clock of their own.
    using Clock = std::function<Reading::Clock::time_point()>;

    MeasurementCycle(
        MainWindowFields& fields, ReadOperation& source, NumberLocale locale = {},
        Clock clock = [] { return Reading::Clock::now(); });

    // R, A and B are the parameters' texts, copied as they are at the start of the tick.
    void tick(const CircuitParameters& parameters);
    // Writes the binary text of NUth into Text7.
    void Conversion();

    std::int32_t NUth() const noexcept { return nuth_; }
    const std::string& R() const noexcept { return r_; }
    const std::string& A() const noexcept { return a_; }
    const std::string& B() const noexcept { return b_; }
    const NumberLocale& locale() const noexcept { return locale_; }
    // The last tick's values, as far as it went; its failure is not in it (see takeReading).
    const Reading& reading() const noexcept { return reading_; }

private:
    MainWindowFields& fields_;
    ReadOperation& source_;
    NumberLocale locale_;
    Clock clock_;
    Reading reading_;
    std::int32_t nuth_ = 0;
    std::string r_;
    std::string a_;
    std::string b_;
};

// Runs one tick and returns its reading, with the Failure that stopped it, if any, kept in the
// reading rather than thrown. Any other exception is a defect and passes through.
Reading takeReading(MeasurementCycle& cycle, const CircuitParameters& parameters);

} // namespace thermo
