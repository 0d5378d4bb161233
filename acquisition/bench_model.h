#pragma once

#include "core/circuit_parameters.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>

namespace thermo {

// What can go wrong on the bench; one fault at a time.
enum class BenchFault { None, OpenThermistor, ShortedThermistor, Unplugged };

enum class Noise { Off, On };

// How the simulated thermistor's temperature goes: held where it was set, or relaxing like a
// body left in the room or plunged into a hot bath (Newton's law of cooling).
enum class BenchCourse { Held, Cooling, Warming };

// The physics of the classroom set-up without hardware: a supply Ut feeds R from point A to B
// and an NTC thermistor from B to M, built to the program's default parameters. Channel 0 is
// EA0 = Uth, channel 1 is EA1 = Ut, each converted to a code as the interface does, with a
// little converter noise.
class BenchModel {
public:
    static constexpr double seriesOhms = defaultSeriesOhms;
    static constexpr double nominalOhms = defaultNominalOhms; // thermistor at 25 °C
    static constexpr double betaKelvin = defaultBetaKelvin;
    static constexpr double minCelsius = -40.0;
    static constexpr double maxCelsius = 125.0;
    static constexpr double minSupply = 0.0;
    static constexpr double maxSupply = 9.9;
    static constexpr double noiseSigmaCodes = 1.0;
    // Converter noise is cut off here so that a reading never strays further.
    static constexpr int noiseLimitCodes = 4;
    // Where a cooling and a warming tend, and how fast: the temperature's distance to them
    // shrinks by e every relaxationTime.
    static constexpr double roomCelsius = 20.0;
    static constexpr double bathCelsius = 80.0;
    static constexpr std::chrono::seconds relaxationTime{120};

    // Monotonic time for the relaxation; tests give a clock of their own.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit BenchModel(Noise noise = Noise::On, std::uint32_t seed = std::mt19937::default_seed);

    // The code the interface gives for one channel. Throws Failure(AcquisitionFailed) while
    // unplugged, or for a channel the interface does not have.
    std::int32_t code(std::int32_t channel);

    // The thermistor's temperature now, on its course.
    double temperature() const;
    // Clamped to minCelsius..maxCelsius; NaN throws std::invalid_argument. Holds the
    // temperature there: a cooling or a warming stops.
    void setTemperature(double celsius);
    BenchCourse course() const noexcept { return course_; }
    // From the temperature it has now, toward the room or the bath, or held there.
    void setCourse(BenchCourse course);
    void setClock(Clock clock);
    double supplyVoltage() const noexcept { return supply_; }
    // Clamped to minSupply..maxSupply; NaN throws std::invalid_argument.
    void setSupplyVoltage(double volts);
    BenchFault fault() const noexcept { return fault_; }
    void setFault(BenchFault fault) noexcept { fault_ = fault; }
    Noise noise() const noexcept { return noise_; }
    void setNoise(Noise noise) noexcept { noise_ = noise; }

    // Resistance of the thermistor at its temperature by the B-parameter law.
    double thermistorOhms() const;
    // Uth = U(BM) as a voltmeter would read it, the fault included (not for Unplugged).
    double thermistorVoltage() const;

    // The interface's conversion: round(32768 + U * 3276.8), held at the rails 0 and 65535.
    static std::int32_t codeOf(double volts);

    static constexpr const char* unpluggedMessage = "Interface débranchée : aucune mesure";

private:
    std::int32_t deviation();
    std::int32_t noisy(std::int32_t channel, std::int32_t code);

    // The temperature when the course began, or the one held.
    double celsius_ = 25.0;
    BenchCourse course_ = BenchCourse::Held;
    Clock clock_;
    std::chrono::steady_clock::time_point courseStart_;
    double supply_ = 5.0;
    BenchFault fault_ = BenchFault::None;
    Noise noise_;
    std::mt19937 generator_;
    std::normal_distribution<double> distribution_{0.0, noiseSigmaCodes};
    std::optional<std::int32_t> lastEa0Deviation_;
};

} // namespace thermo
