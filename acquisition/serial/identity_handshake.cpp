#include "acquisition/serial/identity_handshake.h"

namespace thermo {

namespace protocol = board_protocol;

BoardInfo identifiedBoard(const std::string& portPath, const protocol::BoardIdentity& identity) {
    return {portPath,
            {},
            identity.serialNumber,
            identity.firmwareVersion,
            "carte n\u00B0 " + identity.serialNumber,
            nullptr};
}

void IdentityHandshake::restart() {
    reader_.clear();
    asked_.reset();
    heard_ = false;
    identity_.reset();
    foreign_.clear();
}

std::string IdentityHandshake::question() {
    asked_ = ++tag_;
    heard_ = false;
    return protocol::taggedRequest(protocol::identityQuery, *asked_);
}

Greeting IdentityHandshake::hear(std::string_view bytes) {
    reader_.feed(bytes);
    while (auto line = reader_.next()) {
        // Whatever the board printed while starting is passed over.
        if (line->cut) {
            continue;
        }
        const auto answer = protocol::splitAnswer(line->text);
        if (!answer.tag && answer.payload == protocol::readyLine) {
            heard_ = true;
        } else if (answer.tag && answer.tag == asked_) {
            identity_ = protocol::parseIdentity(answer.payload);
            if (identity_) {
                return Greeting::Identified;
            }
            if (!protocol::isRefusal(answer.payload)) {
                foreign_ = protocol::printable(answer.payload);
                return Greeting::Foreign;
            }
            heard_ = true;
        }
    }
    return Greeting::Pending;
}

} // namespace thermo
