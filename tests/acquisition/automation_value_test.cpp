#include "acquisition/automation_value.h"
#include "core/failure.h"
#include "tests/support/message_fit.h"

#include <cfenv>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>

namespace thermo {
namespace {

struct Row {
    std::string name;
    AutomationValue value;
    std::optional<std::int32_t> code; // empty when a failure is expected
    FailureKind failure = FailureKind::TypeMismatch;
    std::string separator = ".";
    friend void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }
};

Row ok(std::string name, AutomationValue value, std::int32_t code, std::string separator = ".") {
    return {std::move(name), std::move(value), code, FailureKind::TypeMismatch, separator};
}
Row fails(std::string name, AutomationValue value, FailureKind kind, std::string separator = ".") {
    return {std::move(name), std::move(value), std::nullopt, kind, separator};
}

class Coercion : public testing::TestWithParam<Row> {};

TEST_P(Coercion, GivesTheCodeOrTheFailureOfItsKind) {
    const Row& row = GetParam();
    const NumberLocale locale{row.separator};
    if (row.code) {
        EXPECT_EQ(coerceToInt32(row.value, locale), *row.code);
        return;
    }
    try {
        const std::int32_t code = coerceToInt32(row.value, locale);
        ADD_FAILURE() << "expected a failure, got " << code;
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), row.failure) << failure.what();
    }
}

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Integers, Coercion,
    testing::Values(ok("Code", std::int64_t{40960}, 40960), ok("Zero", std::int64_t{0}, 0),
                    ok("Negative", std::int64_t{-12}, -12),
                    ok("Int32Max", int32Max, std::numeric_limits<std::int32_t>::max()),
                    ok("Int32Min", int32Min, std::numeric_limits<std::int32_t>::min()),
                    fails("AboveInt32Max", int32Max + 1, FailureKind::Overflow),
                    fails("BelowInt32Min", int32Min - 1, FailureKind::Overflow),
                    fails("Int64Max", std::numeric_limits<std::int64_t>::max(),
                          FailureKind::Overflow)),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Doubles, Coercion,
    testing::Values(
        ok("Whole", 49152.0, 49152), ok("BelowHalf", 2.4999, 2), ok("AboveHalf", 2.5001, 3),
        ok("HalfToEvenDown", 2.5, 2), ok("HalfToEvenUp", 3.5, 4), ok("HalfOfZero", 0.5, 0),
        ok("OneAndAHalf", 1.5, 2), ok("NegativeHalfToEven", -2.5, -2),
        ok("NegativeHalfToEvenDown", -3.5, -4), ok("SmallNegative", -0.4, 0),
        ok("LargeHalf", 65534.5, 65534),
        ok("JustBelowTopRoundsDown", 2147483647.4, std::numeric_limits<std::int32_t>::max()),
        fails("TopHalfRoundsOut", 2147483647.5, FailureKind::Overflow),
        ok("BottomHalfRoundsIn", -2147483648.5, std::numeric_limits<std::int32_t>::min()),
        fails("JustBelowBottom", -2147483648.6, FailureKind::Overflow),
        fails("Huge", 1e300, FailureKind::Overflow), fails("NaN", nan, FailureKind::TypeMismatch),
        fails("PlusInfinity", inf, FailureKind::Overflow),
        fails("MinusInfinity", -inf, FailureKind::Overflow)),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Texts, Coercion,
    testing::Values(ok("Integer", std::string("40960"), 40960),
                    ok("PointHalf", std::string("2.5"), 2),
                    ok("CommaHalfInFrench", std::string("2,5"), 2, ","),
                    ok("CommaFractionInFrench", std::string("3,7"), 4, ","),
                    ok("Spaces", std::string(" 17 "), 17), ok("Exponent", std::string("1E3"), 1000),
                    fails("CommaWithPointLocale", std::string("2,5"), FailureKind::TypeMismatch),
                    fails("Letters", std::string("abc"), FailureKind::TypeMismatch),
                    fails("EmptyText", std::string(), FailureKind::TypeMismatch),
                    fails("BeyondInt32", std::string("3000000000"), FailureKind::Overflow),
                    fails("BeyondDouble", std::string("1E400"), FailureKind::Overflow)),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(Nothing, Coercion,
                         testing::Values(fails("Empty", std::monostate{},
                                               FailureKind::TypeMismatch)),
                         [](const auto& info) { return info.param.name; });

// The control may hand back its value while the process rounds upwards or towards zero; the
// halves must still go to the even neighbour.
class RoundingMode : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        saved_ = std::fegetround();
        ASSERT_EQ(std::fesetround(GetParam()), 0);
    }
    void TearDown() override { std::fesetround(saved_); }

private:
    int saved_ = FE_TONEAREST;
};

TEST_P(RoundingMode, DoesNotChangeHalvesToEven) {
    EXPECT_EQ(coerceToInt32(2.5), 2);
    EXPECT_EQ(coerceToInt32(3.5), 4);
    EXPECT_EQ(coerceToInt32(-2.5), -2);
    EXPECT_EQ(coerceToInt32(-3.5), -4);
    EXPECT_EQ(coerceToInt32(2.6), 3);
    EXPECT_EQ(coerceToInt32(-2.6), -3);
    EXPECT_EQ(coerceToInt32(std::string("2,5"), NumberLocale{","}), 2);
}

INSTANTIATE_TEST_SUITE_P(Modes, RoundingMode,
                         testing::Values(FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO),
                         [](const auto& info) {
                             switch (info.param) {
                             case FE_UPWARD:
                                 return std::string("Upward");
                             case FE_DOWNWARD:
                                 return std::string("Downward");
                             default:
                                 return std::string("TowardZero");
                             }
                         });

TEST(CoercionMessages, FitTheTemperatureField) {
    for (const AutomationValue& value :
         {AutomationValue{std::monostate{}}, AutomationValue{nan}, AutomationValue{inf},
          AutomationValue{std::int64_t{1} << 40}}) {
        try {
            coerceToInt32(value);
            ADD_FAILURE() << "expected a failure";
        } catch (const Failure& failure) {
            EXPECT_TRUE(test::fitsTwoShortLines(failure.what())) << failure.what();
        }
    }
}

} // namespace
} // namespace thermo
