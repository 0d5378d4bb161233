#include "analysis/model_fit.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Each model on half an hour of readings at 10 Hz (18,000), and on a school day of 8 hours
// shown whole (288,000), rounded to a tenth of a degree as the curve hands them over: a cup of
// hot water cooling toward the room for the exponentials, a steady warming for the lines, with
// the scatter of a real thermistor reading. The curve's "Modéliser" runs the fit on a worker
// thread because of the second.
void BM_ModelFit(benchmark::State& state) {
    const auto kind = static_cast<thermo::ModelKind>(state.range(0));
    const auto readings = static_cast<std::size_t>(state.range(1));
    // τ = 420 s over the half hour, and the same shape over the day.
    const double tau = 420.0 * static_cast<double>(readings) / 18'000.0;
    std::mt19937 random(1800);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<double> seconds(readings);
    std::vector<double> celsius(readings);
    const bool line = kind == thermo::ModelKind::Affine || kind == thermo::ModelKind::Linear;
    const double span = static_cast<double>(readings) / 10.0;
    for (std::size_t i = 0; i < readings; ++i) {
        seconds[i] = static_cast<double>(i + 1) / 10.0;
        // The lines: from 0.5 to 80 °C over the range, through the origin.
        const double law =
            line ? 80.0 * seconds[i] / span : 21.0 + (78.0 - 21.0) * std::exp(-seconds[i] / tau);
        celsius[i] = std::round((law + noise(random)) * 10.0) / 10.0;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            thermo::fitModel(kind, seconds, celsius, thermo::NumberLocale{","}));
    }
}
BENCHMARK(BM_ModelFit)
    ->ArgsProduct({{0, 1, 2, 3}, {18'000, 288'000}})
    ->ArgNames({"model", "readings"})
    ->Unit(benchmark::kMillisecond);

} // namespace
