#include "analysis/cooling_fit.h"

#include "core/failure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>
#include <memory>
#include <numeric>
#include <optional>

namespace thermo {

namespace {

[[noreturn]] void refuse(const char* message) {
    throw Failure(FailureKind::InvalidArgument, message);
}

// GSL's own handler aborts the program on any error; every status is checked here instead.
void keepGslFromAborting() {
    static const bool off = (gsl_set_error_handler_off(), true);
    (void)off;
}

struct Range {
    std::span<const double> t;
    std::span<const double> y;
    double t0;
};

// The parameters as the solver moves them: Tf, T0 and ln τ, so that τ stays positive. ln τ is
// held within what exp keeps finite and non-zero, so that every step the solver tries can be
// evaluated.
struct Model {
    double final;
    double initial;
    double tau;

    explicit Model(const gsl_vector* x)
        : final(gsl_vector_get(x, 0)), initial(gsl_vector_get(x, 1)),
          tau(std::exp(std::clamp(gsl_vector_get(x, 2), -700.0, 700.0))) {}
};

int residuals(const gsl_vector* x, void* data, gsl_vector* f) {
    const auto& range = *static_cast<const Range*>(data);
    const Model m(x);
    for (std::size_t i = 0; i < range.t.size(); ++i) {
        const double decay = std::exp(-(range.t[i] - range.t0) / m.tau);
        gsl_vector_set(f, i, m.final + (m.initial - m.final) * decay - range.y[i]);
    }
    return GSL_SUCCESS;
}

int jacobian(const gsl_vector* x, void* data, gsl_matrix* j) {
    const auto& range = *static_cast<const Range*>(data);
    const Model m(x);
    for (std::size_t i = 0; i < range.t.size(); ++i) {
        const double s = (range.t[i] - range.t0) / m.tau;
        const double decay = std::exp(-s);
        gsl_matrix_set(j, i, 0, 1.0 - decay);
        gsl_matrix_set(j, i, 1, decay);
        gsl_matrix_set(j, i, 2, (m.initial - m.final) * decay * s); // ∂/∂ln τ = τ ∂/∂τ
    }
    return GSL_SUCCESS;
}

double meanOver(const Range& range, double from, double to, double& meanTime) {
    double sumT = 0.0;
    double sumY = 0.0;
    int n = 0;
    for (std::size_t i = 0; i < range.t.size(); ++i) {
        if (range.t[i] >= from && range.t[i] <= to) {
            sumT += range.t[i];
            sumY += range.y[i];
            ++n;
        }
    }
    meanTime = sumT / n;
    return sumY / n;
}

struct Start {
    std::array<double, 3> x; // Tf, T0, ln τ
};

struct Outline {
    double change; // largest difference between the means at the start, middle and end
    std::optional<Start> threePoints;
};

// The means of the readings near the start, the middle and the end. For an exponential sampled
// at three equally spaced times the differences shrink by exp(-h/τ), which gives τ, Tf and T0
// directly: a start close enough for the solver even far from the plateau.
Outline outline(const Range& range) {
    const double span = range.t.back() - range.t0;
    const double width = span / 10.0;
    const double middle = range.t0 + span / 2.0;
    std::array<double, 3> time{};
    const std::array<double, 3> value{
        meanOver(range, range.t0, range.t0 + width, time[0]),
        meanOver(range, middle - width / 2.0, middle + width / 2.0, time[1]),
        meanOver(range, range.t.back() - width, range.t.back(), time[2])};
    // A change over within the first seconds of a long range is lost in a tenth of it: the
    // first and last few readings count too.
    const std::size_t few = std::min<std::size_t>(10, range.y.size() / 2);
    const auto mean = [](std::span<const double> v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    };
    Outline result{std::max(std::abs(value[2] - value[0]),
                            std::abs(mean(range.y.last(few)) - mean(range.y.first(few)))),
                   std::nullopt};
    if (!std::isfinite(value[1])) {
        return result; // no reading near the middle of a sparse range
    }
    result.change =
        std::max({result.change, std::abs(value[1] - value[0]), std::abs(value[2] - value[1])});
    const double shrink = (value[2] - value[1]) / (value[1] - value[0]);
    if (shrink > 0.0 && shrink < 1.0) {
        const double h = (time[2] - time[0]) / 2.0;
        const double tau = -h / std::log(shrink);
        const double final = value[0] + (value[1] - value[0]) / (1.0 - shrink);
        const double initial = final + (value[0] - final) * std::exp((time[0] - range.t0) / tau);
        result.threePoints = Start{{final, initial, std::log(tau)}};
    }
    return result;
}

// Standard deviation of the readings' noise, from successive differences: the slow change of
// the curve adds almost nothing to them.
double noise(std::span<const double> y) {
    double sum = 0.0;
    for (std::size_t i = 1; i < y.size(); ++i) {
        sum += (y[i] - y[i - 1]) * (y[i] - y[i - 1]);
    }
    return std::sqrt(sum / (2.0 * static_cast<double>(y.size() - 1)));
}

struct WorkspaceFree {
    void operator()(gsl_multifit_nlinear_workspace* w) const { gsl_multifit_nlinear_free(w); }
};
struct MatrixFree {
    void operator()(gsl_matrix* m) const { gsl_matrix_free(m); }
};

std::optional<CoolingFit> solve(Range& range, const Start& start) {
    const std::size_t n = range.t.size();
    gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
    const std::unique_ptr<gsl_multifit_nlinear_workspace, WorkspaceFree> workspace(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, n, 3));
    const std::unique_ptr<gsl_matrix, MatrixFree> covariance(gsl_matrix_alloc(3, 3));
    if (!workspace || !covariance) {
        throw Failure(FailureKind::Overflow, "Mémoire insuffisante pour modéliser cette plage");
    }
    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = residuals;
    fdf.df = jacobian;
    fdf.n = n;
    fdf.p = 3;
    fdf.params = &range;
    std::array<double, 3> x0 = start.x;
    gsl_vector_view x = gsl_vector_view_array(x0.data(), 3);
    if (gsl_multifit_nlinear_init(&x.vector, &fdf, workspace.get()) != GSL_SUCCESS) {
        return std::nullopt;
    }
    int reason = 0;
    constexpr std::size_t iterations = 200;
    constexpr double tolerance = 1e-10;
    if (gsl_multifit_nlinear_driver(iterations, tolerance, tolerance, 0.0, nullptr, nullptr,
                                    &reason, workspace.get()) != GSL_SUCCESS) {
        return std::nullopt;
    }
    const gsl_vector* found = gsl_multifit_nlinear_position(workspace.get());
    double chiSquare = 0.0;
    gsl_blas_ddot(gsl_multifit_nlinear_residual(workspace.get()),
                  gsl_multifit_nlinear_residual(workspace.get()), &chiSquare);
    if (gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(workspace.get()), 0.0,
                                   covariance.get()) != GSL_SUCCESS) {
        return std::nullopt;
    }
    const double variance = chiSquare / static_cast<double>(n - 3);
    const auto uncertainty = [&](std::size_t i) {
        return std::sqrt(variance * gsl_matrix_get(covariance.get(), i, i));
    };
    const Model m(found);
    const CoolingFit fit{m.final,
                         m.initial,
                         m.tau,
                         std::sqrt(chiSquare / static_cast<double>(n)),
                         uncertainty(0),
                         uncertainty(1),
                         m.tau * uncertainty(2)};
    for (const double v : {fit.finalCelsius, fit.initialCelsius, fit.tauSeconds, fit.rmsCelsius,
                           fit.finalUncertainty, fit.initialUncertainty, fit.tauUncertainty}) {
        if (!std::isfinite(v)) {
            return std::nullopt;
        }
    }
    return fit;
}

} // namespace

