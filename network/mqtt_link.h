#pragma once

#include "network/broker_address.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

struct mosquitto;
struct mosquitto_message;
struct mqtt5__property;

namespace thermo::classroom {

// Who connects, and what the broker says in its name if the connection dies.
struct LinkSettings {
    BrokerAddress broker;
    QString clientId;
    QString user;
    QString password;
    QStringList subscriptions; // made again on every connection
    struct Will {
        QString topic;
        QByteArray payload;
        bool retain = true;
    };
    std::optional<Will> will;
    int keepAliveSeconds = 10;
};

// One MQTT 5 connection through libmosquitto. The network is worked on a thread of the link's
// own: connecting (name look-up included), reconnecting after a loss with a growing delay, and
// every callback. What happens there reaches the object's thread as queued signals; publishing
// only hands the message to that thread. Nothing here waits on the network.
class MqttLink : public QObject {
    Q_OBJECT
public:
    static constexpr int maxPayloadBytes = 8192;

    explicit MqttLink(LinkSettings settings, QObject* parent = nullptr);
    ~MqttLink() override;

    const LinkSettings& settings() const noexcept { return settings_; }

    // Starts connecting, and keeps connected until stop() or a refusal.
    void start();
    // Leaves the broker cleanly (no last will) and ends the thread.
    void stop();
    bool isConnected() const noexcept { return connected_; }

    // Sends with QoS 1 while connected; false, sending nothing, otherwise.
    bool publish(const QString& topic, const QByteArray& payload, bool retain = false);

signals:
    void connected();
    // The connection was lost, or could not be made; the link tries again. In French.
    void connectionProblem(const QString& why);
    // The broker refused the account, or the TLS handshake failed: the link gives up.
    void refused(const QString& why);
    // A message within maxPayloadBytes; a longer one is dropped and told by oversized.
    void messageReceived(const QString& topic, const QByteArray& payload);
    void oversized(const QString& topic);
    // The broker would not take a message: the account may not write there.
    void publishRefused(const QString& why);

private:
    void run();
    void waitBeforeRetry(int seconds);
    static void onConnect(mosquitto*, void* self, int rc, int flags, const mqtt5__property*);
    static void onDisconnect(mosquitto*, void* self, int rc, const mqtt5__property*);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message,
                          const mqtt5__property*);
    static void onPublish(mosquitto*, void* self, int mid, int reason, const mqtt5__property*);

    LinkSettings settings_;
    mosquitto* mosq_ = nullptr;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> refused_{false};
    std::atomic<bool> connected_{false};
};

} // namespace thermo::classroom
