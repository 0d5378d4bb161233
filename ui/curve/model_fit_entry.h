#pragma once

#include "analysis/model_fit.h"

#include <functional>
#include <optional>
#include <span>
#include <string>

namespace thermo {

// A model's fit as it crosses the edge of the curve's module, which holds GSL so that a
// session that never opens the curve does not load it: the fit, or the French refusal. No
// exception crosses that edge.
struct ModelAnswer {
    std::optional<ModelFit> fit;
    std::string refusal;
};

using ModelFitter = std::function<ModelAnswer(ModelKind, std::span<const double>,
                                              std::span<const double>, const NumberLocale&)>;

// fitModel (analysis/model_fit.h) as the curve's module runs it, the module loaded if it is
// not yet; when it cannot be, a fitter that refuses and says why. Asked for on the interface's
// thread; the fitter itself may run on any thread.
ModelFitter modelFitter();

} // namespace thermo
