#pragma once

#include "core/session_series.h"
#include "network/protocol/batch_ledger.h"
#include "network/protocol/class_message.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <deque>
#include <vector>

namespace thermo::classroom {

// One run of a group as the teacher has it: every reading received, in the order the group
// took them, and the account of its batches.
struct GroupRun {
    RunId id = 0;
    std::int64_t startedAt = 0; // ms since 1970, the group's clock
    std::vector<Sample> samples;
    // The number of the batch each sample came in. A batch sent again takes its place by its
    // number: readings a millisecond apart, re-dated from a record, could pass each other by time.
    std::vector<std::uint32_t> batchOf;
    BatchLedger ledger;
};

// A group of the class, by its account: what its state says, and its runs.
struct ClassGroup {
    using Clock = std::chrono::steady_clock;

    QString account;
    QString name;
    QString source;
    QString r, a, b;
    bool present = false; // in the class: its state came and it has not left
    bool running = false;
    Clock::time_point lastHeard{};
    Clock::time_point leftAt{};
    std::deque<GroupRun> runs; // the latest last
    std::uint64_t batchesReceived = 0;
    std::uint64_t dropped = 0; // malformed messages on its topics
};

enum class GroupStatus { Measuring, Paused, Disconnected };

// The teacher's view of the class, without widgets: every group's runs as they arrive, its
// state, the batches received and missing and the messages dropped. Messages are taken as the
// broker hands them over; none is trusted: one that is not exactly what its topic should carry
// is dropped and counted, and changes nothing.
class ClassModel : public QObject {
    Q_OBJECT
public:
    using Clock = ClassGroup::Clock;

    // A group that measures and has not been heard from for this long has lost its connection.
    static constexpr auto silenceLimit = std::chrono::seconds(5);
    // A group starts a run each time its program does: more than this in one lesson is not a
    // group measuring, and its messages are dropped.
    static constexpr std::size_t maxRunsPerGroup = 16;

    explicit ClassModel(QString classId, QObject* parent = nullptr);

    const QString& classId() const noexcept { return classId_; }
    int groupCount() const noexcept { return int(groups_.size()); }
    const ClassGroup& group(int index) const { return groups_.at(std::size_t(index)); }
    int indexOf(const QString& account) const;
    // Messages dropped that belonged to no group.
    std::uint64_t droppedElsewhere() const noexcept { return droppedElsewhere_; }
    std::uint64_t missingBatches(int index) const;

    // "mesure en cours", "en pause", "déconnecté depuis 12 s".
    GroupStatus status(int index, Clock::time_point now) const;
    QString statusText(int index, Clock::time_point now) const;

    // The backfill requests due now, for the groups that can answer them: each group's
    // current run's missing batches, once per check period.
    std::vector<std::pair<QString, BackfillRequest>> dueRequests(Clock::time_point now);

public slots:
    void take(const QString& topic, const QByteArray& payload);
    // A message the link refused to hand over for its size.
    void takeOversized(const QString& topic);

signals:
    void groupAdded(int index);
    // Its state, presence or counts changed.
    void groupChanged(int index);
    void runAdded(int group, int run);
    // Readings [first, first + count) of the run are new; they may lie before readings that
    // were already there, when a batch arrives late.
    void samplesInserted(int group, int run, int first, int count);

private:
    int groupFor(const QString& account);
    GroupRun* runFor(int index, RunId id, std::int64_t startedAt);
    void takeBatch(int index, Batch&& batch);
    void takeState(int index, const GroupState& state);
    void drop(int index);

    QString classId_;
    std::deque<ClassGroup> groups_;
    std::uint64_t droppedElsewhere_ = 0;
};

} // namespace thermo::classroom
