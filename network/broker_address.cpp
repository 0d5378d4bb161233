#include "network/broker_address.h"

#include <QRegularExpression>

namespace thermo::classroom {

std::optional<BrokerAddress> BrokerAddress::parse(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*(?:(mqtts?)://)?(\[[0-9A-Fa-f:.]+\]|[A-Za-z0-9._-]+)(?::(\d{1,5}))?/?\s*$)"));
    const auto match = form.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    BrokerAddress address;
    address.tls = match.captured(1).compare(QLatin1String("mqtts"), Qt::CaseInsensitive) == 0;
    address.host = match.captured(2);
    if (address.host.startsWith(QLatin1Char('['))) {
        address.host = address.host.mid(1, address.host.size() - 2);
    }
    address.port = address.tls ? tlsPort : plainPort;
    if (match.hasCaptured(3)) {
        address.port = match.captured(3).toInt();
        if (address.port < 1 || address.port > 65535) {
            return std::nullopt;
        }
    }
    return address;
}

QString BrokerAddress::text() const {
    const QString host = this->host.contains(QLatin1Char(':')) ? '[' + this->host + ']' : this->host;
    QString text = tls ? QStringLiteral("mqtts://") + host : host;
    if (port != (tls ? tlsPort : plainPort)) {
        text += ':' + QString::number(port);
    }
    return text;
}

} // namespace thermo::classroom
