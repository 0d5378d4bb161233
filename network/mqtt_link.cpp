#include "network/mqtt_link.h"

#include "network/link_failure_text.h"

#include <algorithm>
#include <cerrno>
#include <mosquitto.h>
#include <mqtt_protocol.h>

namespace thermo::classroom {

namespace {

void initialiseLibrary() {
    static const int once = mosquitto_lib_init();
    (void)once;
}

QByteArray utf8(const QString& text) {
    return text.toUtf8();
}

} // namespace

MqttLink::MqttLink(LinkSettings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)) {
    initialiseLibrary();
    mosq_ = mosquitto_new(utf8(settings_.clientId).constData(), true, this);
    if (mosq_ == nullptr) {
        throw std::bad_alloc();
    }
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    mosquitto_threaded_set(mosq_, true);
    if (!settings_.user.isEmpty()) {
        mosquitto_username_pw_set(mosq_, utf8(settings_.user).constData(),
                                  utf8(settings_.password).constData());
    }
    if (settings_.will) {
        const QByteArray topic = utf8(settings_.will->topic);
        mosquitto_will_set_v5(mosq_, topic.constData(), int(settings_.will->payload.size()),
                              settings_.will->payload.constData(), 1, settings_.will->retain,
                              nullptr);
    }
    if (settings_.broker.tls) {
        const QByteArray ca = utf8(settings_.broker.caFile);
        mosquitto_tls_set(mosq_, ca.isEmpty() ? nullptr : ca.constData(),
                          ca.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
    }
    mosquitto_connect_v5_callback_set(mosq_, &MqttLink::onConnect);
    mosquitto_disconnect_v5_callback_set(mosq_, &MqttLink::onDisconnect);
    mosquitto_message_v5_callback_set(mosq_, &MqttLink::onMessage);
    mosquitto_publish_v5_callback_set(mosq_, &MqttLink::onPublish);
}

MqttLink::~MqttLink() {
    stop();
    mosquitto_destroy(mosq_);
}

void MqttLink::start() {
    if (thread_.joinable()) {
        return;
    }
    stopping_ = false;
    refused_ = false;
    thread_ = std::thread([this] { run(); });
}

void MqttLink::stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    mosquitto_disconnect(mosq_);
    thread_.join();
    connected_ = false;
}

bool MqttLink::publish(const QString& topic, const QByteArray& payload, bool retain) {
    if (!connected_) {
        return false;
    }
    return mosquitto_publish_v5(mosq_, nullptr, utf8(topic).constData(), int(payload.size()),
                                payload.constData(), 1, retain, nullptr) == MOSQ_ERR_SUCCESS;
}

void MqttLink::run() {
    const QByteArray host = utf8(settings_.broker.host);
    int delay = 1;
    bool first = true;
    while (!stopping_) {
        int rc = first ? mosquitto_connect_async(mosq_, host.constData(), settings_.broker.port,
                                                 settings_.keepAliveSeconds)
                       : mosquitto_reconnect_async(mosq_);
        first = false;
        bool wasConnected = false;
        while (rc == MOSQ_ERR_SUCCESS && !stopping_) {
            rc = mosquitto_loop(mosq_, 500, 1);
            wasConnected = wasConnected || connected_;
        }
        const int error = errno;
        connected_ = false;
        if (stopping_ || refused_) {
            break;
        }
        if (rc == MOSQ_ERR_TLS) {
            refused_ = true;
            emit refused(tlsFailureText(settings_.broker));
            break;
        }
        emit connectionProblem(linkFailureText(settings_.broker, rc, error, wasConnected));
        delay = wasConnected ? 1 : std::min(delay * 2, 8);
        waitBeforeRetry(delay);
    }
}

void MqttLink::waitBeforeRetry(int seconds) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::seconds(seconds), [this] { return stopping_.load(); });
}

void MqttLink::onConnect(mosquitto* mosq, void* self, int rc, int, const mqtt5__property*) {
    auto* link = static_cast<MqttLink*>(self);
    if (rc != 0) {
        // A refused account stays refused: trying again would only be refused again.
        if (rc == MQTT_RC_BAD_USERNAME_OR_PASSWORD || rc == MQTT_RC_NOT_AUTHORIZED ||
            rc == CONNACK_REFUSED_BAD_USERNAME_PASSWORD || rc == CONNACK_REFUSED_NOT_AUTHORIZED) {
            link->refused_ = true;
            emit link->refused(accountRefusedText(link->settings_.broker));
            mosquitto_disconnect(mosq);
        }
        return;
    }
    for (const QString& topic : link->settings_.subscriptions) {
        mosquitto_subscribe_v5(mosq, nullptr, utf8(topic).constData(), 1, 0, nullptr);
    }
    link->connected_ = true;
    emit link->connected();
}

void MqttLink::onDisconnect(mosquitto*, void* self, int, const mqtt5__property*) {
    static_cast<MqttLink*>(self)->connected_ = false;
}

void MqttLink::onMessage(mosquitto*, void* self, const mosquitto_message* message,
                         const mqtt5__property*) {
    auto* link = static_cast<MqttLink*>(self);
    const QString topic = QString::fromUtf8(message->topic);
    if (message->payloadlen < 0 || message->payloadlen > maxPayloadBytes) {
        emit link->oversized(topic);
        return;
    }
    emit link->messageReceived(
        topic, QByteArray(static_cast<const char*>(message->payload), message->payloadlen));
}

void MqttLink::onPublish(mosquitto*, void* self, int, int reason, const mqtt5__property*) {
    if (reason >= 0x80) {
        auto* link = static_cast<MqttLink*>(self);
        emit link->publishRefused(publishRefusedText(reason));
    }
}

} // namespace thermo::classroom
