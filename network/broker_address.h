#pragma once

#include <QString>
#include <optional>

namespace thermo::classroom {

// Where the class's broker is, as the teacher shows it and the groups type it: "192.168.1.20",
// "salle-b12:1884", or "mqtts://mqtt.lycee.fr" for a school's broker reached over TLS.
struct BrokerAddress {
    static constexpr int plainPort = 1883;
    static constexpr int tlsPort = 8883;

    QString host;
    int port = plainPort;
    bool tls = false;
    // The certificate of the authority that signed the broker's, for TLS; empty for the
    // system's authorities.
    QString caFile;

    // None when the text names no host or an impossible port.
    static std::optional<BrokerAddress> parse(const QString& text);
    // As a person types it: the port only when it is not the usual one.
    QString text() const;
};

} // namespace thermo::classroom
