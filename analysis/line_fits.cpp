#include "analysis/line_fits.h"

#include <cmath>
#include <gsl/gsl_fit.h>

namespace thermo {

LeastSquaresSolution fitAffine(std::span<const double> t, std::span<const double> y) {
    keepGslFromAborting();
    double intercept = 0;
    double slope = 0;
    double cov00 = 0;
    double cov01 = 0;
    double cov11 = 0;
    double sumOfSquares = 0;
    gsl_fit_linear(t.data(), 1, y.data(), 1, t.size(), &intercept, &slope, &cov00, &cov01, &cov11,
                   &sumOfSquares);
    return {{slope, intercept}, {std::sqrt(cov11), std::sqrt(cov00)}, sumOfSquares};
}

LeastSquaresSolution fitLinear(std::span<const double> t, std::span<const double> y) {
    keepGslFromAborting();
    double slope = 0;
    double cov11 = 0;
    double sumOfSquares = 0;
    gsl_fit_mul(t.data(), 1, y.data(), 1, t.size(), &slope, &cov11, &sumOfSquares);
    return {{slope}, {std::sqrt(cov11)}, sumOfSquares};
}

} // namespace thermo
