#pragma once

#include "acquisition/code_source.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace thermo {

// What can go wrong on the bench; one fault at a time.
enum class BenchFault { None, OpenThermistor, ShortedThermistor, Unplugged };

enum class Noise { Off, On };

// How the simulated thermistor's temperature goes: held where it was set, or relaxing like a
// body left in the room or plunged into a hot bath (Newton's law of cooling).
enum class BenchCourse { Held, Cooling, Warming };

// The classroom set-up without hardware: a supply Ut feeds R = 10 kΩ from point A to B and an
// NTC thermistor (10 kΩ at 25 °C, B = 4275 K) from B to M. Channel 0 is EA0 = Uth, channel 1
// is EA1 = Ut, each converted to a code as the interface does, with a little converter noise.
class SimulatedBench : public CodeSource {
public:
    static constexpr double seriesOhms = 10000.0;
    static constexpr double nominalOhms = 10000.0; // thermistor at 25 °C
    static constexpr double betaKelvin = 4275.0;
    static constexpr double minCelsius = -40.0;
    static constexpr double maxCelsius = 125.0;
    static constexpr double minSupply = 0.0;
    static constexpr double maxSupply = 9.9;
    static constexpr double noiseSigmaCodes = 1.0;
    // Converter noise is cut off here so that a reading never strays further.
    static constexpr int noiseLimitCodes = 4;

    // Its settings as the acquisition control shows them: two spin boxes and the faults.
    static constexpr const char* temperatureKey = "benchTemperature";
    static constexpr const char* supplyKey = "benchSupply";
    static constexpr const char* faultKey = "benchFault";
    static constexpr const char* courseKey = "benchCourse";
    static std::string faultChoiceKey(BenchFault fault);
    static std::string courseChoiceKey(BenchCourse course);

    // What the thermistor relaxes toward, and how fast.
    static constexpr double roomCelsius = 20.0;
    static constexpr double bathCelsius = 80.0;
    static constexpr std::chrono::seconds relaxationTime{120};

    // Monotonic time for the relaxation; tests give a clock of their own.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit SimulatedBench(Noise noise = Noise::On,
                            std::uint32_t seed = std::mt19937::default_seed);

    AutomationValue read(std::int32_t channel) override;
    std::string name() const override;
    // Lost while the interface is unplugged.
    SourceStatus status() const override;

    std::vector<NumberSetting> numberSettings() const override;
    double number(const std::string& key) const override;
    void setNumber(const std::string& key, double value) override;
    std::vector<ChoiceSetting> choiceSettings() const override;
    std::string choice(const std::string& key) const override;
    void choose(const std::string& key, const std::string& choiceKey) override;

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
    void setFault(BenchFault fault);
    Noise noise() const noexcept { return noise_; }
    void setNoise(Noise noise) noexcept { noise_ = noise; }

    // Resistance of the thermistor at its temperature by the B-parameter law.
    double thermistorOhms() const;
    // Uth = U(BM) as a voltmeter would read it, the fault included (not for Unplugged).
    double thermistorVoltage() const;

    // The interface's conversion: round(32768 + U * 3276.8), held at the rails 0 and 65535.
    static std::int32_t codeOf(double volts);

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
