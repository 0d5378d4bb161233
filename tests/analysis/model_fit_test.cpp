#include "analysis/model_fit.h"
#include "analysis/tangent.h"
#include "core/code_conversion.h"
#include "core/failure.h"

#include <chrono>
#include <cmath>
#include <functional>
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

using Law = std::function<double(double)>;

// `law` sampled every `step` seconds over [from, from + span], with Gaussian noise, rounded to
// a tenth of a degree as the program shows and saves readings (unless noiseless).
Series sampled(const Law& law, double from, double span, double noise, double step = 0.1) {
    std::mt19937 random(120);
    std::normal_distribution<double> scatter(0.0, 1.0);
    Series s;
    for (int i = 0; from + i * step <= from + span + 1e-9; ++i) {
        const double t = from + i * step;
        const double y = law(t) + noise * scatter(random);
        s.seconds.push_back(t);
        s.celsius.push_back(noise > 0 ? roundHalfEven(y, 1) : y);
    }
    return s;
}

Law newton(double final, double initial, double tau, double t0) {
    return [=](double t) { return final + (initial - final) * std::exp(-(t - t0) / tau); };
}

// The bench held at 25 °C, set to 80 °C at t = 60 s, left to cool toward the room (20 °C,
// τ = 120 s) from t = 63 s: "Tout voir" then "Modéliser" over all of it.
Law benchJump() {
    return [](double t) { return t < 60 ? 25.0 : t < 63 ? 80.0 : newton(20, 80, 120, 63)(t); };
}

ModelFit fit(ModelKind kind, const Series& s) {
    return fitModel(kind, s.seconds, s.celsius, NumberLocale{","});
}

TEST(ModelFit, RecoversKnownLawsWithinTheirUncertainties) {
    const struct {
        const char* name;
        ModelKind kind;
        Series series;
        std::vector<double> truth;
        double noise;
    } rows[] = {
        {"NewtonCooling",
         ModelKind::Newton,
         sampled(newton(20, 80, 120, 100), 100, 600, 0.05),
         {20, 80, 120},
         0.05},
        {"NewtonWarmingInABath",
         ModelKind::Newton,
         sampled(newton(80, 20, 120, 100), 100, 600, 0.05),
         {80, 20, 120},
         0.05},
        {"NewtonStartOfTheCurve",
         ModelKind::Newton,
         sampled(newton(20, 60, 300, 0), 0, 200, 0.05),
         {20, 60, 300},
         0.05},
        {"NewtonNoiseless",
         ModelKind::Newton,
         sampled(newton(4, 37, 45, 10), 10, 300, 0),
         {4, 37, 45},
         0},
        {"NewtonFastButSmooth",
         ModelKind::Newton,
         sampled(newton(20, 80, 1.5, 5), 5, 20, 0.05),
         {20, 80, 1.5},
         0.05},
        {"ExponentialRelaxation",
         ModelKind::Exponential,
         sampled(newton(21, 78, 420, 30), 30, 1800, 0.05),
         {57, -1.0 / 420, 21},
         0.05},
        {"ExponentialGrowth",
         ModelKind::Exponential,
         sampled([](double t) { return 2.0 * std::exp(t / 100) + 18; }, 0, 200, 0.05),
         {2, 0.01, 18},
         0.05},
        {"Affine",
         ModelKind::Affine,
         sampled([](double t) { return -0.05 * t + 70; }, 200, 300, 0.05),
         {-0.05, 70},
         0.05},
        {"Linear",
         ModelKind::Linear,
         sampled([](double t) { return 0.2 * t; }, 100, 60, 0.05),
         {0.2},
         0.05},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ModelFit f = fit(row.kind, row.series);
        EXPECT_EQ(f.remark, "");
        ASSERT_EQ(f.model.parameters.size(), row.truth.size());
        for (std::size_t k = 0; k < row.truth.size(); ++k) {
            const ModelParameter& p = f.model.parameters[k];
            SCOPED_TRACE(p.name);
            // Four standard uncertainties, and a floor for the noiseless row.
            EXPECT_NEAR(p.value, row.truth[k], 4 * p.uncertainty + 1e-6);
            EXPECT_TRUE(row.noise == 0 || p.uncertainty > 0);
        }
        // The rounding to a tenth adds its own scatter, 0.029 °C.
        EXPECT_NEAR(f.model.rmsCelsius, std::hypot(row.noise, row.noise > 0 ? 0.029 : 0),
                    0.15 * row.noise + 1e-6);
        EXPECT_EQ(f.model.fromSeconds, row.series.seconds.front());
        EXPECT_EQ(f.model.toSeconds, row.series.seconds.back());
    }
}

// The bench's jump is no cooling: the model is fitted to the cooling after it, and says so.
TEST(ModelFit, FitsBesideAStepAndSaysSo) {
    const ModelFit f = fit(ModelKind::Newton, sampled(benchJump(), 0, 660, 0.05));
    EXPECT_EQ(f.remark.rfind("Saut de 25,0 à 80,0 °C à t = 60,0 s ; le modèle est ajusté sans lui, "
                             "de t = 6",
                             0),
              0u)
        << f.remark;
    // From where the temperature leaves the 80 °C it was set to.
    EXPECT_GE(f.model.t0Seconds, 63.0);
    EXPECT_LE(f.model.t0Seconds, 64.5);
    const ModelParameter& tau = f.model.parameters[2];
    EXPECT_NEAR(tau.value, 120, 4 * tau.uncertainty);
}

