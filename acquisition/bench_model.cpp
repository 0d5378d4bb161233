#include "acquisition/bench_model.h"

#include "core/code_conversion.h"
#include "core/failure.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace thermo {

namespace {

// The bench is physics, not the program's law: the true kelvin.
constexpr double kelvinAtZeroCelsius = 273.15;
constexpr double referenceKelvin = 298.15;
constexpr std::int32_t lowestCode = 0;
constexpr std::int32_t highestCode = 65535;

double clampedSetting(double value, double low, double high) {
    if (std::isnan(value)) {
        throw std::invalid_argument("BenchModel: NaN setting");
    }
    return std::clamp(value, low, high);
}

} // namespace

BenchModel::BenchModel(Noise noise, std::uint32_t seed)
    : clock_([] { return std::chrono::steady_clock::now(); }), noise_(noise), generator_(seed) {}

void BenchModel::setTemperature(double celsius) {
    celsius_ = clampedSetting(celsius, minCelsius, maxCelsius);
    course_ = BenchCourse::Held;
}

double BenchModel::temperature() const {
    if (course_ == BenchCourse::Held) {
        return celsius_;
    }
    const double surroundings = course_ == BenchCourse::Cooling ? roomCelsius : bathCelsius;
    const std::chrono::duration<double> elapsed = clock_() - courseStart_;
    return surroundings + (celsius_ - surroundings) * std::exp(-(elapsed / relaxationTime));
}

void BenchModel::setCourse(BenchCourse course) {
    celsius_ = temperature();
    course_ = course;
    courseStart_ = clock_();
}

void BenchModel::setClock(Clock clock) {
    clock_ = std::move(clock);
}

void BenchModel::setSupplyVoltage(double volts) {
    supply_ = clampedSetting(volts, minSupply, maxSupply);
}

double BenchModel::thermistorOhms() const {
    const double kelvin = temperature() + kelvinAtZeroCelsius;
    return nominalOhms * std::exp(betaKelvin * (1.0 / kelvin - 1.0 / referenceKelvin));
}

double BenchModel::thermistorVoltage() const {
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

std::int32_t BenchModel::codeOf(double volts) {
    const double code = std::round(codeOffset + volts * codesPerVolt);
    return static_cast<std::int32_t>(
        std::clamp(code, static_cast<double>(lowestCode), static_cast<double>(highestCode)));
}

std::int32_t BenchModel::deviation() {
    const double limit = noiseLimitCodes;
    return static_cast<std::int32_t>(
        std::round(std::clamp(distribution_(generator_), -limit, limit)));
}

std::int32_t BenchModel::noisy(std::int32_t channel, std::int32_t code) {
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

std::int32_t BenchModel::code(std::int32_t channel) {
    if (fault_ == BenchFault::Unplugged) {
        throw Failure(FailureKind::AcquisitionFailed, unpluggedMessage);
    }
    switch (channel) {
    case 0:
        return noisy(0, codeOf(thermistorVoltage()));
    case 1:
        return noisy(1, codeOf(supply_));
    default:
        throw Failure(FailureKind::AcquisitionFailed, "Banc simulé : voie inexistante");
    }
}

} // namespace thermo
