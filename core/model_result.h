#pragma once

#include "core/number_locale.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace thermo {

// The laws a run's temperatures can be modelled by. Times are in seconds on the run's axis.
enum class ModelKind {
    Newton,      // T = Tf + (T0 − Tf)·e^(−(t − t0)/τ), t0 the first time fitted
    Exponential, // T = a·e^(b·(t − t0)) + c, free: a growth as well as a relaxation
    Affine,      // T = a·t + b
    Linear,      // T = a·t
};
inline constexpr std::array<ModelKind, 4> modelKinds{ModelKind::Newton, ModelKind::Exponential,
                                                     ModelKind::Affine, ModelKind::Linear};

// A fitted parameter and its standard uncertainty.
struct ModelParameter {
    std::string name; // as in the equation: "Tf", "τ", "a"…
    double value = 0;
    double uncertainty = 0;
    std::string unit; // "°C", "s", "°C/s", "1/s"; empty for none
};

// A model fitted to a range of a run, as the run keeps it: what the curve draws, the summary
// reads and a séance file stores.
struct ModelResult {
    ModelKind kind = ModelKind::Newton;
    // In the order of modelParameterNames(kind).
    std::vector<ModelParameter> parameters;
    double fromSeconds = 0; // first and last reading fitted
    double toSeconds = 0;
    double rmsCelsius = 0; // root mean square of the readings' deviations from the model
    double t0Seconds = 0;  // the time origin of the equation: fromSeconds for the exponentials
    std::string equation;  // with its numbers, as written on the curve
};

// "Tf", "T0", "τ" for Newton; "a", "b", "c" for the exponential; "a", "b" affine; "a" linear.
std::vector<std::string> modelParameterNames(ModelKind kind);
// "newton", "exponential", "affine", "linear": the kind in a séance file. A code of a later
// version of the program is no kind of this one.
std::string modelKindCode(ModelKind kind);
std::optional<ModelKind> modelKindOfCode(std::string_view code);
// "Loi de Newton", "Exponentielle", "Affine", "Linéaire".
std::string modelKindName(ModelKind kind);
// The law written with letters, as the model chooser shows it: "T = a·t + b".
std::string modelLaw(ModelKind kind);

// The model's temperature at time `seconds`.
double modelValue(const ModelResult& model, double seconds);

// The law with the fitted numbers, each to the place of its uncertainty, t0 written out:
// "T = 20,1 + (79,8 − 20,1)·e^(−(t − 62,3)/120)".
std::string modelEquation(const ModelResult& model, const NumberLocale& locale);
// Each parameter with its uncertainty and unit, then the RMS deviation:
// "Tf = 20,1 ± 0,1 °C   T0 = 79,8 ± 0,1 °C   τ = 120 ± 1 s   écart type 0,05 °C".
std::string modelFiguresText(const ModelResult& model, const NumberLocale& locale);
// The whole result in a sentence: the law, the range, t0, the equation and the figures.
std::string modelResultText(const ModelResult& model, const NumberLocale& locale);

} // namespace thermo
