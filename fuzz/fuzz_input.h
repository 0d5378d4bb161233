#pragma once

#include "core/failure.h"
#include "core/number_locale.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace thermo::fuzz {

// A broken property is a crash, which is what libFuzzer reports and keeps.
inline void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A text to read as a number, with the separator chosen by the first byte.
struct NumberInput {
    NumberLocale locale;
    std::string text;
};

inline NumberInput numberInput(const std::uint8_t* data, std::size_t size) {
    return {NumberLocale{(data[0] & 1) != 0 ? "," : "."},
            std::string(reinterpret_cast<const char*>(data) + 1, size - 1)};
}

// Reading a text may only fail as "not a number" or "too large".
inline void checkReadingFailure(const Failure& failure) {
    check(failure.kind() == FailureKind::TypeMismatch || failure.kind() == FailureKind::Overflow);
}

} // namespace thermo::fuzz
