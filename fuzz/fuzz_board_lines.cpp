// The project's board's line reader on arbitrary bytes cut in arbitrary pieces, with every
// line read as the program reads an answer: lines within their limit and without their end,
// never more held than the limits allow, no line that was not a whole line of the stream (the
// tail of a cut line above all), codes within 0...65535, identifications printable.
#include "acquisition/serial/board_protocol.h"
#include "acquisition/serial/line_reader.h"
#include "fuzz/fuzz_input.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

using thermo::LineReader;
using thermo::fuzz::check;
namespace protocol = thermo::board_protocol;

bool printable(const std::string& text) {
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

// A line the reader hands back whole stood between two line ends of the stream (or at its
// start), "\r" aside.
bool wholeLineOf(const std::string& stream, const std::string& text) {
    for (const std::string end : {"\n", "\r\n"}) {
        if (stream.starts_with(text + end) || stream.find("\n" + text + end) != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    LineReader reader;
    std::string stream;
    while (input.remaining_bytes() > 0) {
        const std::string piece = input.ConsumeBytesAsString(
            input.ConsumeIntegralInRange<std::size_t>(1, 2 * LineReader::maxPending));
        stream += piece;
        reader.feed(piece);
        check(reader.pending() <= LineReader::maxPending);
        while (const auto line = reader.next()) {
            if (line->cut) {
                check(line->text.empty());
                continue;
            }
            check(line->text.size() <= LineReader::maxLineLength);
            check(line->text.find('\n') == std::string::npos);
            check(wholeLineOf(stream, line->text));
            const auto answer = protocol::splitAnswer(line->text);
            const auto code = protocol::interpretCode(answer.payload);
            if (code.status == protocol::CodeStatus::Valid) {
                check(code.code >= 0 && code.code <= 65535);
            }
            if (const auto identity = protocol::parseIdentity(answer.payload)) {
                check(printable(identity->serialNumber) && printable(identity->firmwareVersion));
            }
        }
        check(reader.pending() <= LineReader::maxLineLength);
    }
    return 0;
}
