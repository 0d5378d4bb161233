// readCsvRun on arbitrary bytes: a run whose times never go back and whose gaps are the
// temperatures missing, or a TypeMismatch with a message; nothing else.
#include "core/csv_reading.h"
#include "core/failure.h"
#include "fuzz/fuzz_input.h"

#include <cmath>
#include <cstdint>
#include <string_view>

using thermo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    thermo::SessionSeries series;
    try {
        series = thermo::readCsvRun(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const thermo::Failure& f) {
        check(f.kind() == thermo::FailureKind::TypeMismatch && *f.what() != '\0');
        return 0;
    }
    check(!series.empty());
    const auto millis = series.millis();
    const auto celsius = series.column(thermo::SeriesColumn::Temperature);
    for (std::size_t i = 0; i < series.size(); ++i) {
        check(i == 0 || millis[i] >= millis[i - 1]);
        check(std::isnan(celsius[i]) == !series.at(i).hasTemperature());
        check(std::isnan(celsius[i]) || std::isfinite(celsius[i]));
    }
    return 0;
}
