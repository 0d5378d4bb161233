#include "core/failure.h"
#include "core/number_text.h"

#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace thermo {
namespace {

const NumberLocale point{"."};
const NumberLocale comma{","};

struct TextRow {
    const char* name;
    double x;
    const char* withPoint;
    const char* withComma;
    friend void PrintTo(const TextRow& row, std::ostream* os) { *os << row.name; }
};

class NumberText : public testing::TestWithParam<TextRow> {};

TEST_P(NumberText, GeneralFormInBothSeparators) {
    const auto& row = GetParam();
    EXPECT_EQ(numberText(row.x, point), row.withPoint);
    EXPECT_EQ(numberText(row.x, comma), row.withComma);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberText,
    testing::Values(TextRow{"Fraction", 2.5, "2.5", "2,5"}, TextRow{"Whole", 5.0, "5", "5"},
                    TextRow{"Negative", -10.0, "-10", "-10"},
                    TextRow{"Millivolts", 2.207, "2.207", "2,207"},
                    TextRow{"LeadingZero", 0.312, "0.312", "0,312"},
                    TextRow{"NegativeZeroHasNoSign", -0.0, "0", "0"},
                    TextRow{"NegativeFraction", -12.3, "-12.3", "-12,3"},
                    TextRow{"SmallWithoutExponent", 0.00001, "0.00001", "0,00001"},
                    TextRow{"FifteenSignificantDigits", 123456789.123456789, "123456789.123457",
                            "123456789,123457"},
                    TextRow{"Third", 1.0 / 3.0, "0.333333333333333", "0,333333333333333"},
                    TextRow{"LargestWithoutExponent", 999999999999999.0, "999999999999999",
                            "999999999999999"},
                    TextRow{"RoundsUpToExponentForm", 999999999999999.9, "1E+15", "1E+15"},
                    TextRow{"ExponentForm", 1.5e15, "1.5E+15", "1,5E+15"},
                    TextRow{"ThreeDigitExponent", -2e300, "-2E+300", "-2E+300"},
                    TextRow{"NoGrouping", 1234567.0, "1234567", "1234567"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberTextFailures, NonFiniteValuesAreAnOverflow) {
    try {
        numberText(std::numeric_limits<double>::infinity());
        FAIL();
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), FailureKind::Overflow);
        EXPECT_STREQ(f.what(), "Dépassement de capacité dans le calcul");
    }
}

TEST(UnitTexts, VoltageAndTemperatureCarryTheirUnits) {
    EXPECT_EQ(voltageText(2.5), "2.5 V");
    EXPECT_EQ(voltageText(2.5, comma), "2,5 V");
    EXPECT_EQ(voltageText(-9.999, comma), "-9,999 V");
    EXPECT_EQ(temperatureText(25.0), "25 \u00B0C");
    EXPECT_EQ(temperatureText(16.808842), "16.8 \u00B0C");
    EXPECT_EQ(temperatureText(33.25), "33.2 \u00B0C");
    EXPECT_EQ(temperatureText(-12.34, comma), "-12,3 \u00B0C");
    EXPECT_EQ(temperatureText(-0.04), "0 \u00B0C");
}

TEST(DecimalText, SignAndDigitsOnly) {
    EXPECT_EQ(decimalText(40000), "40000");
    EXPECT_EQ(decimalText(0), "0");
    EXPECT_EQ(decimalText(-5), "-5");
    EXPECT_EQ(decimalText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
}

struct HexRow {
    const char* name;
    const char* text;
    const char* hex;
    friend void PrintTo(const HexRow& row, std::ostream* os) { *os << row.name; }
};

class HexText : public testing::TestWithParam<HexRow> {};

TEST_P(HexText, ReadsTheTextBackAndWritesBase16) {
    EXPECT_EQ(hexText(GetParam().text, comma), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(Rows, HexText,
                         testing::Values(HexRow{"Zero", "0", "0"}, HexRow{"Ten", "10", "A"},
                                         HexRow{"Code40000", "40000", "9C40"},
                                         HexRow{"ZeroVolt", "32768", "8000"},
                                         HexRow{"FullScale", "65535", "FFFF"},
                                         HexRow{"Worked", "40960", "A000"},
                                         HexRow{"NegativeTwosComplement", "-1", "FFFFFFFF"},
                                         HexRow{"FractionTieToEven", "2,5", "2"},
                                         HexRow{"LargestInt32", "2147483647", "7FFFFFFF"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HexTextFailures, NotANumberAndOutOfRange) {
    const auto kindOf = [](const char* text) {
        try {
            hexText(text);
        } catch (const Failure& f) {
            return f.kind();
        }
        ADD_FAILURE() << "no failure for " << text;
        return FailureKind::AcquisitionFailed;
    };
    EXPECT_EQ(kindOf(""), FailureKind::TypeMismatch);
    EXPECT_EQ(kindOf("abc"), FailureKind::TypeMismatch);
    EXPECT_EQ(kindOf("2147483648"), FailureKind::Overflow);
    EXPECT_EQ(kindOf("-2147483649"), FailureKind::Overflow);
}

TEST(BinaryText, MostSignificantDigitFirstWithoutPadding) {
    EXPECT_EQ(binaryText(0), "0");
    EXPECT_EQ(binaryText(1), "1");
    EXPECT_EQ(binaryText(2), "10");
    EXPECT_EQ(binaryText(5), "101");
    EXPECT_EQ(binaryText(40000), "1001110001000000");
    EXPECT_EQ(binaryText(40960), "1010000000000000");
    EXPECT_EQ(binaryText(65535), std::string(16, '1'));
    EXPECT_EQ(binaryText(std::numeric_limits<std::int32_t>::max()), std::string(31, '1'));
}

TEST(BinaryText, NegativeValueStopsAfterItsFirstDigit) {
    EXPECT_EQ(binaryText(-3), "1");
    EXPECT_EQ(binaryText(-4), "0");
    EXPECT_EQ(binaryText(std::numeric_limits<std::int32_t>::min()), "0");
}

} // namespace
} // namespace thermo
