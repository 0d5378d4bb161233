#pragma once

#include "network/protocol/class_message.h"

#include <QByteArray>
#include <optional>

namespace thermo::classroom {

// The class's messages as the MQTT link carries them.
inline QByteArray messageBytes(const Message& message) {
    const auto bytes = encode(message);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

inline std::optional<Message> readMessage(const QByteArray& payload) {
    return decode(std::span(reinterpret_cast<const std::uint8_t*>(payload.data()),
                            std::size_t(payload.size())));
}

} // namespace thermo::classroom
