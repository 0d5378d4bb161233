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

bool IdentityHandshake::ask(Clock::time_point deadline) {
    asked_ = ++tag_;
    askedAt_ = Clock::now();
    return link_.send(protocol::taggedRequest(protocol::identityQuery, *asked_), deadline) ||
           !link_.lost();
}

IdentityHandshake::Outcome IdentityHandshake::poll(Clock::time_point until) {
    if (identity_) {
        return Outcome::Identified;
    }
    if ((!asked_ || Clock::now() - askedAt_ >= retryInterval) && !ask(until)) {
        return Outcome::Lost;
    }
    // Whatever the board printed while starting is passed over.
    while (auto line = link_.readLine(until)) {
        if (line->cut) {
            continue;
        }
        const auto answer = protocol::splitAnswer(line->text);
        if (!answer.tag && answer.payload == protocol::readyLine) {
            if (!ask(until)) {
                return Outcome::Lost;
            }
        } else if (answer.tag && answer.tag == asked_) {
            identity_ = protocol::parseIdentity(answer.payload);
            if (identity_) {
                return Outcome::Identified;
            }
            if (!protocol::isRefusal(answer.payload)) {
                foreign_ = protocol::printable(answer.payload);
                return Outcome::Foreign;
            }
        }
    }
    return link_.lost() ? Outcome::Lost : Outcome::Pending;
}

} // namespace thermo
