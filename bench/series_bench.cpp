#include "bench/cooling_readings.h"
#include "core/series_text.h"
#include "core/session_series.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <malloc.h>

namespace {

using thermo::bench::coolingReading;
using thermo::bench::residentBytes;
using thermo::bench::schoolDay;

thermo::SessionSeries filledSeries(std::size_t n) {
    thermo::SessionSeries series;
    for (std::size_t i = 0; i < n; ++i) {
        series.append(coolingReading(i));
    }
    return series;
}

std::size_t heapBytes() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// Time of a school day's appends, and the memory the series then holds: heap bytes allocated
// and resident bytes gained (both in MB).
void BM_SchoolDayAppendAndMemory(benchmark::State& state) {
    double heapMb = 0;
    double residentMb = 0;
    for (auto _ : state) {
        const std::size_t heapBefore = heapBytes();
        const std::size_t residentBefore = residentBytes();
        thermo::SessionSeries series = filledSeries(schoolDay);
        benchmark::DoNotOptimize(series.size());
        heapMb = static_cast<double>(heapBytes() - heapBefore) / 1e6;
        residentMb = static_cast<double>(residentBytes() - residentBefore) / 1e6;
    }
    state.counters["heap_MB"] = heapMb;
    state.counters["resident_MB"] = residentMb;
    state.counters["bytes_per_reading"] = heapMb * 1e6 / schoolDay;
}
BENCHMARK(BM_SchoolDayAppendAndMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

// One more reading on a full day: the tick that grows the storage by another day, the most
// a single append costs.
void BM_AppendPastSchoolDay(benchmark::State& state) {
    const thermo::Reading next = coolingReading(schoolDay);
    for (auto _ : state) {
        state.PauseTiming();
        thermo::SessionSeries series = filledSeries(schoolDay);
        state.ResumeTiming();
        series.append(next);
    }
}
BENCHMARK(BM_AppendPastSchoolDay)->Unit(benchmark::kMicrosecond)->Iterations(5);

// Autoscaling the whole day's temperature axis.
void BM_ExtentOfSchoolDay(benchmark::State& state) {
    const thermo::SessionSeries series = filledSeries(schoolDay);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            series.extent(thermo::SeriesColumn::Temperature, {0, series.size()}));
    }
}
BENCHMARK(BM_ExtentOfSchoolDay)->Unit(benchmark::kMicrosecond);

// "Save as" of a school day, and the per-tick append of one line, with decimal commas.
void BM_CsvOfSchoolDay(benchmark::State& state) {
    const thermo::SessionSeries series = filledSeries(schoolDay);
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = thermo::seriesCsv(series, thermo::NumberLocale{","}).size();
    }
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_CsvOfSchoolDay)->Unit(benchmark::kMillisecond);

void BM_CsvLastLine(benchmark::State& state) {
    const thermo::SessionSeries series = filledSeries(schoolDay);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            thermo::seriesCsvLines(series, series.size() - 1, thermo::NumberLocale{","}));
    }
}
BENCHMARK(BM_CsvLastLine);

} // namespace
