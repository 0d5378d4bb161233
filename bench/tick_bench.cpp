#include "core/core.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>

namespace {

using thermo::Field;

// The fields a real window would hold, without any drawing.
class MemoryFields : public thermo::MainWindowFields {
public:
    std::string text(Field f) const override { return texts[static_cast<std::size_t>(f)]; }
    void setText(Field f, const std::string& t) override { texts[static_cast<std::size_t>(f)] = t; }
    void setTemperatureFontSize(int points) override { font = points; }

    std::array<std::string, 9> texts{};
    int font = 0;
};

class FixedSource : public thermo::ReadOperation {
public:
    std::int32_t readChannel(std::int32_t channel) override { return channel == 0 ? 39321 : 49152; }
};

void BM_TickTemperatureBranch(benchmark::State& state) {
    MemoryFields fields;
    FixedSource source;
    thermo::MeasurementCycle cycle(fields, source, thermo::NumberLocale{","});
    const auto parameters = thermo::CircuitParameters::defaults();
    for (auto _ : state) {
        cycle.tick(parameters);
        benchmark::DoNotOptimize(fields.texts);
    }
}
BENCHMARK(BM_TickTemperatureBranch);

void BM_VoltageText(benchmark::State& state) {
    std::int32_t code = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(thermo::voltageText(thermo::voltageOf(code)));
        code = (code + 7919) & 0xFFFF;
    }
}
BENCHMARK(BM_VoltageText);

void BM_TemperatureText(benchmark::State& state) {
    double t = 33.667701;
    for (auto _ : state) {
        benchmark::DoNotOptimize(thermo::temperatureText(t));
        t += 0.01;
    }
}
BENCHMARK(BM_TemperatureText);

void BM_HexText(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(thermo::hexText("40960"));
    }
}
BENCHMARK(BM_HexText);

void BM_BinaryText(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(thermo::binaryText(40960));
    }
}
BENCHMARK(BM_BinaryText);

void BM_ParseNumber(benchmark::State& state) {
    const thermo::NumberLocale comma{","};
    for (auto _ : state) {
        benchmark::DoNotOptimize(thermo::parseNumber(" 4275,5 ", comma));
    }
}
BENCHMARK(BM_ParseNumber);

} // namespace
