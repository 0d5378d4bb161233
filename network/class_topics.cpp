#include "network/class_topics.h"

#include <QStringList>

namespace thermo::classroom {

namespace {

QString leaf(GroupTopic which) {
    switch (which) {
    case GroupTopic::Batches:
        return QStringLiteral("lots");
    case GroupTopic::State:
        return QStringLiteral("etat");
    case GroupTopic::Requests:
        break;
    }
    return QStringLiteral("demandes");
}

} // namespace

QString classRoot(const QString& classId) {
    return QStringLiteral("thermometre/") + classId;
}

QString groupTopic(const QString& classId, const QString& account, GroupTopic which) {
    return classRoot(classId) + '/' + account + '/' + leaf(which);
}

QString enrolmentTopic(const QString& classId) {
    return classRoot(classId) + QStringLiteral("/accueil");
}

std::optional<GroupTopicParts> parseGroupTopic(const QString& classId, const QString& topic) {
    const QStringList parts = topic.split(QLatin1Char('/'));
    if (parts.size() != 4 || parts[0] != QLatin1String("thermometre") || parts[1] != classId ||
        !parts[2].startsWith(QLatin1Char('g'))) {
        return std::nullopt;
    }
    for (GroupTopic which : {GroupTopic::Batches, GroupTopic::State, GroupTopic::Requests}) {
        if (parts[3] == leaf(which)) {
            return GroupTopicParts{parts[2], which};
        }
    }
    return std::nullopt;
}

} // namespace thermo::classroom
