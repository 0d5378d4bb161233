#include "analysis/exponential_fits.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace thermo {

namespace {

// Within what exp keeps finite and non-zero, so that every step the solver tries can be
// evaluated.
double clampedExp(double x) {
    return std::exp(std::clamp(x, -700.0, 700.0));
}

struct Range {
    std::span<const double> t;
    std::span<const double> y;
    double t0;
    double span;
};

// Newton with x = (Tf, T0, ln τ), so that τ stays positive.
LeastSquaresProblem newton(const Range& r) {
    LeastSquaresProblem problem{3, r.t.size(), {}, {}};
    problem.residuals = [r](std::span<const double> x, std::span<double> f) {
        const double rate = 1.0 / clampedExp(x[2]);
        for (std::size_t i = 0; i < r.t.size(); ++i) {
            f[i] = x[0] + (x[1] - x[0]) * std::exp(-(r.t[i] - r.t0) * rate) - r.y[i];
        }
    };
    problem.jacobian = [r](std::span<const double> x, std::span<double> j) {
        const double rate = 1.0 / clampedExp(x[2]);
        for (std::size_t i = 0; i < r.t.size(); ++i) {
            const double s = (r.t[i] - r.t0) * rate;
            const double decay = std::exp(-s);
            j[3 * i] = 1.0 - decay;
            j[3 * i + 1] = decay;
            j[3 * i + 2] = (x[1] - x[0]) * decay * s; // ∂/∂ln τ = τ ∂/∂τ
        }
    };
    return problem;
}

// The free exponential with x = (a, β, c), β = b·span: the time in units of the range keeps
// the three parameters of like sizes for the solver.
LeastSquaresProblem exponential(const Range& r) {
    LeastSquaresProblem problem{3, r.t.size(), {}, {}};
    problem.residuals = [r](std::span<const double> x, std::span<double> f) {
        for (std::size_t i = 0; i < r.t.size(); ++i) {
            f[i] = x[0] * clampedExp(x[1] * (r.t[i] - r.t0) / r.span) + x[2] - r.y[i];
        }
    };
    problem.jacobian = [r](std::span<const double> x, std::span<double> j) {
        for (std::size_t i = 0; i < r.t.size(); ++i) {
            const double s = (r.t[i] - r.t0) / r.span;
            const double e = clampedExp(x[1] * s);
            j[3 * i] = e;
            j[3 * i + 1] = x[0] * s * e;
            j[3 * i + 2] = 1.0;
        }
    };
    return problem;
}

// The first start that converges.
std::optional<LeastSquaresSolution> firstSolved(const LeastSquaresProblem& problem,
                                                const std::vector<std::vector<double>>& starts) {
    for (const std::vector<double>& start : starts) {
        if (auto solution = solveLeastSquares(problem, start)) {
            return solution;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<LeastSquaresSolution> fitNewton(std::span<const double> t, std::span<const double> y,
                                              const Outline& shape) {
    const Range range{t, y, t.front(), t.back() - t.front()};
    std::vector<std::vector<double>> starts;
    if (shape.exponential && shape.exponential->b < 0) {
        const ThreePointExponential& e = *shape.exponential;
        starts.push_back({e.c, e.a + e.c, std::log(-1.0 / e.b)});
    }
    starts.push_back({y.back(), y.front(), std::log(range.span / 2.0)});
    starts.push_back({y.back(), y.front(), std::log(range.span)});
    auto solution = firstSolved(newton(range), starts);
    if (solution) {
        const double tau = std::exp(solution->x[2]);
        solution->x[2] = tau;
        solution->uncertainty[2] *= tau;
    }
    return solution;
}

std::optional<LeastSquaresSolution>
fitExponential(std::span<const double> t, std::span<const double> y, const Outline& shape) {
    const Range range{t, y, t.front(), t.back() - t.front()};
    std::vector<std::vector<double>> starts;
    if (shape.exponential) {
        const ThreePointExponential& e = *shape.exponential;
        starts.push_back({e.a, e.b * range.span, e.c});
    }
    starts.push_back({y.front() - y.back(), -2.0, y.back()});
    starts.push_back({y.back() - y.front(), 2.0, y.front()});
    auto solution = firstSolved(exponential(range), starts);
    if (solution) {
        solution->x[1] /= range.span;
        solution->uncertainty[1] /= range.span;
    }
    return solution;
}

} // namespace thermo
