// A million ticks over random codes, random parameter texts and a source that fails at random:
// only listed failures escape, and after every tick each field holds what the last step that
// completed wrote into it.
#include "core/core.h"
#include "tests/support/recording_fields.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>

namespace thermo {
namespace {

TEST(CoreSoak, MillionTicksKeepTheFieldsConsistent) {
    const std::array<const char*, 12> parameterTexts{"10000",   "4275",  "4700", " 2,2e3 ",
                                                     "22000,5", "",      "abc",  "0",
                                                     "-10000",  "1e400", "nan",  ",5"};
    std::mt19937 random(4275);
    std::uniform_int_distribution<int> anyCode(0, 65535);
    std::uniform_int_distribution<int> supplyCode(47000, 52000);
    std::uniform_int_distribution<std::size_t> pick(0, parameterTexts.size() - 1);
    std::uniform_int_distribution<int> percent(0, 99);

    test::RecordingFields fields;
    test::ScriptedReads reads;
    MeasurementCycle cycle(fields, reads, NumberLocale{","});
    std::map<std::string, int> outcomes;
    const Failure unplugged(FailureKind::AcquisitionFailed, "débranchée");

    for (int i = 0; i < 1'000'000; ++i) {
        if (i % 64 == 0) {
            fields.parameters.r = parameterTexts[pick(random)];
            fields.parameters.a = parameterTexts[pick(random)];
            fields.parameters.b = parameterTexts[pick(random)];
        }
        const std::int32_t ea0 = anyCode(random);
        const std::int32_t ea1 = supplyCode(random);
        const int fault = percent(random);
        if (fault < 3) {
            reads.answers.emplace_back(unplugged);
        } else {
            reads.answers.emplace_back(ea0);
            reads.answers.emplace_back(fault < 6 ? test::ScriptedReads::Answer(unplugged)
                                                 : test::ScriptedReads::Answer(ea1));
        }
        const auto before = fields.texts;
        const int fontBefore = fields.fontPoints;
        fields.writes.clear();
        std::size_t expectedWrites = 7;
        try {
            cycle.tick(fields.parameters);
            ++outcomes["completed"];
        } catch (const Failure& f) {
            expectedWrites = fault < 3 ? 0 : fault < 6 ? 4 : 5;
            if (fault < 6) {
                ASSERT_EQ(f.kind(), FailureKind::AcquisitionFailed);
            } else {
                ASSERT_NE(f.kind(), FailureKind::AcquisitionFailed);
            }
            ++outcomes[f.what()];
        }
        reads.answers.clear();
        ASSERT_EQ(fields.writes.size(), expectedWrites) << "tick " << i;
        if (expectedWrites >= 4) {
            ASSERT_EQ(fields.texts[Field::Text2], decimalText(ea0));
            ASSERT_EQ(fields.texts[Field::Text7], binaryText(ea0));
        } else {
            ASSERT_EQ(fields.texts[Field::Text2], before.at(Field::Text2));
        }
        if (expectedWrites >= 5) {
            ASSERT_EQ(fields.texts[Field::Text8], voltageText(voltageOf(ea1), cycle.locale()));
        } else if (before.count(Field::Text8) != 0) {
            ASSERT_EQ(fields.texts[Field::Text8], before.at(Field::Text8));
        }
        if (expectedWrites < 7) {
            ASSERT_EQ(fields.fontPoints, fontBefore);
            ASSERT_EQ(fields.texts.count(Field::Text1), before.count(Field::Text1));
            if (before.count(Field::Text1) != 0) {
                ASSERT_EQ(fields.texts[Field::Text1], before.at(Field::Text1));
            }
        }
    }
    // The mix reached every path: completed ticks, acquisition failures and bad parameters.
    EXPECT_GT(outcomes["completed"], 100'000);
    EXPECT_GT(outcomes["débranchée"], 10'000);
    EXPECT_GT(outcomes["Le paramètre B n'est pas un nombre"], 1'000);
}

} // namespace
} // namespace thermo
