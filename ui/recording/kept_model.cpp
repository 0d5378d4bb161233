#include "ui/recording/kept_model.h"

namespace thermo {

namespace {

bool startsAtFirstFitted(ModelKind kind) {
    return kind == ModelKind::Newton || kind == ModelKind::Exponential;
}

} // namespace

RunModel keptModel(const ModelResult& model) {
    RunModel kept;
    kept.kind = modelKindCode(model.kind);
    kept.parameters = model.parameters;
    kept.fromSeconds = model.fromSeconds;
    kept.toSeconds = model.toSeconds;
    kept.rmsDeviation = model.rmsCelsius;
    kept.equation = model.equation;
    return kept;
}

std::optional<ModelResult> fittedModel(const RunModel& kept) {
    const std::optional<ModelKind> kind = modelKindOfCode(kept.kind);
    if (!kind) {
        return std::nullopt;
    }
    const std::vector<std::string> names = modelParameterNames(*kind);
    if (kept.parameters.size() != names.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (kept.parameters[i].name != names[i]) {
            return std::nullopt;
        }
    }
    ModelResult model;
    model.kind = *kind;
    model.parameters = kept.parameters;
    model.fromSeconds = kept.fromSeconds;
    model.toSeconds = kept.toSeconds;
    model.rmsCelsius = kept.rmsDeviation;
    model.t0Seconds = startsAtFirstFitted(*kind) ? kept.fromSeconds : 0.0;
    model.equation = kept.equation;
    return model;
}

} // namespace thermo
