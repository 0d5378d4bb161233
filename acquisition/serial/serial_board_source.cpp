#include "acquisition/serial/serial_board_source.h"

#include "acquisition/serial/board_link.h"
#include "core/failure.h"

#include <utility>

namespace thermo {

namespace {

namespace protocol = board_protocol;

// Messages shown as they stand in the temperature field.
constexpr const char* unplugged = "Carte débranchée";
constexpr const char* noAnswer = "Carte : pas de réponse";
constexpr const char* garbled = "Carte : réponse illisible";
constexpr const char* outOfRange = "Carte : code hors plage";
constexpr const char* refused = "Carte : commande refusée";
constexpr const char* booting = "Carte : démarrage en cours";
constexpr const char* foreign = "Carte : appareil inconnu";

[[noreturn]] void fail(const char* message) {
    throw Failure(FailureKind::AcquisitionFailed, message);
}

} // namespace

SerialBoardSource::SerialBoardSource(std::string portPath, SerialTiming timing)
    : link_(std::make_unique<BoardLink>(std::move(portPath))), timing_(timing) {}

SerialBoardSource::~SerialBoardSource() = default;

std::string SerialBoardSource::portPath() const {
    return link_->portPath();
}

std::string SerialBoardSource::name() const {
    return "Carte série (" + portPath() + ")";
}

std::uint16_t SerialBoardSource::nextTag() {
    return ++tag_;
}

void SerialBoardSource::dropPort(const char* message) {
    link_->close();
    state_ = State::Closed;
    handshake_.reset();
    nextOpenAttempt_ = Clock::now() + timing_.reopenInterval;
    fail(message);
}

AutomationValue SerialBoardSource::read(std::int32_t channel) {
    const std::string command = protocol::measureCommand(channel);
    try {
        const std::int32_t code = readCode(command);
        setStatus({SourceState::Connected, {}});
        return std::int64_t{code};
    } catch (const Failure& failure) {
        // A board still starting is on its way; any other failure lost it.
        setStatus({state_ == State::Booting ? SourceState::Connecting : SourceState::Lost,
                   failure.what()});
        throw;
    }
}

void SerialBoardSource::setStatus(SourceStatus status) {
    if (status != status_) {
        status_ = std::move(status);
        notifyChanged();
    }
}

std::int32_t SerialBoardSource::readCode(const std::string& command) {
    const auto start = Clock::now();
    const auto deadline = start + timing_.readTimeout;
    if (state_ == State::Closed) {
        openIfDue(start);
    }
    if (state_ == State::Booting) {
        awaitBoard(deadline);
    }
    return query(command, deadline);
}

void SerialBoardSource::openIfDue(Clock::time_point now) {
    if (now < nextOpenAttempt_) {
        fail(unplugged);
    }
    nextOpenAttempt_ = now + timing_.reopenInterval;
    if (!link_->open()) {
        fail(unplugged);
    }
    state_ = State::Booting;
    bootDeadline_ = now + timing_.bootTimeout;
    handshake_.emplace(*link_, tag_);
}

// Waits, within this read's time, for the board to identify itself.
void SerialBoardSource::awaitBoard(Clock::time_point deadline) {
    switch (handshake_->poll(deadline)) {
    case IdentityHandshake::Outcome::Identified:
        identity_ = handshake_->identity();
        state_ = State::Ready;
        return;
    case IdentityHandshake::Outcome::Foreign:
        dropPort(foreign);
    case IdentityHandshake::Outcome::Lost:
        dropPort(unplugged);
    case IdentityHandshake::Outcome::Pending:
        break;
    }
    if (Clock::now() >= bootDeadline_) {
        dropPort(noAnswer);
    }
    fail(booting);
}

std::int32_t SerialBoardSource::query(const std::string& command, Clock::time_point deadline) {
    link_->discardInput();
    std::uint16_t tag = nextTag();
    if (!link_->send(protocol::taggedRequest(command, tag), deadline)) {
        if (link_->lost()) {
            dropPort(unplugged);
        }
        fail(noAnswer);
    }
    bool sawNoise = false;
    while (auto line = link_->readLine(deadline)) {
        const auto answer = protocol::splitAnswer(*line);
        if (answer.tag == tag) {
            const auto code = protocol::interpretCode(answer.payload);
            switch (code.status) {
            case protocol::CodeStatus::Valid:
                return code.code;
            case protocol::CodeStatus::Refused:
                fail(refused);
            case protocol::CodeStatus::OutOfRange:
                fail(outOfRange);
            case protocol::CodeStatus::Garbled:
                fail(garbled);
            }
        } else if (!answer.tag && answer.payload == protocol::readyLine) {
            // The board restarted and lost the request with its buffer: ask again.
            tag = nextTag();
            link_->send(protocol::taggedRequest(command, tag), deadline);
        } else if (!answer.tag) {
            sawNoise = true;
        }
        // A line with another tag is the late answer to an earlier request.
    }
    if (link_->lost()) {
        dropPort(unplugged);
    }
    fail(sawNoise ? garbled : noAnswer);
}

} // namespace thermo
