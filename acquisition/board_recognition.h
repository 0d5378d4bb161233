#pragma once

#include "acquisition/greeting.h"
#include "acquisition/serial_line.h"

#include <chrono>
#include <vector>

namespace thermo {

class BoardConversation;

// Which kind of board is on a port just opened, found out on that one opening: opening the
// port of an Uno restarts it, and each restart costs its bootloader's two seconds. The port is
// listened to first, since a board that restarts greets by itself once started (StandardFirmata
// with its version and firmware, the project's board with READY); then the kinds are asked in
// turn, each at its own speed, the kind whose protocol was heard at once and first, and after
// noise the kinds that speak at another speed than the port's.
class BoardRecognition {
public:
    using Clock = SerialLine::Clock;

    // Long enough for a board that has just started to be heard; a board that does not restart
    // with the opening (a pseudo-terminal, a board with native USB) waits no longer than this.
    static constexpr std::chrono::milliseconds listenFirst{250};
    // Between two questions; each kind is asked once a turn of them all.
    static constexpr std::chrono::milliseconds questionInterval{125};

    // `kinds` in the order to ask them when nothing tells otherwise; the line is open.
    BoardRecognition(SerialLine& line, std::vector<BoardConversation*> kinds);

    // Asks when it is time to, then reads what came until `until` at most. Identified or
    // Foreign as the kind that answered() says; Lost when the port went away.
    Greeting poll(Clock::time_point until);
    BoardConversation* answered() const noexcept { return answered_; }

private:
    struct Candidate {
        BoardConversation* kind;
        Clock::time_point askedAt{};
        bool asked = false;
    };

    void ask(Candidate& candidate, Clock::time_point now);
    // The next in turn, and after noise the next that speaks at another speed.
    Candidate& nextInTurn(bool afterNoise);

    SerialLine& line_;
    std::vector<Candidate> candidates_;
    Clock::time_point lastQuestion_; // or the opening, before the first
    Clock::time_point nextQuestion_;
    std::size_t turn_ = 0;
    BoardConversation* answered_ = nullptr;
};

} // namespace thermo