CoolingFit fitCooling(std::span<const double> seconds, std::span<const double> celsius) {
    keepGslFromAborting();
    if (seconds.size() != celsius.size()) {
        refuse("Autant d'instants que de températures sont nécessaires");
    }
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        if (!std::isfinite(seconds[i]) || !std::isfinite(celsius[i]) ||
            (i > 0 && seconds[i] < seconds[i - 1])) {
            refuse("Mesures invalides : instants dans le désordre ou valeur manquante");
        }
    }
    if (seconds.size() < static_cast<std::size_t>(coolingFitFewestPoints) ||
        seconds.back() - seconds.front() < coolingFitShortestSeconds) {
        refuse("Plage trop courte pour modéliser : prenez au moins 10 mesures sur 5 s");
    }
    Range range{seconds, celsius, seconds.front()};
    const Outline shape = outline(range);
    // Below this, a change is within what the display itself can tell apart.
    constexpr double smallestChange = 0.05;
    if (!(shape.change > std::max(3.0 * noise(celsius), smallestChange))) {
        refuse("Plage trop plate pour modéliser : la température n'y change pas plus que le "
               "bruit");
    }
    const double span = seconds.back() - seconds.front();
    std::array<Start, 2> starts{
        shape.threePoints.value_or(Start{{celsius.back(), celsius.front(), std::log(span / 2.0)}}),
        Start{{celsius.back(), celsius.front(), std::log(span)}}};
    for (const Start& start : starts) {
        if (const auto fit = solve(range, start)) {
            // Beyond this τ the range shows a nearly straight line: the final temperature would
            // be a guess far outside the readings.
            constexpr double longestTauPerSpan = 20.0;
            if (fit->tauSeconds > longestTauPerSpan * span) {
                refuse("Plage trop courte devant la constante de temps : la température finale "
                       "n'est pas atteignable");
            }
            return *fit;
        }
    }
    refuse("Le modèle ne converge pas sur cette plage");
}

} // namespace thermo
