#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace thermo {

// What a range of readings looks like before any law is fitted to it.

// Standard deviation of the readings' noise, from their second differences: a smooth change
// adds almost nothing to them, and their median keeps a few jumps from counting. Zero for
// fewer than three readings, or readings that do not scatter at all.
double readingNoise(std::span<const double> y);

// The readings i where y[i] jumps from y[i - 1]: by more than `smallest` and ten times the
// noise, and by far more than the readings change on either side. The bench set to a new
// temperature, a thermometer moved during a pause, are such jumps; a plunge into hot water,
// however fast, changes over several readings and is not.
std::vector<std::size_t> findSteps(std::span<const double> y, double noise, double smallest);

// The first reading at which the temperature leaves a hold at the start of the range (readings
// within `band` of the first ones); 0 when it does not hold for at least `fewest` readings.
std::size_t endOfHold(std::span<const double> y, double band, std::size_t fewest);

// An exponential y = a·e^(b·(t − t0)) + c through the means of the readings near the start,
// the middle and the end of the range, t0 its first time: a start for the solver, close to
// the answer even far from the plateau.
struct ThreePointExponential {
    double a;
    double b;
    double c;
};

struct Outline {
    // The largest difference between those means, and between the first and last few
    // readings: how much the range changes, beyond its noise.
    double change = 0;
    std::optional<ThreePointExponential> exponential;
};
Outline outline(std::span<const double> t, std::span<const double> y);

// The median time between two readings.
double samplingInterval(std::span<const double> t);

} // namespace thermo
