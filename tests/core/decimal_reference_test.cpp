// Checks the core, as any program linking it sees it, against an independent reference that
// rounds with exact integer arithmetic on the binary value of each double.
#include "core/core.h"
#include "tests/support/recording_fields.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>

namespace thermo {
namespace {

__extension__ using Wide = unsigned __int128;

// The decimal text of x rounded half to even at `decimals` places, computed exactly:
// |x| = m * 2^e with m a 53-bit integer, so |x| * 10^d = m * 10^d / 2^-e.
std::string exactRoundedText(double x, int decimals, const std::string& separator) {
    int binaryExponent = 0;
    const double fraction = std::frexp(std::fabs(x), &binaryExponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int shift = 53 - binaryExponent; // |x| = m / 2^shift
    Wide n = m;
    for (int i = 0; i < decimals; ++i) {
        n *= 10;
    }
    Wide k = 0;
    if (x == 0.0 || shift >= 127) {
        k = 0;
    } else if (shift <= 0) {
        k = n << -shift;
    } else {
        k = n >> shift;
        const Wide rest = n - (k << shift);
        const Wide half = Wide{1} << (shift - 1);
        if (rest > half || (rest == half && (k & 1) == 1)) {
            ++k;
        }
    }
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(k % 10)));
        k /= 10;
    } while (k != 0);
    while (static_cast<int>(digits.size()) <= decimals) {
        digits.insert(digits.begin(), '0');
    }
    std::string whole = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    std::string fractionDigits = digits.substr(whole.size());
    while (!fractionDigits.empty() && fractionDigits.back() == '0') {
        fractionDigits.pop_back();
    }
    std::string text = (x < 0 && (whole != "0" || !fractionDigits.empty())) ? "-" : "";
    text += whole;
    if (!fractionDigits.empty()) {
        text += separator + fractionDigits;
    }
    return text;
}

double referenceVolts(std::int32_t code) {
    const std::string text = exactRoundedText(static_cast<double>(code - 32768) / 3276.8, 3, ".");
    double volts = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), volts);
    return volts;
}

struct Parameters {
    const char* r;
    const char* a;
    const char* b;
    double rValue;
    double aValue;
    double bValue;
    friend void PrintTo(const Parameters& p, std::ostream* os) {
        *os << "R=" << p.r << " A=" << p.a << " B=" << p.b;
    }
};

// The B-parameter law in its fixed order of operations; nullopt where the logarithm or a
// division has no value, where the law gives 0 K or less, or for a shorted thermistor (Uth
// within 10 mV of 0 V).
std::optional<double> referenceTemperature(double uth, double ut, const Parameters& p) {
    if (ut - uth == 0.0 || std::fabs(uth) <= 0.010) {
        return std::nullopt;
    }
    const double q = uth / (ut - uth);
    const double rth = q * p.rValue;
    const double ratio = rth / p.aValue;
    if (!(ratio > 0.0)) {
        return std::nullopt;
    }
    const double l298 = std::log(ratio) * 298;
    const double numerator = 298 * p.bValue;
    const double denominator = l298 + p.bValue;
    const double kelvin = numerator / denominator;
    if (!(kelvin > 0.0)) {
        return std::nullopt;
    }
    return kelvin - 273;
}

TEST(ExactReference, AgreesWithHandWorkedRoundings) {
    EXPECT_EQ(exactRoundedText(0.3125, 3, "."), "0.312");
    EXPECT_EQ(exactRoundedText(0.1875, 3, "."), "0.188");
    EXPECT_EQ(exactRoundedText(9.99969482421875, 3, ","), "10");
    EXPECT_EQ(exactRoundedText(-0.0003, 3, "."), "0");
    EXPECT_EQ(exactRoundedText(-12.34, 1, ","), "-12,3");
    EXPECT_EQ(exactRoundedText(0.35, 1, "."), "0.3");
}

TEST(EveryCode, VoltageTextsMatchExactDecimalRounding) {
    for (const auto& separator : {std::string("."), std::string(",")}) {
        const NumberLocale locale{separator};
        for (std::int32_t code = 0; code <= 65535; ++code) {
            const double x = static_cast<double>(code - 32768) / 3276.8;
            ASSERT_EQ(voltageText(voltageOf(code), locale),
                      exactRoundedText(x, 3, separator) + " V")
                << "code " << code;
        }
    }
}

class EveryCodeWithParameters : public ::testing::TestWithParam<Parameters> {};

TEST_P(EveryCodeWithParameters, TickTextsMatchTheReference) {
    const auto& p = GetParam();
    for (const auto& separator : {std::string("."), std::string(",")}) {
        test::RecordingFields fields(p.r, p.a, p.b);
        if (separator == ",") {
            for (std::string* text :
                 {&fields.parameters.r, &fields.parameters.a, &fields.parameters.b}) {
                if (const auto dot = text->find('.'); dot != std::string::npos) {
                    text->replace(dot, 1, ",");
                }
            }
        }
        test::ScriptedReads reads;
        MeasurementCycle cycle(fields, reads, NumberLocale{separator});
        for (const std::int32_t ea1 : {48826, 49152, 50790, 65535}) {
            const double ut = referenceVolts(ea1);
            for (std::int32_t ea0 = 0; ea0 <= 65535; ++ea0) {
                reads.queue(ea0, ea1);
                const auto expected = referenceTemperature(referenceVolts(ea0), ut, p);
                if (!expected) {
                    ASSERT_THROW(cycle.tick(fields.parameters), Failure) << ea0 << " / " << ea1;
                    continue;
                }
                cycle.tick(fields.parameters);
                ASSERT_EQ(fields.texts[Field::Text1],
                          exactRoundedText(*expected, 1, separator) + " \u00B0C")
                    << ea0 << " / " << ea1;
                ASSERT_EQ(fields.fontPoints, 18);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ParameterSets, EveryCodeWithParameters,
    ::testing::Values(Parameters{"10000", "10000", "4275", 10000, 10000, 4275},
                      Parameters{"4700", "10000", "3950", 4700, 10000, 3950},
                      Parameters{"22000", "47000", "4050.5", 22000, 47000, 4050.5},
                      Parameters{"1000.25", "100000", "3000", 1000.25, 100000, 3000},
                      Parameters{"33e3", "2.2e3", "3977", 33e3, 2.2e3, 3977}),
    [](const auto& info) { return "Set" + std::to_string(info.index); });

} // namespace
} // namespace thermo
