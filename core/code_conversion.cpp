#include "core/code_conversion.h"

#include "core/failure.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace thermo {

double roundHalfEven(double x, int decimals) {
    if (!std::isfinite(x)) {
        throw Failure(FailureKind::InvalidArgument, "Arrondi d'une valeur non finie");
    }
    if (decimals < 0 || decimals > 340) {
        throw Failure(FailureKind::InvalidArgument, "Arrondi : nombre de décimales invalide");
    }
    // From 2^52 up every double is a whole number already.
    if (std::fabs(x) >= 4503599627370496.0) {
        return x;
    }
    // to_chars in fixed notation rounds the exact binary value, ties to even; reading the
    // decimal text back gives the double nearest to the rounded decimal.
    std::array<char, 400> buffer;
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                       std::chars_format::fixed, decimals);
    double rounded = 0.0;
    std::from_chars(buffer.data(), written.ptr, rounded);
    return rounded;
}

double voltageOf(std::int32_t code) {
    const std::int64_t fromZero = static_cast<std::int64_t>(code) - codeOffset;
    return roundHalfEven(static_cast<double>(fromZero) / codesPerVolt, voltageDecimals);
}

} // namespace thermo
