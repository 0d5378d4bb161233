#include "analysis/cooling_fit.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Half an hour of readings at 10 Hz: a cup of hot water cooling toward the room, with the
// scatter of a real thermistor reading.
void BM_CoolingFitHalfHour(benchmark::State& state) {
    constexpr int readings = 18'000;
    std::mt19937 random(1800);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<double> seconds(readings);
    std::vector<double> celsius(readings);
    for (int i = 0; i < readings; ++i) {
        seconds[i] = i / 10.0;
        celsius[i] = 21.0 + (78.0 - 21.0) * std::exp(-seconds[i] / 420.0) + noise(random);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(thermo::fitCooling(seconds, celsius));
    }
}
BENCHMARK(BM_CoolingFitHalfHour)->Unit(benchmark::kMillisecond);

} // namespace
