#pragma once

#include "acquisition/bench_model.h"
#include "acquisition/code_source.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace thermo {

// The simulated bench as a source of codes: its model's codes for the acquisition control, and
// its settings (temperature, supply, fault, course) as the control shows them, two spin boxes
// and choices in its menu. Every change through it is told to the source's listener.
class SimulatedBench : public CodeSource {
public:
    static constexpr const char* temperatureKey = "benchTemperature";
    static constexpr const char* supplyKey = "benchSupply";
    static constexpr const char* faultKey = "benchFault";
    static constexpr const char* courseKey = "benchCourse";
    static std::string faultChoiceKey(BenchFault fault);
    static std::string courseChoiceKey(BenchCourse course);

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

    // The physics; what is changed on it directly (its noise, its clock) is not told.
    BenchModel& model() noexcept { return model_; }
    const BenchModel& model() const noexcept { return model_; }

    // The model's settings, told to the listener.
    double temperature() const { return model_.temperature(); }
    void setTemperature(double celsius);
    BenchCourse course() const noexcept { return model_.course(); }
    void setCourse(BenchCourse course);
    double supplyVoltage() const noexcept { return model_.supplyVoltage(); }
    void setSupplyVoltage(double volts);
    BenchFault fault() const noexcept { return model_.fault(); }
    void setFault(BenchFault fault);

private:
    BenchModel model_;
};

} // namespace thermo
