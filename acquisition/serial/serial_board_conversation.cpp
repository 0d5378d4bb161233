#include "acquisition/serial/serial_board_conversation.h"

#include "acquisition/serial/board_protocol.h"

#include <algorithm>

namespace thermo {

namespace {

namespace protocol = board_protocol;
using Clock = BoardLink::Clock;

// Messages shown as they stand in the temperature field.
constexpr const char* noAnswer = "Carte : pas de réponse";
constexpr const char* garbled = "Carte : réponse illisible";
constexpr const char* outOfRange = "Carte : code hors plage";
constexpr const char* refused = "Carte : commande refusée";
constexpr const char* booting = "Carte : démarrage en cours";
constexpr const char* foreign = "Carte : appareil inconnu";

} // namespace

StartTexts SerialBoardConversation::startTexts() const {
    return {booting, noAnswer};
}

BoardInfo SerialBoardConversation::board() const {
    return identifiedBoard({}, *handshake_.identity());
}

// Opening the port again would restart the device for nothing: it is what it says.
std::string SerialBoardConversation::foreignCause() const {
    const std::string& answer = handshake_.foreignAnswer();
    return answer.empty() ? foreign : std::string(foreign) + " (" + answer + ")";
}

BoardConversation::End SerialBoardConversation::talk(SerialLine& line, BoardMailbox& mailbox,
                                                     std::stop_token stop) {
    BoardLink link(line);
    mailbox.setState(SourceState::Connected, noAnswer);
    for (auto next = Clock::now();;) {
        for (const std::int32_t channel : {0, 1}) {
            const Outcome outcome = query(link, channel, stop);
            if (stop.stop_requested()) {
                return End::Stopped;
            }
            if (link.lost()) {
                mailbox.setState(SourceState::Lost, unpluggedText);
                return End::Lost;
            }
            if (const auto* code = std::get_if<std::int32_t>(&outcome)) {
                mailbox.post(channel, *code, Clock::now());
            } else {
                mailbox.fail(channel, std::get<const char*>(outcome));
            }
        }
        // A board slower than the tick is asked again at once.
        next = std::max(next + pollInterval, Clock::now());
        if (!pauseUntil(next, stop)) {
            return End::Stopped;
        }
    }
}

SerialBoardConversation::Outcome
SerialBoardConversation::query(BoardLink& link, std::int32_t channel, std::stop_token stop) {
    const std::string command = protocol::measureCommand(channel);
    const auto deadline = Clock::now() + timing_.answerTimeout;
    link.discardInput();
    std::uint16_t tag = nextTag();
    if (!link.send(protocol::taggedRequest(command, tag), deadline)) {
        return noAnswer;
    }
    bool sawNoise = false;
    while (!stop.stop_requested() && !link.lost() && Clock::now() < deadline) {
        const auto line = link.readLine(nextWait(deadline));
        if (!line) {
            continue;
        }
        if (line->cut) {
            // The answer may have been in it, or its tail may look like one: neither is taken.
            return garbled;
        }
        const auto answer = protocol::splitAnswer(line->text);
        if (answer.tag == tag) {
            const auto code = protocol::interpretCode(answer.payload);
            switch (code.status) {
            case protocol::CodeStatus::Valid:
                return code.code;
            case protocol::CodeStatus::Refused:
                return refused;
            case protocol::CodeStatus::OutOfRange:
                return outOfRange;
            case protocol::CodeStatus::Garbled:
                return garbled;
            }
        } else if (!answer.tag && answer.payload == protocol::readyLine) {
            // The board restarted and lost the request with its buffer: ask again.
            tag = nextTag();
            link.send(protocol::taggedRequest(command, tag), deadline);
        } else if (!answer.tag) {
            sawNoise = true;
        }
        // A line with another tag is the late answer to an earlier request.
    }
    return sawNoise ? garbled : noAnswer;
}

} // namespace thermo
