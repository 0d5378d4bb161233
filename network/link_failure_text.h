#pragma once

#include "network/broker_address.h"

#include <QString>

namespace thermo::classroom {

// What went wrong with the class's connection, in French, for the window that asked for it.

// A connection lost or not made: `rc` is libmosquitto's result, `error` the errno beside it.
QString linkFailureText(const BrokerAddress& broker, int rc, int error, bool wasConnected);
QString tlsFailureText(const BrokerAddress& broker);
QString accountRefusedText(const BrokerAddress& broker);
// The broker's reason code for a message it would not take.
QString publishRefusedText(int reason);

} // namespace thermo::classroom
