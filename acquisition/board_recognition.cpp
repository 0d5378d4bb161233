#include "acquisition/board_recognition.h"

#include "acquisition/board_conversation.h"

namespace thermo {

BoardRecognition::BoardRecognition(SerialLine& line, std::vector<BoardConversation*> kinds)
    : line_(line), lastQuestion_(Clock::now()), nextQuestion_(lastQuestion_ + listenFirst) {
    for (BoardConversation* kind : kinds) {
        kind->restart();
        candidates_.push_back({kind});
    }
}

void BoardRecognition::ask(Candidate& candidate, Clock::time_point now) {
    if (line_.baudRate() != candidate.kind->baudRate()) {
        line_.setBaudRate(candidate.kind->baudRate());
    }
    line_.send(candidate.kind->question(), now + waitSlice);
    candidate.asked = true;
    candidate.askedAt = now;
    lastQuestion_ = now;
    nextQuestion_ = now + questionInterval;
}

BoardRecognition::Candidate& BoardRecognition::nextInTurn(bool afterNoise) {
    for (std::size_t i = 0; afterNoise && i < candidates_.size(); ++i) {
        Candidate& candidate = candidates_[(turn_ + i) % candidates_.size()];
        if (candidate.kind->baudRate() != line_.baudRate()) {
            turn_ += i;
            break;
        }
    }
    return candidates_[turn_++ % candidates_.size()];
}

Greeting BoardRecognition::poll(Clock::time_point until) {
    if (answered_ != nullptr) {
        return Greeting::Identified;
    }
    if (Clock::now() >= nextQuestion_) {
        ask(nextInTurn(false), Clock::now());
    }
    const std::string bytes = line_.receive(until);
    if (line_.lost()) {
        return Greeting::Lost;
    }
    if (bytes.empty()) {
        return Greeting::Pending;
    }
    bool claimed = false;
    for (Candidate& candidate : candidates_) {
        const Greeting heard = candidate.kind->hear(bytes);
        if (heard == Greeting::Identified || heard == Greeting::Foreign) {
            answered_ = candidate.kind;
            return heard;
        }
        // A board of that kind has just started, or is already talking: it is asked now.
        if (candidate.kind->heardItsProtocol()) {
            claimed = true;
            const auto now = Clock::now();
            if (!candidate.asked || now - candidate.askedAt >= questionInterval) {
                ask(candidate, now);
            }
        }
    }
    // Nothing any kind knows: the bootloader's noise, or a greeting at another speed.
    if (!claimed && Clock::now() - lastQuestion_ >= questionInterval) {
        ask(nextInTurn(true), Clock::now());
    }
    return Greeting::Pending;
}

} // namespace thermo
