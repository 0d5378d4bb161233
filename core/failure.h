#pragma once

#include <stdexcept>
#include <string>

namespace thermo {

enum class FailureKind {
    DivisionByZero,
    InvalidArgument,
    TypeMismatch,
    Overflow,
    AcquisitionFailed
};

// The one error type of the program. Its message is French and short enough to be shown as it
// stands in the temperature field.
class Failure : public std::runtime_error {
public:
    Failure(FailureKind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}

    FailureKind kind() const noexcept { return kind_; }

private:
    FailureKind kind_;
};

} // namespace thermo
