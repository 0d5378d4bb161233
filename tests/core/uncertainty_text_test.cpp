#include "core/failure.h"
#include "core/uncertainty_text.h"

#include <cmath>
#include <gtest/gtest.h>

namespace thermo {
namespace {

TEST(UncertaintyText, OneSignificantDigitAndTheValueToItsPlace) {
    const struct {
        const char* name;
        double value, uncertainty;
        const char* withPoint;
        const char* withComma;
    } rows[] = {{"RoundingCarriesToTheNextPlace", 20.1234, 0.0987, "20.1 ± 0.1", "20,1 ± 0,1"},
                {"ZerosKept", 20.0, 0.1, "20.0 ± 0.1", "20,0 ± 0,1"},
                {"WholeSeconds", 119.4, 1.3, "119 ± 1", "119 ± 1"},
                {"TensRoundTheValue", 1234.0, 56.0, "1230 ± 60", "1230 ± 60"},
                {"ZeroWithoutSign", -0.0004, 0.01, "0.00 ± 0.01", "0,00 ± 0,01"},
                {"ExactReadings", 20.0, 0.0, "20 ± 0", "20 ± 0"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(uncertaintyText(row.value, row.uncertainty, {"."}), row.withPoint);
        EXPECT_EQ(uncertaintyText(row.value, row.uncertainty, {","}), row.withComma);
    }
    EXPECT_EQ(oneDigitText(0.0537, {","}), "0,05");
    EXPECT_EQ(oneDigitText(0.096, {","}), "0,1");
    EXPECT_THROW(uncertaintyText(20.0, NAN), Failure);
}

} // namespace
} // namespace thermo
