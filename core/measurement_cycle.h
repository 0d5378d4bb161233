#pragma once

#include "core/main_window_fields.h"
#include "core/number_locale.h"
#include "core/read_operation.h"

#include <cstdint>
#include <string>

namespace thermo {

inline constexpr const char* lowSupplyMessage = "Augmentez la tension d'alimentation";
inline constexpr int temperatureFontPoints = 18;
inline constexpr int messageFontPoints = 8;

// The recurring measurement: one tick reads both channels and writes the main window's fields
// in a fixed order. A failing step throws Failure and leaves what earlier steps wrote.
class MeasurementCycle {
public:
    MeasurementCycle(MainWindowFields& fields, ReadOperation& source, NumberLocale locale = {});

    void tick();
    // Writes the binary text of NUth into Text7.
    void Conversion();

    std::int32_t NUth() const noexcept { return nuth_; }
    const std::string& R() const noexcept { return r_; }
    const std::string& A() const noexcept { return a_; }
    const std::string& B() const noexcept { return b_; }
    const NumberLocale& locale() const noexcept { return locale_; }

private:
    MainWindowFields& fields_;
    ReadOperation& source_;
    NumberLocale locale_;
    std::int32_t nuth_ = 0;
    std::string r_;
    std::string a_;
    std::string b_;
};

} // namespace thermo
