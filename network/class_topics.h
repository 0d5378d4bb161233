#pragma once

#include <QString>
#include <optional>

namespace thermo::classroom {

// The class's topics, all under thermometre/<class>/:
//   <account>/lots      a group's batches (the group writes, the teacher reads)
//   <account>/etat      its state, retained, and its last will (same)
//   <account>/demandes  the teacher's requests for missing batches (the other way)
//   accueil             groups asking into the class (groups write, the teacher reads)
enum class GroupTopic { Batches, State, Requests };

QString classRoot(const QString& classId);
QString groupTopic(const QString& classId, const QString& account, GroupTopic which);
QString enrolmentTopic(const QString& classId);

struct GroupTopicParts {
    QString account;
    GroupTopic which;
};
// The group and kind of a topic of the class; none for any other topic.
std::optional<GroupTopicParts> parseGroupTopic(const QString& classId, const QString& topic);

} // namespace thermo::classroom
