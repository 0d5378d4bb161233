// The Firmata parser on arbitrary bytes cut in arbitrary pieces: the same messages however the
// stream is cut, never more held than its cap, reports within 14 bits and printable firmware
// names; every report converted with the resolution the stream itself claims gives a code within
// 0...65535, or an InvalidArgument when that resolution is unusable.
#include "acquisition/analog_accumulator.h"
#include "acquisition/firmata/analog_code.h"
#include "acquisition/firmata/firmata_parser.h"
#include "acquisition/firmata/firmata_protocol.h"
#include "fuzz/fuzz_input.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <variant>
#include <vector>

namespace {

using namespace thermo::firmata;
using thermo::fuzz::check;

void checkCode(double value, int bits, double reference) {
    try {
        const std::int32_t code = interfaceCode(value, bits, reference);
        check(code >= 0 && code <= 65535);
    } catch (const thermo::Failure& f) {
        check(f.kind() == thermo::FailureKind::InvalidArgument && (bits < 1 || bits > 16));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const double reference = input.ConsumeBool() ? 3.3 : defaultReference;
    Parser chunked;
    thermo::AnalogAccumulator accumulator;
    std::vector<std::uint8_t> stream;
    std::vector<Event> events;
    int bits = 10;
    thermo::AnalogAccumulator::Clock::time_point now{};
    while (input.remaining_bytes() > 0) {
        const auto piece = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(1, 300));
        stream.insert(stream.end(), piece.begin(), piece.end());
        for (Event& event : chunked.feed(piece)) {
            if (const auto* report = std::get_if<AnalogReport>(&event)) {
                check(report->channel >= 0 && report->channel < channelCount);
                check(report->value >= 0 && report->value <= maxDataValue);
                accumulator.add(report->channel, report->value, now);
                checkCode(report->value, bits, reference);
            } else if (const auto* firmware = std::get_if<FirmwareReport>(&event)) {
                for (const char c : firmware->name) {
                    check(c >= 0x20 && c <= 0x7E);
                }
            } else if (const auto* capabilities = std::get_if<Capabilities>(&event)) {
                for (std::size_t pin = 0; pin < capabilities->pins.size(); ++pin) {
                    if (const auto claimed = capabilities->analogInputBits(pin)) {
                        bits = *claimed;
                        break;
                    }
                }
            }
            events.push_back(std::move(event));
        }
        check(chunked.buffered() <= Parser::maxSysexBytes);
        now += std::chrono::milliseconds(20);
        for (int channel = 0; channel < channelCount; ++channel) {
            if (const auto mean = accumulator.take(channel)) {
                check(*mean >= 0 && *mean <= maxDataValue);
                checkCode(*mean, bits, reference);
            }
        }
    }
    Parser whole;
    check(whole.feed(stream) == events);
    return 0;
}
