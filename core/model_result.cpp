#include "core/model_result.h"

#include "core/failure.h"
#include "core/number_text.h"
#include "core/uncertainty_text.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

namespace thermo {

namespace {

constexpr const char* minus = "\u2212";

struct KindText {
    ModelKind kind;
    const char* code; // as a séance file stores it: never translated, never changed
    const char* name;
    const char* law;
    std::vector<std::string> parameters;
};

const KindText& kindText(ModelKind kind) {
    static const KindText table[] = {
        {ModelKind::Newton,
         "newton",
         "Loi de Newton",
         "T = Tf + (T0 \u2212 Tf)\u00B7e^(\u2212(t \u2212 t0)/\u03C4)",
         {"Tf", "T0", "\u03C4"}},
        {ModelKind::Exponential,
         "exponential",
         "Exponentielle",
         "T = a\u00B7e^(b\u00B7(t \u2212 t0)) + c",
         {"a", "b", "c"}},
        {ModelKind::Affine, "affine", "Affine", "T = a\u00B7t + b", {"a", "b"}},
        {ModelKind::Linear, "linear", "Lin\u00E9aire", "T = a\u00B7t", {"a"}},
    };
    return *std::find_if(std::begin(table), std::end(table),
                         [kind](const KindText& k) { return k.kind == kind; });
}

double parameter(const ModelResult& model, std::size_t i) {
    if (i >= model.parameters.size()) {
        throw Failure(FailureKind::InvalidArgument, "Modèle incomplet");
    }
    return model.parameters[i].value;
}

// A number of the equation, to its uncertainty's place, with a true minus sign.
std::string number(const ModelParameter& p, const NumberLocale& locale) {
    std::string text = valueText(p.value, p.uncertainty, locale);
    if (!text.empty() && text.front() == '-') {
        text.replace(0, 1, minus);
    }
    return text;
}

// " + 3,2" or " − 3,2": a term added to what comes before.
std::string added(const ModelParameter& p, const NumberLocale& locale) {
    ModelParameter magnitude = p;
    magnitude.value = std::fabs(p.value);
    return (p.value < 0 ? std::string(" ") + minus + " " : std::string(" + ")) +
           number(magnitude, locale);
}

// "t" from the origin of the run's axis, else "(t − 62,3)".
std::string since(const ModelResult& model, const NumberLocale& locale) {
    if (model.t0Seconds == 0.0) {
        return "t";
    }
    return std::string("(t ") + minus + " " + fixedText(model.t0Seconds, 1, locale) + ")";
}

std::string timeText(double seconds, const NumberLocale& locale) {
    return fixedText(seconds, 1, locale) + " s";
}

} // namespace

std::vector<std::string> modelParameterNames(ModelKind kind) {
    return kindText(kind).parameters;
}

std::string modelKindCode(ModelKind kind) {
    return kindText(kind).code;
}

std::optional<ModelKind> modelKindOfCode(std::string_view code) {
    for (const ModelKind kind : modelKinds) {
        if (code == kindText(kind).code) {
            return kind;
        }
    }
    return std::nullopt;
}

std::string modelKindName(ModelKind kind) {
    return kindText(kind).name;
}

std::string modelLaw(ModelKind kind) {
    return kindText(kind).law;
}

double modelValue(const ModelResult& model, double seconds) {
    const double s = seconds - model.t0Seconds;
    switch (model.kind) {
    case ModelKind::Newton:
        return parameter(model, 0) +
               (parameter(model, 1) - parameter(model, 0)) * std::exp(-s / parameter(model, 2));
    case ModelKind::Exponential:
        return parameter(model, 0) * std::exp(parameter(model, 1) * s) + parameter(model, 2);
    case ModelKind::Affine:
        return parameter(model, 0) * seconds + parameter(model, 1);
    case ModelKind::Linear:
        return parameter(model, 0) * seconds;
    }
    return std::nan("");
}

std::string modelEquation(const ModelResult& model, const NumberLocale& locale) {
    parameter(model, modelParameterNames(model.kind).size() - 1);
    const auto& p = model.parameters;
    switch (model.kind) {
    case ModelKind::Newton: {
        // T0 − Tf as one number, to the coarser of the two places.
        ModelParameter change{"", p[1].value - p[0].value,
                              std::max(p[0].uncertainty, p[1].uncertainty), ""};
        ModelParameter tau = p[2];
        const std::string exponent = model.t0Seconds == 0.0
                                         ? "t/" + number(tau, locale)
                                         : since(model, locale) + "/" + number(tau, locale);
        return "T = " + number(p[0], locale) + added(change, locale) + "\u00B7e^(" + minus +
               exponent + ")";
    }
    case ModelKind::Exponential:
        return "T = " + number(p[0], locale) + "\u00B7e^(" + number(p[1], locale) + "\u00B7" +
               since(model, locale) + ")" + added(p[2], locale);
    case ModelKind::Affine:
        return "T = " + number(p[0], locale) + "\u00B7t" + added(p[1], locale);
    case ModelKind::Linear:
        return "T = " + number(p[0], locale) + "\u00B7t";
    }
    return {};
}

std::string modelFiguresText(const ModelResult& model, const NumberLocale& locale) {
    std::string text;
    for (const ModelParameter& p : model.parameters) {
        text += p.name + " = " + uncertaintyText(p.value, p.uncertainty, locale) +
                (p.unit.empty() ? "" : " " + p.unit) + "   ";
    }
    return text + "\u00E9cart type " + oneDigitText(model.rmsCelsius, locale) + " \u00B0C";
}

std::string modelResultText(const ModelResult& model, const NumberLocale& locale) {
    std::string origin;
    if (model.kind == ModelKind::Newton || model.kind == ModelKind::Exponential) {
        origin = ", t0 = " + timeText(model.t0Seconds, locale);
    }
    return modelKindName(model.kind) + " de t = " + timeText(model.fromSeconds, locale) +
           " \u00E0 " + timeText(model.toSeconds, locale) + origin + " : " +
           modelEquation(model, locale) + " ; " + modelFiguresText(model, locale);
}

} // namespace thermo
