#pragma once

#include "acquisition/board_mailbox.h"
#include "acquisition/greeting.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

class QThread;

namespace thermo {

struct BoardTiming {
    // A code older than this is no measurement: the read fails with the cause the talking
    // thread saw last.
    std::chrono::milliseconds staleAfter{500};
    // Pause before opening again a port that went away, or whose board never said who it is.
    std::chrono::milliseconds reopenInterval{1000};
    // Opening its port restarts an Uno: the time its board has to say who it is.
    std::chrono::milliseconds bootTimeout{3000};
    // How long a board has to answer one request.
    std::chrono::milliseconds answerTimeout{250};
};

// No wait on a port in the talking threads is longer than this, so that they stop quickly.
inline constexpr std::chrono::milliseconds waitSlice{20};

// The end of the next wait on a port, on the way to `deadline`.
inline std::chrono::steady_clock::time_point
nextWait(std::chrono::steady_clock::time_point deadline) {
    return std::min(deadline, std::chrono::steady_clock::now() + waitSlice);
}

// False when `stop` came first.
bool pauseUntil(std::chrono::steady_clock::time_point until, std::stop_token stop);

inline constexpr const char* unpluggedText = "Carte débranchée";

// A conversation with a board, from the opening of its port to the loss of it, held in a
// BoardWorker's thread. It keeps the mailbox up to date, the state it ends in included.
class BoardConversation {
public:
    // Lost: the port could not be opened, went away, or the board never said who it is.
    // Foreign: the device is something else; it is not asked again.
    enum class End { Lost, Foreign, Stopped };

    virtual ~BoardConversation() = default;
    virtual End talk(BoardMailbox& mailbox, std::stop_token stop) = 0;
};

// What the reads say while a board starts: its port is open but it has not said who it is
// yet; it said nothing valid within the time it had.
struct StartTexts {
    const char* booting;
    const char* noAnswer;
};

// Polls a board's greeting until it said who it is, for `limit` at most, keeping the mailbox
// told: nothing once it has, otherwise how the conversation ends. The cause given for a
// Foreign device is the caller's.
std::optional<BoardConversation::End>
awaitGreeting(const std::function<Greeting(std::chrono::steady_clock::time_point until)>& poll,
              BoardMailbox& mailbox, std::stop_token stop, std::chrono::milliseconds limit,
              const StartTexts& texts);

// Talks with a board in a thread of its own, from construction to destruction: runs the
// conversation, and after a loss runs it again every reopenInterval. The interface's thread
// only takes what is in the mailbox, and never waits on the port. Nothing thrown in the thread
// leaves it: what went wrong there becomes the cause every read gives.
class BoardWorker {
public:
    BoardWorker(std::unique_ptr<BoardConversation> conversation,
                std::chrono::milliseconds reopenInterval);
    // Stops the thread, which takes one waitSlice at most.
    ~BoardWorker();
    BoardWorker(const BoardWorker&) = delete;
    BoardWorker& operator=(const BoardWorker&) = delete;

    BoardMailbox& mailbox() noexcept { return mailbox_; }
    const BoardMailbox& mailbox() const noexcept { return mailbox_; }

private:
    void run(std::stop_token stop) noexcept;

    BoardMailbox mailbox_;
    std::unique_ptr<BoardConversation> conversation_;
    std::chrono::milliseconds reopenInterval_;
    std::stop_source stop_;
    std::unique_ptr<QThread> thread_;
};

} // namespace thermo
