#include "analysis/cooling_fit.h"
#include "core/failure.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace thermo {
namespace {

struct Series {
    std::vector<double> seconds;
    std::vector<double> celsius;
};

// Newton's law sampled every `step` seconds from t = 100 s, with Gaussian noise.
Series newton(double final, double initial, double tau, double span, double step, double noise) {
    std::mt19937 random(120);
    std::normal_distribution<double> scatter(0.0, 1.0);
    Series s;
    for (double t = 0.0; t <= span; t += step) {
        s.seconds.push_back(100.0 + t);
        s.celsius.push_back(final + (initial - final) * std::exp(-t / tau) +
                            noise * scatter(random));
    }
    return s;
}

TEST(CoolingFit, RecoversTheLawsValuesWithinTheirUncertainties) {
    const struct {
        const char* name;
        double final, initial, tau, span, noise;
    } rows[] = {{"CoolingToTheRoom", 20.0, 80.0, 120.0, 600.0, 0.05},
                {"WarmingInAHotBath", 80.0, 20.0, 120.0, 600.0, 0.05},
                {"OnlyTheStartOfTheCurve", 20.0, 60.0, 300.0, 200.0, 0.05},
                {"Noiseless", 4.0, 37.0, 45.0, 300.0, 0.0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Series s = newton(row.final, row.initial, row.tau, row.span, 0.1, row.noise);
        const CoolingFit fit = fitCooling(s.seconds, s.celsius);
        // Four standard uncertainties, and a floor for the noiseless row.
        EXPECT_NEAR(fit.finalCelsius, row.final, 4.0 * fit.finalUncertainty + 1e-6);
        EXPECT_NEAR(fit.initialCelsius, row.initial, 4.0 * fit.initialUncertainty + 1e-6);
        EXPECT_NEAR(fit.tauSeconds, row.tau, 4.0 * fit.tauUncertainty + 1e-6);
        EXPECT_NEAR(fit.rmsCelsius, row.noise, 0.1 * row.noise + 1e-6);
        EXPECT_LE(fit.tauUncertainty, 0.05 * row.tau);
        EXPECT_TRUE(row.noise == 0.0 || fit.tauUncertainty > 0.0);
    }
}

TEST(CoolingFit, RefusesWhatItCannotModelAndSaysWhy) {
    const struct {
        const char* name;
        Series series;
        const char* says;
    } rows[] = {
        {"FewPoints", newton(20.0, 80.0, 120.0, 400.0, 50.0, 0.0), "trop courte"},
        {"ShortTime", newton(20.0, 80.0, 1.0, 2.0, 0.1, 0.0), "trop courte"},
        {"ChangeWithinTheNoise", newton(20.0, 20.1, 120.0, 600.0, 0.1, 0.1), "trop plate"},
        {"StraightLineNeverConverges", newton(-1e6, 25, 1e8, 600, 0.1, 0.01), "ne converge pas"},
        {"TimesOutOfOrder", {{0, 1, 2, 3, 4, 5, 6, 7, 8, 3}, std::vector(10, 1.0)}, "instants"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            ADD_FAILURE() << "fitted tau "
                          << fitCooling(row.series.seconds, row.series.celsius).tauSeconds;
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), FailureKind::InvalidArgument);
            EXPECT_NE(std::string(f.what()).find(row.says), std::string::npos) << f.what();
        }
    }
}

} // namespace
} // namespace thermo
