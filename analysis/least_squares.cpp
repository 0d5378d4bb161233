#include "analysis/least_squares.h"

#include "core/failure.h"

#include <cmath>
#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>
#include <memory>

namespace thermo {

namespace {

struct WorkspaceFree {
    void operator()(gsl_multifit_nlinear_workspace* w) const { gsl_multifit_nlinear_free(w); }
};
struct MatrixFree {
    void operator()(gsl_matrix* m) const { gsl_matrix_free(m); }
};

// The solver's vectors and matrices are its own allocations, contiguous: they are handed to
// the problem as they are.
int residuals(const gsl_vector* x, void* data, gsl_vector* f) {
    const auto& problem = *static_cast<const LeastSquaresProblem*>(data);
    if (x->stride != 1 || f->stride != 1) {
        return GSL_EBADLEN;
    }
    problem.residuals({x->data, x->size}, {f->data, f->size});
    return GSL_SUCCESS;
}

int jacobian(const gsl_vector* x, void* data, gsl_matrix* j) {
    const auto& problem = *static_cast<const LeastSquaresProblem*>(data);
    if (x->stride != 1 || j->tda != j->size2) {
        return GSL_EBADLEN;
    }
    problem.jacobian({x->data, x->size}, {j->data, j->size1 * j->size2});
    return GSL_SUCCESS;
}

} // namespace

void keepGslFromAborting() {
    static const bool off = (gsl_set_error_handler_off(), true);
    (void)off;
}

std::optional<LeastSquaresSolution> solveLeastSquares(const LeastSquaresProblem& problem,
                                                      std::vector<double> start) {
    keepGslFromAborting();
    const std::size_t n = problem.readings;
    const std::size_t p = problem.parameters;
    if (n <= p || start.size() != p) {
        return std::nullopt;
    }
    gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
    const std::unique_ptr<gsl_multifit_nlinear_workspace, WorkspaceFree> workspace(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, n, p));
    const std::unique_ptr<gsl_matrix, MatrixFree> covariance(gsl_matrix_alloc(p, p));
    if (!workspace || !covariance) {
        throw Failure(FailureKind::Overflow, "Mémoire insuffisante pour modéliser cette plage");
    }
    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = residuals;
    fdf.df = jacobian;
    fdf.n = n;
    fdf.p = p;
    fdf.params = const_cast<LeastSquaresProblem*>(&problem);
    gsl_vector_view x = gsl_vector_view_array(start.data(), p);
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
    LeastSquaresSolution solution;
    const gsl_vector* f = gsl_multifit_nlinear_residual(workspace.get());
    gsl_blas_ddot(f, f, &solution.sumOfSquares);
    if (gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(workspace.get()), 0.0,
                                   covariance.get()) != GSL_SUCCESS) {
        return std::nullopt;
    }
    const double variance = solution.sumOfSquares / static_cast<double>(n - p);
    const gsl_vector* found = gsl_multifit_nlinear_position(workspace.get());
    for (std::size_t k = 0; k < p; ++k) {
        solution.x.push_back(gsl_vector_get(found, k));
        solution.uncertainty.push_back(
            std::sqrt(variance * gsl_matrix_get(covariance.get(), k, k)));
        if (!std::isfinite(solution.x.back()) || !std::isfinite(solution.uncertainty.back())) {
            return std::nullopt;
        }
    }
    return std::isfinite(solution.sumOfSquares) ? std::optional(solution) : std::nullopt;
}

} // namespace thermo
