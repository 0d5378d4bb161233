// The class's message decoder on arbitrary bytes, as a broker may hand them to the teacher or
// a group: it never reads outside the message, and what it accepts is exactly one message,
// written again to the same bytes, within the bounds the program relies on.
#include "fuzz/fuzz_input.h"
#include "network/protocol/class_message.h"

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

using namespace thermo::classroom;
using thermo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto message = decode(std::span(data, size));
    if (!message) {
        return 0;
    }
    check(encode(*message) == std::vector<std::uint8_t>(data, data + size));
    if (const auto* batch = std::get_if<Batch>(&*message)) {
        check(batch->number > 0 && !batch->readings.empty() &&
              batch->readings.size() <= maxBatchReadings);
        for (std::size_t i = 0; i < batch->readings.size(); ++i) {
            const thermo::Sample& s = batch->readings[i];
            check(i == 0 || s.millis >= batch->readings[i - 1].millis);
            check(s.hasTemperature() == std::isfinite(s.celsius));
        }
    } else if (const auto* state = std::get_if<GroupState>(&*message)) {
        check(state->name.size() <= maxNameBytes && isReadableText(state->name));
    }
    return 0;
}
