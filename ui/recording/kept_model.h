#pragma once

#include "core/model_result.h"
#include "ui/recording/seance_file.h"

#include <optional>

namespace thermo {

// A model fitted on the curve as its run keeps it in the séance, and back. The equation's
// time origin is not stored: it is the first time fitted for the exponential laws, 0 for the
// lines. A model of a kind this version does not know, or whose parameters are not those of
// its law, comes back as none: it stays in the file but is not drawn.
RunModel keptModel(const ModelResult& model);
std::optional<ModelResult> fittedModel(const RunModel& kept);

} // namespace thermo
