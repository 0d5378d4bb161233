#pragma once

#include <cstdint>

namespace thermo {

// One synchronous acquisition: channel 0 is input EA0, 1 is EA1. Returns the raw code
// (0..65535, 32768 for 0 V) or throws Failure.
class ReadOperation {
public:
    virtual ~ReadOperation() = default;
    virtual std::int32_t readChannel(std::int32_t channel) = 0;
};

} // namespace thermo
