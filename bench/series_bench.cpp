#include "core/code_conversion.h"
#include "core/series_text.h"
#include "core/session_series.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <malloc.h>
#include <unistd.h>

namespace {

constexpr std::size_t schoolDay = 8 * 3600 * 10; // 8 hours at 10 Hz

// A cooling liquid with a little noise; every 500th tick fails and every 1000th is below the
// supply threshold, so that gaps are part of what is measured.
thermo::Reading readingAt(std::size_t i) {
    thermo::Reading r;
    r.time = thermo::Reading::Clock::time_point{} + std::chrono::milliseconds(100 * i);
    if (i % 500 == 499) {
        r.failure = thermo::ReadingFailure{thermo::FailureKind::AcquisitionFailed, "Échec"};
        return r;
    }
    const double t = static_cast<double>(i) / 10.0;
    r.code = 40000 + static_cast<std::int32_t>(i % 7);
    r.uth = thermo::voltageOf(*r.code);
    r.ut = 5.0;
    if (i % 1000 == 999) {
        r.lowSupply = true;
        r.ut = 4.8;
        return r;
    }
    r.celsius = 20.0 + 60.0 * std::exp(-t / 3600.0) + 0.05 * std::sin(static_cast<double>(i));
    return r;
}

thermo::SessionSeries filledSeries(std::size_t n) {
    thermo::SessionSeries series;
    for (std::size_t i = 0; i < n; ++i) {
        series.append(readingAt(i));
    }
    return series;
}

std::size_t heapBytes() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0;
    std::size_t resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
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
    const thermo::Reading next = readingAt(schoolDay);
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
