#include "analysis/model_fit.h"

#include "analysis/exponential_fits.h"
#include "analysis/line_fits.h"
#include "analysis/readings_shape.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/uncertainty_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numeric>
#include <optional>
#include <vector>

namespace thermo {

namespace {

// Readings rounded to a tenth of a degree, as the program shows and saves them, scatter by at
// least this much however steady the temperature.
const double displayNoise = 0.1 / std::sqrt(12.0);
// A jump smaller than this is no step, whatever the noise; a change smaller than this is flat.
constexpr double smallestStep = 0.5;
constexpr double smallestChange = 0.05;

[[noreturn]] void refuse(const std::string& message) {
    throw Failure(FailureKind::InvalidArgument, message);
}

struct Texts {
    const NumberLocale& locale;
    std::string time(double s) const { return fixedText(s, 1, locale) + " s"; }
    std::string number(double c) const { return fixedText(c, 1, locale); }
    std::string celsius(double c) const { return number(c) + " \u00B0C"; }
    std::string figure(double x) const { return oneDigitText(x, locale); }
};

bool tooShort(std::span<const double> t) {
    return t.size() < modelFewestReadings || t.back() - t.front() < modelShortestSeconds;
}

const char* const tooShortText =
    "Plage trop courte pour modéliser : prenez au moins 10 mesures sur 5 s";

// Readings [first, last).
struct Stretch {
    std::size_t first;
    std::size_t last;
};

// The longest stretch in time without a step; after a step, from where the temperature leaves
// the level it jumped to (the bench is set to a temperature, then left to cool).
Stretch withoutSteps(std::span<const double> t, std::span<const double> y, double noise,
                     const Texts& texts, std::string& remark) {
    const std::vector<std::size_t> steps = findSteps(y, noise, smallestStep);
    if (steps.empty()) {
        return {0, t.size()};
    }
    std::vector<std::size_t> bounds{0};
    bounds.insert(bounds.end(), steps.begin(), steps.end());
    bounds.push_back(t.size());
    Stretch best{0, 0};
    double longest = -1;
    for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
        const double span = t[bounds[k + 1] - 1] - t[bounds[k]];
        if (span > longest) {
            longest = span;
            best = {bounds[k], bounds[k + 1]};
        }
    }
    // The levels on either side of the first step, over a few readings: its noise aside.
    const std::size_t s = steps.front();
    const auto level = [&](std::size_t from, std::size_t to) {
        return std::accumulate(y.begin() + static_cast<std::ptrdiff_t>(from),
                               y.begin() + static_cast<std::ptrdiff_t>(to), 0.0) /
               static_cast<double>(to - from);
    };
    const std::size_t next = steps.size() > 1 ? steps[1] : t.size();
    std::string said = steps.size() == 1
                           ? "Saut de " + texts.number(level(s - std::min<std::size_t>(s, 5), s)) +
                                 " à " + texts.celsius(level(s, std::min(next, s + 5))) +
                                 " à t = " + texts.time(t[s])
                           : std::to_string(steps.size()) +
                                 " sauts de température, le premier à t = " + texts.time(t[s]);
    if (tooShort(t.subspan(best.first, best.last - best.first))) {
        refuse(said + " : de part et d'autre, trop peu de mesures pour modéliser ; choisissez "
                      "une plage sans saut");
    }
    if (best.first > 0) {
        const auto after = y.subspan(best.first, best.last - best.first);
        const std::size_t hold = endOfHold(after, std::max(5 * noise, 0.15), modelFewestReadings);
        if (hold > 0 && !tooShort(t.subspan(best.first + hold, best.last - best.first - hold))) {
            best.first += hold;
        }
    }
    remark = said + " ; le modèle est ajusté sans lui, de t = " + texts.time(t[best.first]) +
             " à " + texts.time(t[best.last - 1]);
    return best;
}

std::optional<LeastSquaresSolution> solve(ModelKind kind, std::span<const double> t,
                                          std::span<const double> y, const Outline& shape) {
    switch (kind) {
    case ModelKind::Newton:
        return fitNewton(t, y, shape);
    case ModelKind::Exponential:
        return fitExponential(t, y, shape);
    case ModelKind::Affine:
        return fitAffine(t, y);
    case ModelKind::Linear:
        return fitLinear(t, y);
    }
    return std::nullopt;
}

std::vector<std::string> units(ModelKind kind) {
    switch (kind) {
    case ModelKind::Newton:
        return {"\u00B0C", "\u00B0C", "s"};
    case ModelKind::Exponential:
        return {"\u00B0C", "s\u207B\u00B9", "\u00B0C"};
    case ModelKind::Affine:
        return {"\u00B0C/s", "\u00B0C"};
    case ModelKind::Linear:
        return {"\u00B0C/s"};
    }
    return {};
}

// The parameter that says how fast the temperature changes: τ, b, or the slope.
std::size_t characteristic(ModelKind kind) {
    return kind == ModelKind::Newton ? 2 : kind == ModelKind::Exponential ? 1 : 0;
}

// What the readings allow the model to say; refuses what they do not.
void judge(const ModelResult& model, std::span<const double> t, double noise, double change,
           const Texts& texts) {
    const ModelParameter& p = model.parameters[characteristic(model.kind)];
    const double span = t.back() - t.front();
    if (model.kind == ModelKind::Newton || model.kind == ModelKind::Exponential) {
        const double tau = model.kind == ModelKind::Newton ? p.value : 1.0 / std::abs(p.value);
        const double interval = samplingInterval(t);
        if (!(tau >= interval)) {
            refuse("Modèle refusé : constante de temps de " + texts.figure(tau) +
                   " s, plus courte que l'intervalle entre deux mesures (" +
                   texts.figure(interval) +
                   " s) ; ces mesures montrent un saut, pas une évolution");
        }
        if (tau > 10 * span) {
            refuse("Modèle refusé : constante de temps de " + texts.figure(tau) +
                   " s, plus de dix fois la durée de la plage (" + texts.figure(span) +
                   " s) ; la température finale n'y est pas atteignable, prenez une plage plus "
                   "longue ou un modèle affine");
        }
    }
    if (p.uncertainty > 0.25 * std::abs(p.value)) {
        refuse("Modèle refusé : ces mesures ne déterminent pas " + p.name + " (" + p.name + " = " +
               uncertaintyText(p.value, p.uncertainty, texts.locale) + " " + p.unit + ")");
    }
    if (model.rmsCelsius > std::max({5 * noise, 0.15, 0.02 * change})) {
        refuse("Modèle refusé : il ne décrit pas ces mesures, qui s'en écartent de " +
               texts.figure(model.rmsCelsius) + " °C (écart type) pour un bruit de " +
               texts.figure(noise) + " °C");
    }
}

void fitStretch(ModelKind kind, std::span<const double> t, std::span<const double> y,
                const Texts& texts, ModelResult& model) {
    const double noise = std::max(readingNoise(y), displayNoise);
    const Outline shape = outline(t, y);
    if (!(shape.change > std::max(3.0 * noise, smallestChange))) {
        refuse("Plage trop plate pour modéliser : la température n'y change pas plus que le "
               "bruit");
    }
    const std::optional<LeastSquaresSolution> solution = solve(kind, t, y, shape);
    if (!solution) {
        refuse("Le modèle ne converge pas sur cette plage");
    }
    model.kind = kind;
    const std::vector<std::string> names = modelParameterNames(kind);
    const std::vector<std::string> unitNames = units(kind);
    for (std::size_t k = 0; k < names.size(); ++k) {
        model.parameters.push_back(
            {names[k], solution->x[k], solution->uncertainty[k], unitNames[k]});
    }
    model.fromSeconds = t.front();
    model.toSeconds = t.back();
    model.t0Seconds = kind == ModelKind::Newton || kind == ModelKind::Exponential ? t.front() : 0.0;
    model.rmsCelsius = std::sqrt(solution->sumOfSquares / static_cast<double>(t.size()));
    judge(model, t, noise, shape.change, texts);
}

} // namespace

