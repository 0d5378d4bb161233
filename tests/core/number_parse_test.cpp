#include "core/failure.h"
#include "core/number_parse.h"
#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <random>
#include <string>

namespace thermo {
namespace {

const NumberLocale point{"."};
const NumberLocale comma{","};

struct AcceptedRow {
    const char* name;
    const char* text;
    NumberLocale locale;
    double value;
    friend void PrintTo(const AcceptedRow& row, std::ostream* os) { *os << row.name; }
};

class ParseAccepted : public testing::TestWithParam<AcceptedRow> {};

TEST_P(ParseAccepted, GivesTheNumber) {
    EXPECT_EQ(parseNumber(GetParam().text, GetParam().locale), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseAccepted,
    testing::Values(
        AcceptedRow{"Digits", "4275", point, 4275.0},
        AcceptedRow{"SpacesAround", "  10000 \t", point, 10000.0},
        AcceptedRow{"PlusSign", "+5", point, 5.0}, AcceptedRow{"MinusSign", "-5", point, -5.0},
        AcceptedRow{"Fraction", "2.5", point, 2.5}, AcceptedRow{"SeparatorFirst", ".5", point, 0.5},
        AcceptedRow{"SeparatorLast", "5.", point, 5.0},
        AcceptedRow{"CommaFraction", "2,5", comma, 2.5},
        AcceptedRow{"CommaFirst", ",5", comma, 0.5}, AcceptedRow{"CommaLast", "5,", comma, 5.0},
        AcceptedRow{"MultiByteSeparator", "2\u066B5", NumberLocale{"\u066B"}, 2.5},
        AcceptedRow{"Exponent", "1e3", point, 1000.0},
        AcceptedRow{"CapitalExponent", "1E3", point, 1000.0},
        AcceptedRow{"SignedExponent", "1e+3", point, 1000.0},
        AcceptedRow{"NegativeExponent", "25e-1", point, 2.5},
        AcceptedRow{"EverythingAtOnce", " -,5E1 ", comma, -5.0},
        AcceptedRow{"CorrectlyRounded", "4.9", point, 4.9},
        AcceptedRow{"OwnExponentForm", "1,5E+15", comma, 1.5e15},
        AcceptedRow{"UnderflowIsZero", "1e-400", point, 0.0},
        AcceptedRow{"GroupedBySpace", "10 000", point, 10000.0},
        AcceptedRow{"GroupedByNoBreakSpace", " -10\u00A0000,5 ", comma, -10000.5},
        AcceptedRow{"GroupedByNarrowSpaces", "1\u202F234 567,5E1", comma, 12345675.0},
        AcceptedRow{"LongZeroFraction",
                    "0.00000000000000000000000000000000000000000000000000000000000000"
                    "000000000000000000000000000000000000000000000000000000000000000000"
                    "000000000000000000000000000000000000000000000000000000000000000000"
                    "000000000000000000000000000000000000000000000000000000000000000000"
                    "000000000000000000000000000000000000000000000000000000000000000000"
                    "00000000000000000000000000000000000000000000000000000000001",
                    point, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

struct RejectedRow {
    const char* name;
    const char* text;
    NumberLocale locale;
    FailureKind kind;
    friend void PrintTo(const RejectedRow& row, std::ostream* os) { *os << row.name; }
};

class ParseRejected : public testing::TestWithParam<RejectedRow> {};

TEST_P(ParseRejected, RaisesItsKind) {
    try {
        const double value = parseNumber(GetParam().text, GetParam().locale);
        FAIL() << "parsed as " << value;
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), GetParam().kind);
        EXPECT_STREQ(f.what(), GetParam().kind == FailureKind::Overflow
                                   ? "Nombre trop grand"
                                   : "Ce texte n'est pas un nombre");
    }
}

const std::string manyNines(400, '9');
constexpr auto mismatch = FailureKind::TypeMismatch;
constexpr auto overflow = FailureKind::Overflow;

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseRejected,
    testing::Values(RejectedRow{"Empty", "", point, mismatch},
                    RejectedRow{"OnlySpaces", "   ", point, mismatch},
                    RejectedRow{"Letters", "abc", point, mismatch},
                    RejectedRow{"NotANumber", "nan", point, mismatch},
                    RejectedRow{"Infinity", "inf", point, mismatch},
                    RejectedRow{"InfinityLong", "-Infinity", point, mismatch},
                    RejectedRow{"Hexadecimal", "0x10", point, mismatch},
                    RejectedRow{"HexadecimalFloat", "0x1p3", point, mismatch},
                    RejectedRow{"ExponentWithoutDigits", "1e", point, mismatch},
                    RejectedRow{"ExponentSignOnly", "1e+", point, mismatch},
                    RejectedRow{"ExponentOnly", "e5", point, mismatch},
                    RejectedRow{"SeparatorAlone", ".", point, mismatch},
                    RejectedRow{"TwoSeparators", "1.2.3", point, mismatch},
                    RejectedRow{"OtherLocalesSeparator", "2.5", comma, mismatch},
                    RejectedRow{"NoGroupingWithComma", "1,000", point, mismatch},
                    RejectedRow{"GroupOfOne", "1 0", point, mismatch},
                    RejectedRow{"GroupOfTwo", "10 00", comma, mismatch},
                    RejectedRow{"GroupOfFour", "1 0000", point, mismatch},
                    RejectedRow{"FirstGroupOfFour", "1000 000", point, mismatch},
                    RejectedRow{"TwoSpacesBetweenGroups", "1  000", point, mismatch},
                    RejectedRow{"GroupedByTab", "1\t000", point, mismatch},
                    RejectedRow{"GroupedFraction", "0,123 456", comma, mismatch},
                    RejectedRow{"SpaceAfterSign", "- 5", point, mismatch},
                    RejectedRow{"TrailingSign", "5-", point, mismatch},
                    RejectedRow{"DoubleSign", "+-5", point, mismatch},
                    RejectedRow{"FractionalExponent", "1e5.5", point, mismatch},
                    RejectedRow{"WithUnit", "10000 ohm", point, mismatch},
                    RejectedRow{"NonAsciiDigits", "\u0661\u0662", point, mismatch},
                    RejectedRow{"BeyondDouble", "1e400", point, overflow},
                    RejectedRow{"NegativeBeyondDouble", "-1e400", point, overflow},
                    RejectedRow{"HugeExponent", "1e99999999999999999999", point, overflow},
                    RejectedRow{"ManyDigits", manyNines.c_str(), point, overflow}),
    [](const auto& info) { return std::string(info.param.name); });

// Parsing the general text of a number gives the number back to 15 significant digits.
TEST(ParseRoundTrip, NumberTextReadsBackInBothSeparators) {
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> exponent(-30, 40);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    for (int i = 0; i < 20000; ++i) {
        const double x = mantissa(random) * std::pow(10.0, exponent(random));
        char buffer[40];
        const auto end =
            std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14).ptr;
        double expected = 0.0;
        std::from_chars(buffer, end, expected);
        for (const auto& locale : {point, comma}) {
            ASSERT_EQ(parseNumber(numberText(x, locale), locale), expected)
                << numberText(x, locale);
        }
    }
}

} // namespace
} // namespace thermo
