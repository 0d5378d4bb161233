#include "network/class_model.h"
#include "network/class_topics.h"
#include "network/message_bytes.h"

#include <gtest/gtest.h>

namespace thermo::classroom {
namespace {

const QString classId = "0123456789";

QString topic(const QString& account, GroupTopic which) {
    return groupTopic(classId, account, which);
}

Batch batch(RunId run, std::uint32_t number, std::int64_t lateMs = 0) {
    Sample s;
    s.millis = 200 * (number - 1) + lateMs;
    s.celsius = 20 + number;
    s.uth = 2.5;
    s.ut = 5;
    return Batch{run, number, 1'765'000'000'000, {s}};
}

// Batches land in the group's run in their order whatever order they come in, even one sent
// again whose time, re-dated from the group's record, passes the next batch's; what is not
// exactly what its topic carries is dropped and counted against that group, or against none
// when the topic is no group's.
TEST(ClassModel, TakesWhatFitsAndCountsTheRest) {
    ClassModel model(classId);
    const QString a = "gaaaaaaaaaaaa";
    model.take(topic(a, GroupTopic::State),
               messageBytes(GroupState{7, 0, 4, true, "Groupe 1", "Banc simulé", "1", "2", "3"}));
    for (std::uint32_t n : {1u, 3u, 4u, 3u}) {
        model.take(topic(a, GroupTopic::Batches), messageBytes(batch(7, n)));
    }
    model.take(topic(a, GroupTopic::Batches), messageBytes(batch(7, 2, 201)));
    const struct {
        QString topic;
        QByteArray payload;
    } dropped[] = {
        {topic(a, GroupTopic::Batches), "pas un message"},
        {topic(a, GroupTopic::Batches), messageBytes(GroupLeft{})},
        {topic(a, GroupTopic::State), messageBytes(batch(7, 5))},
        {topic(a, GroupTopic::Batches), messageBytes(batch(7, 6)).chopped(1)},
    };
    for (const auto& message : dropped) {
        model.take(message.topic, message.payload);
    }
    model.take("thermometre/autre/" + a + "/lots", messageBytes(batch(7, 5)));
    model.takeOversized("ailleurs");

    ASSERT_EQ(model.groupCount(), 1);
    const ClassGroup& group = model.group(0);
    EXPECT_EQ(group.name, "Groupe 1");
    EXPECT_EQ(group.dropped, 4u);
    EXPECT_EQ(model.droppedElsewhere(), 2u);
    EXPECT_EQ(group.batchesReceived, 4u);
    ASSERT_EQ(group.runs.size(), 1u);
    std::vector<double> temperatures;
    for (const Sample& s : group.runs[0].samples) {
        temperatures.push_back(s.celsius);
    }
    EXPECT_EQ(temperatures, (std::vector<double>{21, 22, 23, 24}));
    EXPECT_EQ(model.missingBatches(0), 0u);
}

// A group that measures is "mesure en cours" until it falls silent, "en pause" when it says it
// stopped, "déconnecté" once gone; a group cannot open runs without end.
TEST(ClassModel, StatusAndRunLimit) {
    ClassModel model(classId);
    const QString a = "gbbbbbbbbbbbb";
    model.take(topic(a, GroupTopic::State), messageBytes(GroupState{1, 0, 0, true, "G", "", "", "", ""}));
    const auto now = ClassModel::Clock::now();
    EXPECT_EQ(model.statusText(0, now), "mesure en cours");
    EXPECT_EQ(model.statusText(0, now + std::chrono::seconds(12)), "déconnecté depuis 12 s");
    model.take(topic(a, GroupTopic::State), messageBytes(GroupState{1, 0, 0, false, "G", "", "", "", ""}));
    EXPECT_EQ(model.statusText(0, ClassModel::Clock::now() + std::chrono::seconds(30)), "en pause");
    model.take(topic(a, GroupTopic::State), messageBytes(GroupLeft{}));
    EXPECT_EQ(model.statusText(0, ClassModel::Clock::now() + std::chrono::seconds(200)),
              "déconnecté depuis 3 min");

    for (RunId run = 2; run < 40; ++run) {
        model.take(topic(a, GroupTopic::Batches), messageBytes(batch(run, 1)));
    }
    EXPECT_EQ(model.group(0).runs.size(), ClassModel::maxRunsPerGroup);
    EXPECT_EQ(model.group(0).dropped, 40u - 1 - ClassModel::maxRunsPerGroup);
}

} // namespace
} // namespace thermo::classroom
