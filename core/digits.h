#pragma once

namespace thermo {

// The decimal digits '0' to '9' and nothing else, whatever the locale: std::isdigit depends on
// the C locale and wants an unsigned char.
constexpr bool isDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

} // namespace thermo
