#include "acquisition/simulated_bench.h"

#include "core/code_conversion.h"
#include "core/failure.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace thermo {

namespace {

constexpr double kelvinAtZeroCelsius = 273.15;
constexpr double referenceKelvin = 298.15;
constexpr std::int32_t lowestCode = 0;
constexpr std::int32_t highestCode = 65535;

constexpr const char* unpluggedMessage = "Interface débranchée : aucune mesure";

struct FaultEntry {
    BenchFault fault;
    const char* key;
    const char* text;
    const char* remark; // after the bench's name while the fault is staged
};

constexpr FaultEntry faultEntries[] = {
    {BenchFault::None, "faultNone", "Montage normal", ""},
    {BenchFault::OpenThermistor, "faultOpenThermistor", "Thermistance coupée", "coupure"},
    {BenchFault::ShortedThermistor, "faultShortedThermistor", "Thermistance en court-circuit",
     "court-circuit"},
    {BenchFault::Unplugged, "faultUnplugged", "Interface débranchée", "débranché"},
};

struct CourseEntry {
    BenchCourse course;
    const char* key;
    const char* text;
};

constexpr CourseEntry courseEntries[] = {
    {BenchCourse::Held, "courseHeld", "Température réglée"},
    {BenchCourse::Cooling, "courseCooling", "Refroidissement vers 20 \u00B0C"},
    {BenchCourse::Warming, "courseWarming", "Échauffement vers 80 \u00B0C"},
};

[[noreturn]] void unknownSetting(const std::string& key) {
    throw std::invalid_argument("SimulatedBench: no setting " + key);
}

double clampedSetting(double value, double low, double high) {
    if (std::isnan(value)) {
        throw std::invalid_argument("SimulatedBench: NaN setting");
    }
    return std::clamp(value, low, high);
}

} // namespace

SimulatedBench::SimulatedBench(Noise noise, std::uint32_t seed)
    : clock_([] { return std::chrono::steady_clock::now(); }), noise_(noise), generator_(seed) {}

std::string SimulatedBench::name() const {
    return "Banc simulé";
}

SourceStatus SimulatedBench::status() const {
    if (fault_ == BenchFault::Unplugged) {
        return {SourceState::Lost, unpluggedMessage};
    }
    return {};
}

void SimulatedBench::setTemperature(double celsius) {
    celsius_ = clampedSetting(celsius, minCelsius, maxCelsius);
    course_ = BenchCourse::Held;
    notifyChanged();
}

double SimulatedBench::temperature() const {
    if (course_ == BenchCourse::Held) {
        return celsius_;
    }
    const double surroundings = course_ == BenchCourse::Cooling ? roomCelsius : bathCelsius;
    const std::chrono::duration<double> elapsed = clock_() - courseStart_;
    return surroundings + (celsius_ - surroundings) * std::exp(-(elapsed / relaxationTime));
}

void SimulatedBench::setCourse(BenchCourse course) {
    celsius_ = temperature();
    course_ = course;
    courseStart_ = clock_();
    notifyChanged();
}

void SimulatedBench::setClock(Clock clock) {
    clock_ = std::move(clock);
}

void SimulatedBench::setSupplyVoltage(double volts) {
    supply_ = clampedSetting(volts, minSupply, maxSupply);
    notifyChanged();
}

void SimulatedBench::setFault(BenchFault fault) {
    fault_ = fault;
    notifyChanged();
}

std::string SimulatedBench::faultChoiceKey(BenchFault fault) {
    for (const FaultEntry& entry : faultEntries) {
        if (entry.fault == fault) {
            return entry.key;
        }
    }
    throw std::invalid_argument("SimulatedBench: unknown fault");
}

std::string SimulatedBench::courseChoiceKey(BenchCourse course) {
    for (const CourseEntry& entry : courseEntries) {
        if (entry.course == course) {
            return entry.key;
        }
    }
    throw std::invalid_argument("SimulatedBench: unknown course");
}

std::vector<NumberSetting> SimulatedBench::numberSettings() const {
    return {{temperatureKey, "Température simulée",
             "Température de la thermistance sur le banc simulé", "\u00B0C", minCelsius, maxCelsius,
             1, 0.5},
            {supplyKey, "Tension d'alimentation simulée",
             "Tension d'alimentation Ut = Uam du banc simulé", "V", minSupply, maxSupply, 2, 0.05}};
}

