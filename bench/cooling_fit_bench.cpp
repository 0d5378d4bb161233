#include "analysis/cooling_fit.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Half an hour of readings at 10 Hz (18,000), and a school day of 8 hours shown whole
// (288,000): a cup of hot water cooling toward the room, with the scatter of a real thermistor
// reading. The curve's "Modéliser" runs the fit on a worker thread because of the second.
void BM_CoolingFit(benchmark::State& state) {
    const auto readings = static_cast<std::size_t>(state.range(0));
    // τ = 420 s over the half hour, and the same shape over the day.
    const double tau = 420.0 * static_cast<double>(readings) / 18'000.0;
    std::mt19937 random(1800);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<double> seconds(readings);
    std::vector<double> celsius(readings);
    for (std::size_t i = 0; i < readings; ++i) {
        seconds[i] = static_cast<double>(i) / 10.0;
        celsius[i] = 21.0 + (78.0 - 21.0) * std::exp(-seconds[i] / tau) + noise(random);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(thermo::fitCooling(seconds, celsius));
    }
}
BENCHMARK(BM_CoolingFit)->Arg(18'000)->Arg(288'000)->Unit(benchmark::kMillisecond);

} // namespace
