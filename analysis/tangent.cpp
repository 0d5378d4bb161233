#include "analysis/tangent.h"

#include "analysis/least_squares.h"
#include "core/code_conversion.h"

#include <cmath>
#include <gsl/gsl_multifit.h>
#include <memory>

namespace thermo {

namespace {

struct MatrixFree {
    void operator()(gsl_matrix* m) const { gsl_matrix_free(m); }
};
struct VectorFree {
    void operator()(gsl_vector* v) const { gsl_vector_free(v); }
};
struct WorkspaceFree {
    void operator()(gsl_multifit_linear_workspace* w) const { gsl_multifit_linear_free(w); }
};

} // namespace

std::optional<Tangent> tangentAt(const SessionSeries& series, double seconds, double halfWidth) {
    constexpr std::size_t fewest = 5;
    if (!(halfWidth > 0) || !std::isfinite(seconds)) {
        return std::nullopt;
    }
    const IndexRange range = series.between(std::llround((seconds - halfWidth) * 1000.0),
                                            std::llround((seconds + halfWidth) * 1000.0));
    const auto millis = series.millis();
    const auto celsius = series.column(SeriesColumn::Temperature);
    std::size_t n = 0;
    for (std::size_t i = range.first; i < range.last; ++i) {
        n += std::isnan(celsius[i]) ? 0 : 1;
    }
    if (n < fewest) {
        return std::nullopt;
    }
    keepGslFromAborting();
    const std::unique_ptr<gsl_matrix, MatrixFree> x(gsl_matrix_alloc(n, 3));
    const std::unique_ptr<gsl_vector, VectorFree> y(gsl_vector_alloc(n));
    const std::unique_ptr<gsl_vector, VectorFree> c(gsl_vector_alloc(3));
    const std::unique_ptr<gsl_matrix, MatrixFree> covariance(gsl_matrix_alloc(3, 3));
    const std::unique_ptr<gsl_multifit_linear_workspace, WorkspaceFree> work(
        gsl_multifit_linear_alloc(n, 3));
    if (!x || !y || !c || !covariance || !work) {
        return std::nullopt;
    }
    // Time in units of the half-width, centred on the tangent's time: the parabola's
    // coefficients keep like sizes.
    std::size_t row = 0;
    for (std::size_t i = range.first; i < range.last; ++i) {
        if (std::isnan(celsius[i])) {
            continue;
        }
        const double u = (static_cast<double>(millis[i]) / 1000.0 - seconds) / halfWidth;
        gsl_matrix_set(x.get(), row, 0, 1.0);
        gsl_matrix_set(x.get(), row, 1, u);
        gsl_matrix_set(x.get(), row, 2, u * u);
        gsl_vector_set(y.get(), row, roundHalfEven(celsius[i], temperatureDecimals));
        ++row;
    }
    double chiSquare = 0;
    if (gsl_multifit_linear(x.get(), y.get(), c.get(), covariance.get(), &chiSquare, work.get()) !=
        0) {
        return std::nullopt;
    }
    Tangent tangent;
    tangent.seconds = seconds;
    tangent.celsius = gsl_vector_get(c.get(), 0);
    tangent.slope = gsl_vector_get(c.get(), 1) / halfWidth;
    // gsl_multifit_linear scales the covariance by the scatter of the residuals.
    tangent.slopeUncertainty = std::sqrt(gsl_matrix_get(covariance.get(), 1, 1)) / halfWidth;
    tangent.readings = n;
    if (!std::isfinite(tangent.celsius) || !std::isfinite(tangent.slope) ||
        !std::isfinite(tangent.slopeUncertainty)) {
        return std::nullopt;
    }
    return tangent;
}

} // namespace thermo