double SimulatedBench::number(const std::string& key) const {
    if (key == temperatureKey) {
        return temperature();
    }
    if (key == supplyKey) {
        return supply_;
    }
    unknownSetting(key);
}

void SimulatedBench::setNumber(const std::string& key, double value) {
    if (key == temperatureKey) {
        setTemperature(value);
    } else if (key == supplyKey) {
        setSupplyVoltage(value);
    } else {
        unknownSetting(key);
    }
}

std::vector<ChoiceSetting> SimulatedBench::choiceSettings() const {
    ChoiceSetting faults{
        faultKey, "Pannes du banc simulé", "Clic droit : simuler une panne du montage", {}};
    for (const FaultEntry& entry : faultEntries) {
        faults.choices.push_back({entry.key, entry.text, entry.remark});
    }
    ChoiceSetting courses{courseKey, "Évolution de la température", "", {}};
    for (const CourseEntry& entry : courseEntries) {
        courses.choices.push_back({entry.key, entry.text, ""});
    }
    return {faults, courses};
}

std::string SimulatedBench::choice(const std::string& key) const {
    if (key == faultKey) {
        return faultChoiceKey(fault_);
    }
    if (key == courseKey) {
        return courseChoiceKey(course_);
    }
    unknownSetting(key);
}

void SimulatedBench::choose(const std::string& key, const std::string& choiceKey) {
    if (key == faultKey) {
        for (const FaultEntry& entry : faultEntries) {
            if (entry.key == choiceKey) {
                setFault(entry.fault);
                return;
            }
        }
    } else if (key == courseKey) {
        for (const CourseEntry& entry : courseEntries) {
            if (entry.key == choiceKey) {
                setCourse(entry.course);
                return;
            }
        }
    }
    unknownSetting(key + "/" + choiceKey);
}

double SimulatedBench::thermistorOhms() const {
    const double kelvin = temperature() + kelvinAtZeroCelsius;
    return nominalOhms * std::exp(betaKelvin * (1.0 / kelvin - 1.0 / referenceKelvin));
}

double SimulatedBench::thermistorVoltage() const {
    switch (fault_) {
    case BenchFault::OpenThermistor:
        // No current through R, so B sits at the supply's potential.
        return supply_;
    case BenchFault::ShortedThermistor:
        return 0.0;
    case BenchFault::None:
    case BenchFault::Unplugged:
        break;
    }
    const double rth = thermistorOhms();
    return supply_ * rth / (seriesOhms + rth);
}

std::int32_t SimulatedBench::codeOf(double volts) {
    const double code = std::round(codeOffset + volts * codesPerVolt);
    return static_cast<std::int32_t>(
        std::clamp(code, static_cast<double>(lowestCode), static_cast<double>(highestCode)));
}

std::int32_t SimulatedBench::deviation() {
    const double limit = noiseLimitCodes;
    return static_cast<std::int32_t>(
        std::round(std::clamp(distribution_(generator_), -limit, limit)));
}

std::int32_t SimulatedBench::noisy(std::int32_t channel, std::int32_t code) {
    if (noise_ == Noise::Off) {
        return code;
    }
    // With the thermistor open, EA0 and EA1 sit on one and the same node, sampled back to
    // back: the supply reading repeats the thermistor reading's deviation.
    std::int32_t shift = 0;
    if (channel == 1 && fault_ == BenchFault::OpenThermistor && lastEa0Deviation_) {
        shift = *lastEa0Deviation_;
    } else {
        shift = deviation();
    }
    lastEa0Deviation_.reset();
    if (channel == 0) {
        lastEa0Deviation_ = shift;
    }
    return std::clamp(code + shift, lowestCode, highestCode);
}

AutomationValue SimulatedBench::read(std::int32_t channel) {
    if (channel == 0 && course_ != BenchCourse::Held) {
        // The temperature has moved on since the last tick: whatever shows it follows.
        notifyChanged();
    }
    if (fault_ == BenchFault::Unplugged) {
        throw Failure(FailureKind::AcquisitionFailed, unpluggedMessage);
    }
    switch (channel) {
    case 0:
        return std::int64_t{noisy(0, codeOf(thermistorVoltage()))};
    case 1:
        return std::int64_t{noisy(1, codeOf(supply_))};
    default:
        throw Failure(FailureKind::AcquisitionFailed, "Banc simulé : voie inexistante");
    }
}

} // namespace thermo
