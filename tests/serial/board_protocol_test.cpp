#include "acquisition/serial/board_protocol.h"
#include "acquisition/serial/line_reader.h"
#include "core/failure.h"

#include <gtest/gtest.h>

namespace thermo::board_protocol {
namespace {

TEST(BoardProtocol, RequestsCarryTheirTag) {
    EXPECT_EQ(taggedRequest(measureCommand(0), 17), "MEAS:EA0? #17\n");
    EXPECT_EQ(taggedRequest(measureCommand(1), 65535), "MEAS:EA1? #65535\n");
    EXPECT_THROW(measureCommand(2), Failure);
}

struct SplitCase {
    std::string name;
    std::string line;
    std::string payload;
    std::optional<std::uint16_t> tag;

    friend void PrintTo(const SplitCase& row, std::ostream* out) { *out << row.name; }
};

class AnswerSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(AnswerSplit, SeparatesPayloadAndTag) {
    const auto answer = splitAnswer(GetParam().line);
    EXPECT_EQ(answer.payload, GetParam().payload);
    EXPECT_EQ(answer.tag, GetParam().tag);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AnswerSplit,
    ::testing::Values(SplitCase{"tagged", "40123 #17", "40123", 17},
                      SplitCase{"carriage_return", "40123 #17\r", "40123", 17},
                      SplitCase{"untagged", "READY", "READY", std::nullopt},
                      SplitCase{"largest_tag", "1 #65535", "1", 65535},
                      SplitCase{"tag_too_large", "1 #65536", "1 #65536", std::nullopt},
                      SplitCase{"tag_not_a_number", "1 #1x", "1 #1x", std::nullopt},
                      SplitCase{"hash_without_space", "1#5", "1#5", std::nullopt},
                      SplitCase{"empty_tag", "1 #", "1 #", std::nullopt},
                      SplitCase{"identity_with_tag", "THERMOMETRE,CARTE-CTN,0042,1.0 #3",
                                "THERMOMETRE,CARTE-CTN,0042,1.0", 3}),
    [](const auto& info) { return info.param.name; });

TEST(BoardProtocol, RecognisesOnlyOurIdentification) {
    const auto identity = parseIdentity("THERMOMETRE,CARTE-CTN,0042,1.0");
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->serialNumber, "0042");
    EXPECT_EQ(identity->firmwareVersion, "1.0");
    // What is shown of it keeps printable characters only.
    const auto odd = parseIdentity("THERMOMETRE,CARTE-CTN,\x1b[7m00\u200F42\r,\x07"
                                   "1.0");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->serialNumber, "[7m0042");
    EXPECT_EQ(odd->firmwareVersion, "1.0");
    for (const char* other : {"THERMOMETRE,CARTE-CTN,0042", "THERMOMETRE,CARTE-CTN,0042,1.0,x",
                              "ACME,CARTE-CTN,0042,1.0", "THERMOMETRE,AUTRE,0042,1.0",
                              "thermometre,carte-ctn,0042,1.0", "", "READY"}) {
        EXPECT_FALSE(parseIdentity(other)) << other;
    }
}

struct CodeCase {
    std::string name;
    std::string payload;
    CodeStatus status;
    std::int32_t code;

    friend void PrintTo(const CodeCase& row, std::ostream* out) { *out << row.name; }
};

class CodeInterpretation : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CodeInterpretation, ClassifiesTheAnswer) {
    const auto answer = interpretCode(GetParam().payload);
    EXPECT_EQ(answer.status, GetParam().status);
    if (GetParam().status == CodeStatus::Valid) {
        EXPECT_EQ(answer.code, GetParam().code);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, CodeInterpretation,
    ::testing::Values(CodeCase{"zero", "0", CodeStatus::Valid, 0},
                      CodeCase{"leading_zeros", "032768", CodeStatus::Valid, 32768},
                      CodeCase{"top", "65535", CodeStatus::Valid, 65535},
                      CodeCase{"one_above_top", "65536", CodeStatus::OutOfRange, 0},
                      CodeCase{"beyond_32_bits", "4294967296", CodeStatus::OutOfRange, 0},
                      CodeCase{"negative", "-5", CodeStatus::OutOfRange, 0},
                      CodeCase{"plus_sign", "+5", CodeStatus::Garbled, 0},
                      CodeCase{"empty", "", CodeStatus::Garbled, 0},
                      CodeCase{"lone_minus", "-", CodeStatus::Garbled, 0},
                      CodeCase{"inner_space", "40 123", CodeStatus::Garbled, 0},
                      CodeCase{"refusal", "ERR:COMMANDE", CodeStatus::Refused, 0}),
    [](const auto& info) { return info.param.name; });

struct LinesCase {
    std::string name;
    std::vector<std::string> pieces; // as they come off the line
    std::vector<std::string> lines;  // "<cut>" for a cut line

    friend void PrintTo(const LinesCase& row, std::ostream* out) { *out << row.name; }
};

class BoardLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(BoardLines, NeverTakesTheTailOfACutLineForALine) {
    LineReader reader;
    std::vector<std::string> lines;
    for (const std::string& piece : GetParam().pieces) {
        reader.feed(piece);
        while (const auto line = reader.next()) {
            lines.push_back(line->cut ? "<cut>" : line->text);
        }
        EXPECT_LE(reader.pending(), LineReader::maxLineLength);
    }
    EXPECT_EQ(lines, GetParam().lines);
}

const std::string longLine(LineReader::maxLineLength + 1, 'X');

INSTANTIATE_TEST_SUITE_P(
    Streams, BoardLines,
    ::testing::Values(
        LinesCase{"split_anywhere", {"401", "23 #1\r", "\nREADY\n"}, {"40123 #1", "READY"}},
        LinesCase{"longest_line", {std::string(256, 'X') + "\n"}, {std::string(256, 'X')}},
        LinesCase{"cut_then_tail",
                  {std::string(300, 'X') + "409", "54 #7\n", "54 #8\n"},
                  {"<cut>", "54 #8"}},
        LinesCase{"cut_at_its_newline", {longLine, "\n1 #2\n"}, {"<cut>", "1 #2"}},
        LinesCase{"flood_keeps_the_end", {std::string(5000, 'Z') + "\n7 #3\n"}, {"<cut>", "7 #3"}},
        LinesCase{"many_lines_at_once",
                  {std::string(300, '\n') + "9 #4\n"},
                  [] {
                      std::vector<std::string> lines(300);
                      lines.push_back("9 #4");
                      return lines;
                  }()}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace thermo::board_protocol
