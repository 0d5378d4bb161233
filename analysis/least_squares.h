#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace thermo {

// A law with `parameters` unknowns to fit to `readings` values by nonlinear least squares.
// `residuals` writes f[i] = law(x, reading i) − value i; `jacobian` writes ∂f[i]/∂x[k] at
// j[i·parameters + k].
struct LeastSquaresProblem {
    std::size_t parameters = 0;
    std::size_t readings = 0;
    std::function<void(std::span<const double> x, std::span<double> f)> residuals;
    std::function<void(std::span<const double> x, std::span<double> j)> jacobian;
};

struct LeastSquaresSolution {
    std::vector<double> x;
    // Standard uncertainties, the covariance scaled by the scatter of the residuals.
    std::vector<double> uncertainty;
    double sumOfSquares = 0;
};

// GSL's trust-region solver from `start`; none when it does not converge or gives numbers
// that are not finite. Throws Failure(Overflow) when memory runs out.
std::optional<LeastSquaresSolution> solveLeastSquares(const LeastSquaresProblem& problem,
                                                      std::vector<double> start);

// GSL's own handler aborts the program on any error; every status is checked instead.
void keepGslFromAborting();

} // namespace thermo
