#include "acquisition/simulated_bench.h"

#include "core/failure.h"

#include <stdexcept>

namespace thermo {

namespace {

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

} // namespace

SimulatedBench::SimulatedBench(Noise noise, std::uint32_t seed) : model_(noise, seed) {}

std::string SimulatedBench::name() const {
    return "Banc simulé";
}

SourceStatus SimulatedBench::status() const {
    if (model_.fault() == BenchFault::Unplugged) {
        return {SourceState::Lost, BenchModel::unpluggedMessage};
    }
    return {};
}

void SimulatedBench::setTemperature(double celsius) {
    model_.setTemperature(celsius);
    notifyChanged();
}

void SimulatedBench::setCourse(BenchCourse course) {
    model_.setCourse(course);
    notifyChanged();
}

void SimulatedBench::setSupplyVoltage(double volts) {
    model_.setSupplyVoltage(volts);
    notifyChanged();
}

void SimulatedBench::setFault(BenchFault fault) {
    model_.setFault(fault);
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
             "Température de la thermistance sur le banc simulé", "\u00B0C", BenchModel::minCelsius,
             BenchModel::maxCelsius, 1, 0.5},
            {supplyKey, "Tension d'alimentation simulée",
             "Tension d'alimentation Ut = Uam du banc simulé", "V", BenchModel::minSupply,
             BenchModel::maxSupply, 2, 0.05}};
}

double SimulatedBench::number(const std::string& key) const {
    if (key == temperatureKey) {
        return model_.temperature();
    }
    if (key == supplyKey) {
        return model_.supplyVoltage();
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
        return faultChoiceKey(model_.fault());
    }
    if (key == courseKey) {
        return courseChoiceKey(model_.course());
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

AutomationValue SimulatedBench::read(std::int32_t channel) {
    if (channel == 0 && model_.course() != BenchCourse::Held) {
        // The temperature has moved on since the last tick: whatever shows it follows.
        notifyChanged();
    }
    return std::int64_t{model_.code(channel)};
}

} // namespace thermo
