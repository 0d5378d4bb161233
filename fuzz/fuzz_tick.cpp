// One whole tick on arbitrary codes, parameter texts and acquisition failures: either every
// field is written in order with the texts the number rules give, or a Failure of a listed kind
// escapes after exactly the writes that precede the failing step.
#include "core/core.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/recording_fields.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string nextText(const std::uint8_t*& data, const std::uint8_t* end) {
    const auto* stop = static_cast<const std::uint8_t*>(std::memchr(data, '\n', end - data));
    if (stop == nullptr) {
        stop = end;
    }
    std::string text(reinterpret_cast<const char*>(data), stop - data);
    data = stop == end ? end : stop + 1;
    return text;
}

} // namespace

using thermo::fuzz::check;

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
    if ((flags & 2) != 0) {
        reads.answers.emplace_back(unplugged);
    } else {
        reads.answers.emplace_back(ea0);
        if ((flags & 4) != 0) {
            reads.answers.emplace_back(unplugged);
        } else {
            reads.answers.emplace_back(ea1);
        }
    }

    const double uth = thermo::voltageOf(ea0);
    const double ut = thermo::voltageOf(ea1);
    std::vector<std::string> expected{
        "Text3=" + thermo::voltageText(uth, locale), "Text2=" + thermo::decimalText(ea0),
        "Text4=" + thermo::hexText(thermo::decimalText(ea0), locale),
        "Text7=" + thermo::binaryText(ea0), "Text8=" + thermo::voltageText(ut, locale)};

    thermo::MeasurementCycle cycle(fields, reads, locale);
    try {
        cycle.tick();
    } catch (const thermo::Failure& f) {
        if ((flags & 2) != 0) {
            check(f.kind() == thermo::FailureKind::AcquisitionFailed && fields.writes.empty());
        } else if ((flags & 4) != 0) {
            expected.resize(4);
            check(f.kind() == thermo::FailureKind::AcquisitionFailed && fields.writes == expected);
        } else {
            check(thermo::supplyHighEnough(ut));
            check(f.kind() != thermo::FailureKind::AcquisitionFailed);
            check(fields.writes == expected);
        }
        return 0;
    }
    check((flags & 6) == 0);
    if (thermo::supplyHighEnough(ut)) {
        expected.push_back("font=18");
        expected.push_back("Text1=" +
                           thermo::temperatureText(
                               thermo::thermistorTemperature(uth, ut, r, a, b, locale), locale));
    } else {
        expected.push_back("font=8");
        expected.push_back(std::string("Text1=") + thermo::lowSupplyMessage);
    }
    check(fields.writes == expected);
    check(cycle.NUth() == ea0 && cycle.R() == r && cycle.A() == a && cycle.B() == b);
    return 0;
}
