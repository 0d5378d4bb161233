#include "acquisition/firmata/analog_code.h"
#include "core/code_conversion.h"
#include "core/failure.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace thermo::firmata {
namespace {

struct CodeRow {
    const char* name;
    double value;
    int bits;
    double reference;
    std::int32_t code;
    double shown; // volts as the main window shows the code
    friend void PrintTo(const CodeRow& row, std::ostream* os) { *os << row.name; }
};

class InterfaceCode : public testing::TestWithParam<CodeRow> {};

TEST_P(InterfaceCode, GivesTheCodeOfTheVoltage) {
    const auto& row = GetParam();
    const std::int32_t code = interfaceCode(row.value, row.bits, row.reference);
    EXPECT_EQ(code, row.code);
    EXPECT_EQ(voltageOf(code), row.shown);
}

INSTANTIATE_TEST_SUITE_P(Rows, InterfaceCode,
                         testing::Values(CodeRow{"Zero", 0, 10, 5.0, 32768, 0.0},
                                         CodeRow{"HalfScaleUno", 512, 10, 5.0, 40968, 2.502},
                                         CodeRow{"FullScaleUno", 1023, 10, 5.0, 49152, 5.0},
                                         CodeRow{"RoundsUpNotDown", 300, 10, 5.0, 37573, 1.466},
                                         CodeRow{"MeanBetweenTwoSteps", 511.5, 10, 5.0, 40960, 2.5},
                                         CodeRow{"FullScale12BitsAt3V3", 4095, 12, 3.3, 43581, 3.3},
                                         CodeRow{"FullScale16Bits", 65535, 16, 5.0, 49152, 5.0},
                                         CodeRow{"BeyondTheConverterHeldAtTop", 16383, 10, 5.0,
                                                 65535, 10.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(InterfaceCodeFailures, RefusesBitsReferencesAndValuesItCannotUse) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    EXPECT_THROW(interfaceCode(1, 0), Failure);
    EXPECT_THROW(interfaceCode(1, 17), Failure);
    EXPECT_THROW(interfaceCode(nan, 10), Failure);
    EXPECT_THROW(interfaceCode(inf, 10), Failure);
    for (const double reference : {0.0, -5.0, nan, inf}) {
        EXPECT_THROW(interfaceCode(1, 10, reference), Failure) << reference;
    }
}

} // namespace
} // namespace thermo::firmata