ModelFit fitModel(ModelKind kind, std::span<const double> seconds, std::span<const double> celsius,
                  const NumberLocale& locale) {
    const Texts texts{locale};
    if (seconds.size() != celsius.size()) {
        refuse("Autant d'instants que de températures sont nécessaires");
    }
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        if (!std::isfinite(seconds[i]) || !std::isfinite(celsius[i]) ||
            (i > 0 && seconds[i] < seconds[i - 1])) {
            refuse("Mesures invalides : instants dans le désordre ou valeur manquante");
        }
    }
    if (tooShort(seconds)) {
        refuse(tooShortText);
    }
    ModelFit fit;
    const Stretch stretch =
        withoutSteps(seconds, celsius, readingNoise(celsius), texts, fit.remark);
    try {
        fitStretch(kind, seconds.subspan(stretch.first, stretch.last - stretch.first),
                   celsius.subspan(stretch.first, stretch.last - stretch.first), texts, fit.model);
    } catch (const Failure& refusal) {
        if (fit.remark.empty()) {
            throw;
        }
        // "…; le modèle est ajusté sans lui, de t = … à … s" then why it could not be.
        std::string why = refusal.what();
        why.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(why.front())));
        refuse(fit.remark.substr(0, fit.remark.find(" ; ")) +
               " ; sans lui, de t = " + texts.time(seconds[stretch.first]) + " à " +
               texts.time(seconds[stretch.last - 1]) + ", " + why);
    }
    return fit;
}

} // namespace thermo
