#include "core/failure.h"
#include "core/number_text.h"
#include "core/thermistor.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace thermo {
namespace {

TEST(SupplyTest, StrictlyAboveFourPointNine) {
    EXPECT_FALSE(supplyHighEnough(4.9));
    EXPECT_FALSE(supplyHighEnough(0.0));
    EXPECT_TRUE(supplyHighEnough(4.901));
    EXPECT_TRUE(supplyHighEnough(5.0));
}

struct TemperatureRow {
    const char* name;
    double uth;
    double ut;
    double expected;
    const char* shown;
    friend void PrintTo(const TemperatureRow& row, std::ostream* os) { *os << row.name; }
};

class Temperature : public testing::TestWithParam<TemperatureRow> {};

TEST_P(Temperature, DefaultParameters) {
    const auto& row = GetParam();
    const double t = thermistorTemperature(row.uth, row.ut, "10000", "10000", "4275");
    EXPECT_NEAR(t, row.expected, 1e-4);
    EXPECT_EQ(temperatureText(t), row.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Temperature,
    testing::Values(TemperatureRow{"HalfSupplyIs25", 2.5, 5.0, 25.0, "25 \u00B0C"},
                    TemperatureRow{"Warmer", 2.0, 5.0, 33.6677, "33.7 \u00B0C"},
                    TemperatureRow{"Colder", 3.0, 5.0, 16.8088, "16.8 \u00B0C"},
                    TemperatureRow{"Hot", 1.0, 5.0, 56.8778, "56.9 \u00B0C"},
                    // The smallest Uth that is not taken for a short circuit.
                    TemperatureRow{"JustAboveShortCircuit", 0.011, 5.0, 246.5331, "246.5 \u00B0C"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TemperatureExactness, HalfSupplyGivesExactly25) {
    EXPECT_EQ(thermistorTemperature(2.5, 5.0, "10000", "10000", "4275"), 25.0);
}

TEST(TemperatureLocale, ParametersUseTheLocalesSeparator) {
    const NumberLocale comma{","};
    EXPECT_NEAR(thermistorTemperature(2.0, 5.0, "10000,0", " 10000 ", "4275,", comma), 33.6677,
                1e-4);
    EXPECT_NEAR(thermistorTemperature(2.0, 5.0, "10 000", "10\u00A0000,0", "4\u202F275", comma),
                33.6677, 1e-4);
}

struct FailureRow {
    const char* name;
    double uth;
    double ut;
    const char* r;
    const char* a;
    const char* b;
    FailureKind kind;
    const char* message;
    NumberLocale locale = {};
    friend void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.name; }
};

class TemperatureFailure : public testing::TestWithParam<FailureRow> {};

TEST_P(TemperatureFailure, RaisesItsKindAndNamesTheCause) {
    const auto& row = GetParam();
    try {
        const double t = thermistorTemperature(row.uth, row.ut, row.r, row.a, row.b, row.locale);
        FAIL() << "computed " << t;
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), row.kind);
        EXPECT_STREQ(f.what(), row.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TemperatureFailure,
    testing::Values(
        FailureRow{"OpenThermistor", 5.0, 5.0, "10000", "10000", "4275",
                   FailureKind::DivisionByZero, "Uth = Ut : thermistance coupée ou fil débranché"},
        FailureRow{"ShortCircuit", 0.0, 5.0, "10000", "10000", "4275", FailureKind::InvalidArgument,
                   "Uth = 0 V : thermistance en court-circuit"},
        // The converter's noise around 0 V, of either sign.
        FailureRow{"ShortWithinNoise", 0.001, 5.0, "10000", "10000", "4275",
                   FailureKind::InvalidArgument, "Uth = 0 V : thermistance en court-circuit"},
        FailureRow{"ShortNoiseBelowZero", -0.001, 5.0, "10000", "10000", "4275",
                   FailureKind::InvalidArgument, "Uth = 0 V : thermistance en court-circuit"},
        FailureRow{"ShortAtTheThreshold", 0.010, 5.0, "10000", "10000", "4275",
                   FailureKind::InvalidArgument, "Uth = 0 V : thermistance en court-circuit"},
        FailureRow{"UthAboveUt", 10.0, 5.0, "10000", "10000", "4275", FailureKind::InvalidArgument,
                   "Tensions incohérentes : vérifiez le montage"},
        FailureRow{"NegativeUth", -10.0, 5.0, "10000", "10000", "4275",
                   FailureKind::InvalidArgument, "Tensions incohérentes : vérifiez le montage"},
        FailureRow{"ZeroR", 2.5, 5.0, "0", "10000", "4275", FailureKind::InvalidArgument,
                   "Rth/A négatif ou nul : vérifiez R et A"},
        FailureRow{"NegativeA", 2.5, 5.0, "10000", "-10000", "4275", FailureKind::InvalidArgument,
                   "Rth/A négatif ou nul : vérifiez R et A"},
        FailureRow{"ZeroA", 2.5, 5.0, "10000", "0", "4275", FailureKind::DivisionByZero,
                   "Le paramètre A est nul : division par zéro"},
        FailureRow{"ZeroB", 2.5, 5.0, "10000", "10000", "0", FailureKind::InvalidArgument,
                   "Le paramètre B doit être positif"},
        FailureRow{"NegativeB", 2.0, 5.0, "10000", "10000", "-4275", FailureKind::InvalidArgument,
                   "Le paramètre B doit être positif"},
        FailureRow{"BelowAbsoluteZero", 0.1, 5.0, "10000", "10000", "1000",
                   FailureKind::InvalidArgument,
                   "Température sous le zéro absolu : vérifiez R, A et B"},
        FailureRow{"RNotANumber", 2.5, 5.0, "abc", "10000", "4275", FailureKind::TypeMismatch,
                   "Le paramètre R n'est pas un nombre"},
        FailureRow{"RWithAPointForAComma", 2.5, 5.0, " 1.5e4 ", "10000", "4275",
                   FailureKind::TypeMismatch, "Le paramètre R s'écrit avec une virgule : 1,5e4",
                   NumberLocale{","}},
        FailureRow{"RGroupedByAPoint", 2.5, 5.0, "10.000", "10000", "4275",
                   FailureKind::TypeMismatch, "Le paramètre R n'est pas un nombre",
                   NumberLocale{","}},
        FailureRow{"BWithACommaForAPoint", 2.5, 5.0, "10000", "10000", "3977,5",
                   FailureKind::TypeMismatch, "Le paramètre B s'écrit avec un point : 3977.5"},
        FailureRow{"AEmpty", 2.5, 5.0, "10000", "", "4275", FailureKind::TypeMismatch,
                   "Le paramètre A est vide"},
        FailureRow{"BEmpty", 2.5, 5.0, "10000", "10000", "", FailureKind::TypeMismatch,
                   "Le paramètre B est vide"},
        FailureRow{"BSpacesOnly", 2.5, 5.0, "10000", "10000", " \t ", FailureKind::TypeMismatch,
                   "Le paramètre B est vide", NumberLocale{","}},
        FailureRow{"RBeyondDouble", 2.5, 5.0, "1e400", "10000", "4275", FailureKind::Overflow,
                   "Le paramètre R est trop grand"},
        FailureRow{"RthOverflows", 4.0, 5.0, "1e308", "10000", "4275", FailureKind::Overflow,
                   "Dépassement de capacité dans le calcul"},
        FailureRow{"NumeratorOverflows", 2.0, 5.0, "10000", "10000", "1e307", FailureKind::Overflow,
                   "Dépassement de capacité dans le calcul"}),
    [](const auto& info) { return std::string(info.param.name); });

// Parameters are read where the formula first needs them, so the first failing step wins.
TEST(TemperatureFailureOrder, FollowsTheOrderOfOperations) {
    const auto kindOf = [](double uth, double ut, const char* r, const char* a, const char* b) {
        try {
            thermistorTemperature(uth, ut, r, a, b);
        } catch (const Failure& f) {
            return std::string(f.what());
        }
        return std::string("no failure");
    };
    EXPECT_EQ(kindOf(5.0, 5.0, "abc", "abc", "abc"),
              "Uth = Ut : thermistance coupée ou fil débranché");
    EXPECT_EQ(kindOf(2.5, 5.0, "abc", "abc", "abc"), "Le paramètre R n'est pas un nombre");
    EXPECT_EQ(kindOf(2.5, 5.0, "10000", "abc", "abc"), "Le paramètre A n'est pas un nombre");
    EXPECT_EQ(kindOf(0.0, 5.0, "10000", "10000", "abc"),
              "Uth = 0 V : thermistance en court-circuit");
    EXPECT_EQ(kindOf(0.0, 5.0, "abc", "10000", "4275"), "Le paramètre R n'est pas un nombre");
}

} // namespace
} // namespace thermo
