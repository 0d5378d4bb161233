#include "network/class_model.h"

#include "network/class_topics.h"
#include "network/message_bytes.h"

#include <algorithm>

namespace thermo::classroom {

ClassModel::ClassModel(QString classId, QObject* parent)
    : QObject(parent), classId_(std::move(classId)) {}

int ClassModel::indexOf(const QString& account) const {
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        if (groups_[i].account == account) {
            return int(i);
        }
    }
    return -1;
}

int ClassModel::groupFor(const QString& account) {
    int index = indexOf(account);
    if (index < 0) {
        groups_.push_back(ClassGroup{});
        groups_.back().account = account;
        index = int(groups_.size()) - 1;
        emit groupAdded(index);
    }
    return index;
}

void ClassModel::take(const QString& topic, const QByteArray& payload) {
    const auto where = parseGroupTopic(classId_, topic);
    if (!where) {
        ++droppedElsewhere_;
        return;
    }
    auto message = readMessage(payload);
    // A group's topic carries its batches, or its state or its departure; nothing else.
    const bool fits =
        message && ((where->which == GroupTopic::Batches && std::holds_alternative<Batch>(*message)) ||
                    (where->which == GroupTopic::State && (std::holds_alternative<GroupState>(*message) ||
                                                           std::holds_alternative<GroupLeft>(*message))));
    if (where->which == GroupTopic::Requests) {
        return; // the teacher's own requests
    }
    const int index = groupFor(where->account);
    if (!fits) {
        drop(index);
        return;
    }
    ClassGroup& group = groups_[std::size_t(index)];
    group.lastHeard = Clock::now();
    if (auto* batch = std::get_if<Batch>(&*message)) {
        takeBatch(index, std::move(*batch));
    } else if (const auto* state = std::get_if<GroupState>(&*message)) {
        takeState(index, *state);
    } else {
        group.present = false;
        group.running = false;
        group.leftAt = group.lastHeard;
        emit groupChanged(index);
    }
}

void ClassModel::takeOversized(const QString& topic) {
    const auto where = parseGroupTopic(classId_, topic);
    if (where) {
        drop(groupFor(where->account));
    } else {
        ++droppedElsewhere_;
    }
}

void ClassModel::drop(int index) {
    ++groups_[std::size_t(index)].dropped;
    emit groupChanged(index);
}

GroupRun* ClassModel::runFor(int index, RunId id, std::int64_t startedAt) {
    ClassGroup& group = groups_[std::size_t(index)];
    for (GroupRun& run : group.runs) {
        if (run.id == id) {
            return &run;
        }
    }
    if (group.runs.size() >= maxRunsPerGroup) {
        drop(index);
        return nullptr;
    }
    group.runs.push_back(GroupRun{});
    group.runs.back().id = id;
    group.runs.back().startedAt = startedAt;
    emit runAdded(index, int(group.runs.size()) - 1);
    return &group.runs.back();
}

void ClassModel::takeBatch(int index, Batch&& batch) {
    GroupRun* found = runFor(index, batch.run, batch.startedAt);
    if (found == nullptr || !found->ledger.receive(batch.number)) {
        return; // too many runs, or sent again and already here
    }
    GroupRun& run = *found;
    ClassGroup& group = groups_[std::size_t(index)];
    ++group.batchesReceived;
    // A group whose batches come is in the class, even if its state was lost on the way; one
    // that said it left is answering late.
    group.present = group.present || group.leftAt == Clock::time_point{};
    const auto at = std::upper_bound(run.batchOf.begin(), run.batchOf.end(), batch.number);
    const auto first = at - run.batchOf.begin();
    run.batchOf.insert(at, batch.readings.size(), batch.number);
    run.samples.insert(run.samples.begin() + first, batch.readings.begin(), batch.readings.end());
    // A deque's elements lie in several blocks: the index is counted, not subtracted.
    const int runIndex = int(std::find_if(group.runs.begin(), group.runs.end(),
                                          [&run](const GroupRun& r) { return &r == &run; }) -
                             group.runs.begin());
    emit samplesInserted(index, runIndex, int(first), int(batch.readings.size()));
    emit groupChanged(index);
}

void ClassModel::takeState(int index, const GroupState& state) {
    ClassGroup& group = groups_[std::size_t(index)];
    group.name = QString::fromStdString(state.name);
    group.source = QString::fromStdString(state.source);
    group.r = QString::fromStdString(state.r);
    group.a = QString::fromStdString(state.a);
    group.b = QString::fromStdString(state.b);
    group.present = true;
    group.leftAt = {};
    group.running = state.running;
    if (state.run != 0) {
        if (GroupRun* run = runFor(index, state.run, state.startedAt)) {
            run->ledger.announce(state.lastBatch);
        }
    }
    emit groupChanged(index);
}

std::uint64_t ClassModel::missingBatches(int index) const {
    std::uint64_t missing = 0;
    for (const GroupRun& run : group(index).runs) {
        missing += run.ledger.missingCount();
    }
    return missing;
}

GroupStatus ClassModel::status(int index, Clock::time_point now) const {
    const ClassGroup& g = group(index);
    if (!g.present || (g.running && now - g.lastHeard > silenceLimit)) {
        return GroupStatus::Disconnected;
    }
    return g.running ? GroupStatus::Measuring : GroupStatus::Paused;
}

QString ClassModel::statusText(int index, Clock::time_point now) const {
    switch (status(index, now)) {
    case GroupStatus::Measuring:
        return tr("mesure en cours");
    case GroupStatus::Paused:
        return tr("en pause");
    case GroupStatus::Disconnected:
        break;
    }
    const ClassGroup& g = group(index);
    // Since it was last heard from, or left; a group only ever heard from in malformed
    // messages was never there.
    const Clock::time_point from = g.present ? g.lastHeard : std::max(g.leftAt, g.lastHeard);
    const auto since = from == Clock::time_point{} ? Clock::duration{} : now - from;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since).count();
    return seconds < 120 ? tr("déconnecté depuis %1 s").arg(seconds)
                         : tr("déconnecté depuis %1 min").arg(seconds / 60);
}

std::vector<std::pair<QString, BackfillRequest>> ClassModel::dueRequests(Clock::time_point now) {
    std::vector<std::pair<QString, BackfillRequest>> requests;
    for (ClassGroup& group : groups_) {
        if (!group.present || group.runs.empty()) {
            continue;
        }
        // Only its current run can be asked for: a group keeps no earlier one.
        GroupRun& run = group.runs.back();
        auto ranges = run.ledger.due(now);
        if (!ranges.empty()) {
            requests.emplace_back(group.account, BackfillRequest{run.id, std::move(ranges)});
        }
    }
    return requests;
}

} // namespace thermo::classroom
