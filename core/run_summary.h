#pragma once

#include "core/number_locale.h"
#include "core/run_annotations.h"
#include "core/session_series.h"

#include <string>
#include <vector>

namespace thermo {

// A run told in a few lines, for a screen reader and a printed page: how many readings over
// how long, the last temperature, the lowest and the highest with their times, then each
// model's result and each note.
std::vector<std::string> runSummary(const SessionSeries& series, const RunAnnotations& annotations,
                                    const NumberLocale& locale);

} // namespace thermo
