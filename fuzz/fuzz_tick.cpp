// One whole tick on arbitrary codes, parameter texts and acquisition failures. Whatever
// happens, the fields written are a prefix of the fixed order, a failure stops the tick at the
// step that raised it, and every text written reads back as the code or the voltage it shows.
#include "core/core.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/recording_fields.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using thermo::fuzz::check;

std::string nextText(const std::uint8_t*& data, const std::uint8_t* end) {
    const auto* stop = static_cast<const std::uint8_t*>(std::memchr(data, '\n', end - data));
    if (stop == nullptr) {
        stop = end;
    }
    std::string text(reinterpret_cast<const char*>(data), stop - data);
    data = stop == end ? end : stop + 1;
    return text;
}

const std::vector<std::string> order{"Text3", "Text2", "Text4", "Text7", "Text8", "font", "Text1"};

// The whole text, read as an unsigned number in `base`.
bool readsAs(std::string_view text, int base, std::uint32_t expected) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size() && value == expected;
}

// A voltage text shows the code's volts to the nearest millivolt.
double checkedVolts(const std::string& text, std::int32_t code,
                    const thermo::NumberLocale& locale) {
    check(text.size() > 2 && text.ends_with(" V"));
    const double volts = thermo::parseNumber(text.substr(0, text.size() - 2), locale);
    const double exact = (static_cast<double>(code) - 32768.0) / 3276.8;
    check(std::fabs(volts - exact) <= 0.0005 + 1e-9 * std::fabs(exact));
    return volts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) {
        return 0;
    }
    std::int32_t ea0 = 0;
    std::int32_t ea1 = 0;
    std::memcpy(&ea0, data, 4);
    std::memcpy(&ea1, data + 4, 4);
    const std::uint8_t flags = data[8];
    const std::uint8_t* cursor = data + 9;
    const std::uint8_t* end = data + size;
    const std::string r = nextText(cursor, end);
    const std::string a = nextText(cursor, end);
    const std::string b = nextText(cursor, end);

    const thermo::NumberLocale locale{(flags & 1) != 0 ? "," : "."};
    thermo::test::RecordingFields fields(r, a, b);
    thermo::test::ScriptedReads reads;
    const thermo::Failure unplugged(thermo::FailureKind::AcquisitionFailed, "débranchée");
    const bool ea0Fails = (flags & 2) != 0;
    const bool ea1Fails = !ea0Fails && (flags & 4) != 0;
    reads.answers.emplace_back(ea0Fails ? thermo::test::ScriptedReads::Answer(unplugged)
                                        : thermo::test::ScriptedReads::Answer(ea0));
    reads.answers.emplace_back(ea1Fails ? thermo::test::ScriptedReads::Answer(unplugged)
                                        : thermo::test::ScriptedReads::Answer(ea1));

    thermo::MeasurementCycle cycle(fields, reads, locale);
    const thermo::Reading reading = thermo::takeReading(cycle, fields.parameters);

    // Which fields, in which order.
    check(fields.writes.size() <= order.size());
    for (std::size_t i = 0; i < fields.writes.size(); ++i) {
        check(fields.writes[i].starts_with(order[i] + "="));
    }
    std::size_t expectedWrites = order.size();
    if (ea0Fails) {
        expectedWrites = 0;
    } else if (ea1Fails) {
        expectedWrites = 4;
    } else if (reading.failure) {
        expectedWrites = 5; // the temperature failed: its field and font are left as they were
        check(reading.failure->kind != thermo::FailureKind::AcquisitionFailed);
    }
    check(fields.writes.size() == expectedWrites);
    check(reading.failure.has_value() == (expectedWrites < order.size()));
    check(reading.code.has_value() == !ea0Fails);
    check(reading.ut.has_value() == (expectedWrites >= 5));
    if (expectedWrites == 0) {
        return 0;
    }

    // The texts read back as what was read.
    using thermo::Field;
    check(cycle.NUth() == ea0 && *reading.code == ea0);
    check(checkedVolts(fields.texts[Field::Text3], ea0, locale) == *reading.uth);
    std::int32_t decimal = 0;
    const std::string& text2 = fields.texts[Field::Text2];
    const auto parsed = std::from_chars(text2.data(), text2.data() + text2.size(), decimal);
    check(parsed.ec == std::errc() && parsed.ptr == text2.data() + text2.size() && decimal == ea0);
    check(readsAs(fields.texts[Field::Text4], 16, static_cast<std::uint32_t>(ea0)));
    const std::string& binary = fields.texts[Field::Text7];
    if (ea0 >= 0) {
        check(readsAs(binary, 2, static_cast<std::uint32_t>(ea0)));
    } else {
        check(binary == (ea0 % 2 == 0 ? "0" : "1")); // a negative code stops after one digit
    }
    if (expectedWrites < 5) {
        return 0;
    }
    const double ut = checkedVolts(fields.texts[Field::Text8], ea1, locale);
    check(ut == *reading.ut && reading.lowSupply == !(ut > 4.9));
    if (expectedWrites < order.size()) {
        return 0;
    }
    const std::string& text1 = fields.texts[Field::Text1];
    if (reading.lowSupply) {
        check(fields.fontPoints == 8 && text1 == thermo::lowSupplyMessage);
    } else {
        const std::string_view suffix(thermo::temperatureSuffix);
        check(fields.fontPoints == 18 && text1.ends_with(suffix) && reading.hasTemperature());
        const double shown =
            thermo::parseNumber(text1.substr(0, text1.size() - suffix.size()), locale);
        const double celsius = *reading.celsius;
        check(std::fabs(shown - celsius) <= 0.05 + 1e-12 * std::fabs(celsius));
    }
    check(cycle.R() == r && cycle.A() == a && cycle.B() == b);
    return 0;
}
