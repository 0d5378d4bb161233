#pragma once

#include "acquisition/board_mailbox.h"

#include <chrono>
#include <memory>
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

// False when `stop` came first.
bool pauseUntil(std::chrono::steady_clock::time_point until, std::stop_token stop);

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
