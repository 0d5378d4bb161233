#include "core/calibration.h"
#include "core/calibration_sampler.h"
#include "core/calibration_texts.h"
#include "core/failure.h"
#include "core/thermistor.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace thermo {
namespace {

// A thermistor following 1/T = 1/298 + ln(R/A)/B, T = °C + 273, read with relative noise.
std::vector<CalibrationPoint> points(std::vector<double> cs, double a, double b, double noise) {
    std::mt19937 random(4275);
    std::normal_distribution<double> scatter(0.0, 1.0);
    std::vector<CalibrationPoint> result;
    for (const double c : cs) {
        const double ohms = a * std::exp(b * (1.0 / (c + 273.0) - 1.0 / 298.0));
        result.push_back({c, ohms * (1.0 + noise * scatter(random))});
    }
    return result;
}

TEST(CalibrationFit, RecoversAAndBAndTheirTextsReproduceTheReferences) {
    const struct {
        const char* name;
        std::vector<double> celsius;
        double a, b, noise, relativeTolerance;
    } rows[] = {{"TwoPointsExact", {0.0, 50.0}, 10000.0, 3977.0, 0.0, 1e-9},
                {"NoisyReadings", {-10, 0, 10, 20, 30, 40, 50, 60, 70, 80}, 1e4, 4275, 3e-3, 0.01}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto measured = points(row.celsius, row.a, row.b, row.noise);
        const BParameterFit fit = fitBParameter(measured);
        EXPECT_NEAR(fit.a / row.a, 1.0, row.relativeTolerance);
        EXPECT_NEAR(fit.b / row.b, 1.0, row.relativeTolerance);
        ASSERT_EQ(fit.deviationsCelsius.size(), measured.size());
        for (const NumberLocale& locale : {NumberLocale{"."}, NumberLocale{","}}) {
            const CalibrationTexts texts = calibrationTexts(fit, locale);
            // Few digits, as a user would type them, yet the texts give each point's
            // temperature through the measurement's own reading of the dialog.
            EXPECT_LE(texts.a.size() + texts.b.size(), 14u) << texts.a << " " << texts.b;
            for (std::size_t i = 0; i < measured.size(); ++i) {
                const double uth = 5.0 * measured[i].ohms / (10000.0 + measured[i].ohms);
                const double shown =
                    thermistorTemperature(uth, 5.0, "10000", texts.a, texts.b, locale);
                EXPECT_NEAR(shown, measured[i].celsius + fit.deviationsCelsius[i], 0.01);
                EXPECT_NEAR(shown, measured[i].celsius, row.noise == 0.0 ? 0.1 : 1.0);
            }
        }
    }
}

using Clock = Reading::Clock;
using std::chrono::milliseconds;

Reading reading(int ms, double uth, double ut) {
    return {Clock::time_point(milliseconds(ms)), {}, uth, ut, {}, !supplyHighEnough(ut), {}, {}};
}

TEST(CalibrationSampler, AveragesTheResistanceOverTheLastSecondOnly) {
    CalibrationSampler sampler;
    for (int tick = 0; tick < 30; ++tick) {
        // Two seconds at 1 V, then 2 V and 3 V by turns: 6666.7 Ω and 15000 Ω with 10 kΩ.
        sampler.add(reading(tick * 100, tick < 20 ? 1.0 : 2.0 + tick % 2, 5.0));
    }
    EXPECT_NEAR(
        sampler.meanOhms(Clock::time_point(milliseconds(2950)), "4 700,0", NumberLocale{","}),
        0.47 * (20000.0 / 3.0 + 15000.0) / 2.0, 1e-6);
}

// A sampler holding a sound reading at 0.5 s and then `latest`, asked at `now` ms.
double sampled(Reading latest, const char* r, int now) {
    CalibrationSampler sampler;
    sampler.add(reading(500, 2.5, 5.0));
    sampler.add(latest);
    return sampler.meanOhms(Clock::time_point(milliseconds(now)), r, {","});
}

double failedLatest() {
    Reading r = reading(600, 2.5, 5.0);
    r.failure = ReadingFailure{FailureKind::AcquisitionFailed, "Interface débranchée"};
    return sampled(r, "1e4", 1000);
}

double fitted(std::vector<CalibrationPoint> points) {
    return fitBParameter(points).b;
}

TEST(CalibrationRefused, GivesNoValue) {
    constexpr auto mismatch = FailureKind::TypeMismatch;
    constexpr auto invalid = FailureKind::InvalidArgument;
    const struct {
        const char* name;
        double (*attempt)();
        FailureKind kind;
        const char* message = nullptr; // none where only the kind is fixed
    } rows[] = {{"NoPoint", [] { return fitted({}); }, invalid},
                {"OneTemperatureTwice",
                 [] {
                     return fitted({{25, 1e4}, {25, 9e3}});
                 },
                 invalid},
                {"ZeroOhms",
                 [] {
                     return fitted({{0, 3e4}, {50, 0}});
                 },
                 invalid},
                {"AbsoluteZero",
                 [] {
                     return fitted({{-273, 1e9}, {50, 3e3}});
                 },
                 invalid},
                {"ResistanceRisingWithHeat",
                 [] {
                     return fitted({{0, 3e3}, {50, 3e4}});
                 },
                 invalid},
                {"RNotANumber", [] { return sampled(reading(600, 2.5, 5), "10k", 1000); }, mismatch,
                 "Le paramètre R n'est pas un nombre"},
                {"RNegative", [] { return sampled(reading(600, 2.5, 5), "-1e4", 1000); }, invalid,
                 "Rth négative ou nulle : vérifiez le montage et R"},
                {"NothingInTheLastSecond",
                 [] { return sampled(reading(600, 2.5, 5), "1e4", 1600); }, invalid,
                 "Aucune mesure depuis une seconde : vérifiez l'interface"},
                {"LatestFailed", failedLatest, invalid, "Relevé impossible : Interface débranchée"},
                {"LatestLowSupply", [] { return sampled(reading(600, 2.5, 4.9), "1e4", 1000); },
                 invalid, "Relevé impossible : augmentez la tension d'alimentation"},
                {"ReferenceLetters", [] { return parseReferenceCelsius("vingt", {","}); }, mismatch,
                 "La température de référence n'est pas un nombre"},
                {"ReferenceTooLarge", [] { return parseReferenceCelsius("1e999", {","}); },
                 FailureKind::Overflow, "La température de référence est trop grande"},
                {"ReferenceAtAbsoluteZero", [] { return parseReferenceCelsius("-273", {","}); },
                 invalid, "La température de référence doit dépasser \u2212273 \u00B0C"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            ADD_FAILURE() << "gave " << row.attempt();
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), row.kind) << f.what();
            if (row.message != nullptr) {
                EXPECT_STREQ(f.what(), row.message);
            }
        }
    }
}

} // namespace
} // namespace thermo
