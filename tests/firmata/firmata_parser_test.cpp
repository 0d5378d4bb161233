#include "acquisition/firmata/firmata_parser.h"
#include "acquisition/firmata/firmata_protocol.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <string_view>

namespace thermo::firmata {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::string_view_literals;

// What an Uno-like board says when asked everything, then three reports.
constexpr std::string_view conversationText =
    "\xF9\x02\x05" // version
    "\xF0\x79\x02\x05"
    "S\0t\0a\0n\0d\0a\0r\0d\0F\0i\0r\0m\0a\0t\0a\0"
    "\xF7"                                                             // firmware
    "\xF0\x6A\x7F\x7F\x00\x01\xF7"                                     // mapping
    "\xF0\x6C\x00\x01\x01\x01\x7F\x00\x01\x02\x0A\x7F\x02\x0C\x7F\xF7" // capabilities
    "\xE0\x00\x04\xE1\x7F\x07\xEF\x7F\x7F"sv;                          // reports
const Bytes conversation(conversationText.begin(), conversationText.end());

const std::vector<Event> conversationEvents{
    VersionReport{2, 5},
    FirmwareReport{2, 5, "StandardFirmata"},
    AnalogMapping{{0x7F, 0x7F, 0, 1}},
    Capabilities{{{{0, 1}, {1, 1}}, {{0, 1}, {2, 10}}, {{2, 12}}}},
    AnalogReport{0, 512},
    AnalogReport{1, 1023},
    AnalogReport{15, 16383},
};

std::vector<Event> feedInPieces(const std::vector<std::size_t>& cuts) {
    Parser parser;
    std::vector<Event> events;
    for (std::size_t from = 0, i = 0; i < cuts.size(); from = cuts[i++]) {
        for (Event& e : parser.feed(std::span(conversation).subspan(from, cuts[i] - from))) {
            events.push_back(std::move(e));
        }
    }
    return events;
}

TEST(FirmataParser, SameEventsHoweverTheConversationIsCut) {
    const std::size_t n = conversation.size();
    std::vector<std::size_t> byteByByte;
    for (std::size_t i = 0; i <= n; ++i) {
        byteByByte.push_back(i);
        for (std::size_t j = i; j <= n; ++j) {
            ASSERT_EQ(feedInPieces({i, j, n}), conversationEvents) << "cut at " << i << ", " << j;
        }
    }
    EXPECT_EQ(feedInPieces(byteByByte), conversationEvents);
}

struct StreamRow {
    std::string name;
    Bytes bytes;
    std::vector<Event> events;
    friend void PrintTo(const StreamRow& row, std::ostream* os) { *os << row.name; }
};

class FirmataStream : public testing::TestWithParam<StreamRow> {};

TEST_P(FirmataStream, KeepsWhatIsWholeAndKnown) {
    EXPECT_EQ(Parser().feed(GetParam().bytes), GetParam().events);
}

const AnalogReport a0{0, 1};

Bytes mapping(std::size_t pins) {
    Bytes message{0xF0, 0x6A};
    message.insert(message.end(), pins, 0x7F);
    message.push_back(0xF7);
    return message;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FirmataStream,
    testing::Values(
        StreamRow{"GarbageBeforeAMessage", {0x01, 0x02, 0x7F, 0xE0, 0x01, 0x00}, {a0}},
        StreamRow{"MessageCutByACommand", {0xE3, 0x05, 0xE0, 0x01, 0x00}, {a0}},
        StreamRow{"SysexCutByAReport", {0xF0, 0x79, 0x02, 0x05, 0xE0, 0x01, 0x00}, {a0}},
        StreamRow{"DataAfterAWholeMessage", {0xE0, 0x01, 0x00, 0x05, 0x06}, {a0}},
        StreamRow{"StraySysexEnd", {0xF7, 0x05, 0xE0, 0x01, 0x00}, {a0}},
        StreamRow{"OtherCommandsWithData",
                  {0x90, 0x7F, 0x01, 0xF4, 0x0E, 0x02, 0xD0, 0x01, 0xE0, 0x01, 0x00},
                  {a0}},
        StreamRow{
            "UnknownSysex", {0xF0, 0x71, 0x41, 0x00, 0xF7, 0xF0, 0xF7, 0xE0, 0x01, 0x00}, {a0}},
        StreamRow{"FirmwareQueryEchoed", {0xF0, 0x79, 0xF7}, {}},
        StreamRow{
            "FirmwareWithoutName", {0xF0, 0x79, 0x02, 0x05, 0xF7}, {FirmwareReport{2, 5, ""}}},
        StreamRow{"FirmwareNameUnprintableAndOddByte",
                  {0xF0, 0x79, 0x02, 0x05, 'A', 0, 0x41, 0x01, 0x0A, 0, 'b', 0, 'c', 0xF7},
                  {FirmwareReport{2, 5, "Ab"}}},
        StreamRow{"CapabilityPairCut", {0xF0, 0x6C, 0x00, 0x01, 0x02, 0xF7}, {}},
        StreamRow{"CapabilityPinNotClosed", {0xF0, 0x6C, 0x7F, 0x00, 0x01, 0xF7}, {}},
        StreamRow{"EmptyMapping", {0xF0, 0x6A, 0xF7}, {AnalogMapping{}}},
        StreamRow{"SysexAsLongAsTheCap",
                  mapping(Parser::maxSysexBytes - 1),
                  {AnalogMapping{Bytes(Parser::maxSysexBytes - 1, 0x7F)}}},
        StreamRow{"SysexOneByteBeyondTheCap", mapping(Parser::maxSysexBytes), {}}),
    [](const auto& info) { return info.param.name; });

TEST(FirmataParser, HoldsNoMoreThanItsCapWhateverComes) {
    const Bytes noCommand(64 * 1024, 0x55);
    for (const std::uint8_t first : {std::uint8_t{0x00}, command::sysexStart}) {
        Parser parser;
        parser.feed(std::span(&first, 1));
        for (int i = 0; i < 160; ++i) { // 10 MiB
            EXPECT_TRUE(parser.feed(noCommand).empty());
            ASSERT_LE(parser.buffered(), Parser::maxSysexBytes);
        }
        EXPECT_EQ(parser.feed(Bytes{0xE0, 0x01, 0x00, 0xF7}), std::vector<Event>{a0});
    }
}

} // namespace
} // namespace thermo::firmata