TEST(ModelFit, RefusesWhatTheReadingsDoNotSupport) {
    const Law flat = [](double) { return 20.0; };
    const Law jumpAtTheEnd = [](double t) { return t < 12 ? 25.0 : 80.0; };
    const Law jumpInTheMiddle = [](double t) {
        return t < 4.5 ? 25.0 : newton(20, 80, 120, 4.5)(t);
    };
    const struct {
        const char* name;
        std::vector<ModelKind> kinds;
        Series series;
        const char* says;
    } rows[] = {
        {"FewReadings",
         {modelKinds.begin(), modelKinds.end()},
         sampled(newton(20, 80, 120, 0), 0, 400, 0, 50),
         "Plage trop courte"},
        {"ShortTime",
         {modelKinds.begin(), modelKinds.end()},
         sampled(newton(20, 80, 1, 0), 0, 2, 0.05),
         "Plage trop courte"},
        {"Flat",
         {modelKinds.begin(), modelKinds.end()},
         sampled(flat, 0, 600, 0.05),
         "Plage trop plate"},
        {"ChangeWithinTheNoise",
         {ModelKind::Newton},
         sampled(newton(20, 20.1, 120, 0), 0, 600, 0.1),
         "Plage trop plate"},
        {"StepWithTooLittleBesideIt",
         {modelKinds.begin(), modelKinds.end()},
         sampled(jumpInTheMiddle, 0, 9, 0.05),
         "Saut de 25,0 à 79,9 °C à t = 4,5 s : de part"},
        {"FlatBesideAStep",
         {modelKinds.begin(), modelKinds.end()},
         sampled(jumpAtTheEnd, 0, 13.5, 0.05),
         "Saut de 25,0 à 80,0 °C à t = 12,0 s ; sans lui, de t = 0,0 s à 11,9 s, plage trop plate"},
        {"TauBeyondTenRanges",
         {ModelKind::Newton, ModelKind::Exponential},
         sampled(newton(-1e3, 25, 1e5, 0), 0, 600, 0.05),
         "plus de dix fois la durée"},
        {"LineOnACurve",
         {ModelKind::Affine, ModelKind::Linear},
         sampled(newton(20, 80, 120, 0), 0, 600, 0.05),
         "il ne décrit pas ces mesures"},
        {"TauNotDetermined",
         {ModelKind::Newton},
         sampled(newton(20, 25, 600, 0), 0, 120, 0.2),
         "ne déterminent pas τ"},
        {"TimesOutOfOrder",
         {ModelKind::Newton},
         {{0, 1, 2, 3, 4, 5, 6, 7, 8, 3}, std::vector(10, 1.0)},
         "instants dans le désordre"},
    };
    for (const auto& row : rows) {
        for (const ModelKind kind : row.kinds) {
            SCOPED_TRACE(std::string(row.name) + " " + modelKindName(kind));
            try {
                const ModelFit f = fit(kind, row.series);
                ADD_FAILURE() << "fitted " << f.model.parameters.front().value << " " << f.remark;
            } catch (const Failure& refusal) {
                EXPECT_EQ(refusal.kind(), FailureKind::InvalidArgument);
                EXPECT_NE(std::string(refusal.what()).find(row.says), std::string::npos)
                    << refusal.what();
            }
        }
    }
}

// The slope of T = 20 + 60·e^(−t/120) read from noisy readings, in the middle of the run and
// at its two ends, where the window has one side only.
TEST(Tangent, SlopeOfAKnownExponential) {
    SessionSeries series;
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 0.05);
    for (int i = 0; i <= 6000; ++i) {
        Reading r;
        r.time = Reading::Clock::time_point{} + std::chrono::milliseconds(100 * i);
        r.celsius = newton(20, 80, 120, 0)(i / 10.0) + noise(random);
        if (i % 50 != 49) { // a failed tick now and then: a gap
            series.append(r);
        }
    }
    for (const double t : {0.0, 150.0, 300.0, 600.0}) {
        SCOPED_TRACE(t);
        for (const double halfWidth : {2.0, 10.0}) {
            const auto tangent = tangentAt(series, t, halfWidth);
            ASSERT_TRUE(tangent.has_value());
            const double truth = -60.0 / 120 * std::exp(-t / 120);
            EXPECT_NEAR(tangent->slope, truth, 4 * tangent->slopeUncertainty);
            // Noise-robust: a difference of two readings would scatter by 0.8 °C/s.
            EXPECT_LT(tangent->slopeUncertainty, t == 150 || t == 300 ? 0.02 : 0.1);
            EXPECT_NEAR(tangent->celsius, newton(20, 80, 120, 0)(t), 0.1);
        }
    }
    EXPECT_FALSE(tangentAt(series, 700, 10).has_value()); // beyond the readings
}

} // namespace
} // namespace thermo
