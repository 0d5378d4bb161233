#pragma once

#include "core/reading.h"
#include "network/broker_address.h"
#include "network/class_code.h"
#include "network/class_topics.h"
#include "network/protocol/class_message.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace thermo::classroom {

class MqttLink;
class SentBatches;

// What the group's state says besides its name: where its codes come from, its parameters.
struct GroupDescription {
    QString source;
    QString r, a, b;
};

// A group's side of the class ("Rejoindre la classe"). It takes the group's readings as they
// come, in numbered batches of a fifth of a second, keeps every batch in its store and sends it
// with QoS 1 under the group's own topic; its retained state tells the teacher its name, its
// source and parameters and whether it measures, and its last will that it left. When the
// teacher asks for batches that never arrived it sends them again from the store. The network
// never holds up the measurement: a batch that cannot go now is sent when asked for.
//
// The first time a computer joins a class it makes itself an account (a random name and
// password kept in its private folder) and asks the teacher, through the enrolment account the
// class code opens, to let it in; the teacher's broker then knows that account alone as this
// group's.
class GroupLink : public QObject {
    Q_OBJECT
public:
    enum class Phase { Outside, Connecting, Enrolling, Joined, Failed };

    static constexpr int batchReadings = 2;
    static constexpr int batchMaxAgeMs = 200;
    // Readings stopped this long ago: the group no longer measures.
    static constexpr int stillMs = 1500;
    static constexpr int enrolRetryMs = 1000;
    static constexpr int enrolAttempts = 15;

    // `accountsFolder`: the private folder where the group's account of each class is kept.
    GroupLink(SentBatches& store, QString accountsFolder, QObject* parent = nullptr);
    ~GroupLink() override;

    void setDescription(std::function<GroupDescription()> describe);

    // Joins the class; the reason in French when it cannot even be tried (an address or code
    // that cannot be), otherwise empty and the rest is told by statusChanged.
    QString join(const QString& address, const QString& classCode, const QString& name);
    // Says it left, and leaves.
    void leave();
    // The client stops as when the computer loses the network, and starts again: the group
    // measures on all the while, its batches kept for the teacher to ask for.
    void stopClient();
    void startClient();

    Phase phase() const noexcept { return phase_; }
    QString status() const { return status_; }
    QString account() const { return account_; }
    RunId run() const noexcept { return run_; }
    std::uint32_t lastBatch() const noexcept { return lastBatch_; }
    bool isConnected() const;

    // For tests and the bench: where the batches go, as a link would be made.
    const std::optional<BrokerAddress>& broker() const noexcept { return broker_; }

public slots:
    void take(const thermo::Reading& reading);

signals:
    void statusChanged(const QString& status);
    void phaseChanged(thermo::classroom::GroupLink::Phase phase);

private:
    QString loadOrMakeAccount();
    void connectGroup();
    void groupConnected();
    void groupRefused();
    void enrol();
    void fail(const QString& why);
    void setStatus(Phase phase, const QString& status);
    void flush();
    void publishState();
    void setRunning(bool running);
    void answer(const QString& topic, const QByteArray& payload);
    QString topic(GroupTopic which) const;

    SentBatches& store_;
    QString accountsFolder_;
    std::function<GroupDescription()> describe_;
    std::optional<BrokerAddress> broker_;
    std::optional<ClassKeys> keys_;
    QString name_;
    QString account_;
    QString password_;
    std::unique_ptr<MqttLink> link_;
    std::unique_ptr<MqttLink> enrolment_;
    QTimer* flushTimer_;
    QTimer* stillTimer_;
    QTimer* retryTimer_;
    int attempts_ = 0;
    Phase phase_ = Phase::Outside;
    QString status_;

    RunId run_ = 0;
    Reading::Clock::time_point origin_{};
    std::int64_t startedAt_ = 0;
    std::int64_t lastMillis_ = 0;
    std::uint32_t lastBatch_ = 0;
    std::vector<Sample> pending_;
    bool running_ = false;
    GroupDescription described_;
};

} // namespace thermo::classroom
