#pragma once

#include "acquisition/board_conversation.h"
#include "acquisition/board_mailbox.h"
#include "acquisition/serial_ports.h"

#include <memory>
#include <stop_token>
#include <string>
#include <vector>

class QThread;

namespace thermo {

struct BoardKind;

// Talks with a board in a thread of its own, from construction to destruction (BoardSession):
// finds out which of `kinds` it is on the port's first opening, talks with it on that opening,
// and once its port is gone looks for it, on that port and among those that `ports` lists anew.
// The interface's thread only takes what is in the mailbox, and never waits on the port.
// Nothing thrown in the thread leaves it: what went wrong there becomes the cause every read
// gives.
class BoardWorker {
public:
    BoardWorker(std::string portPath, std::vector<const BoardKind*> kinds,
                const BoardTiming& timing, PortLister ports);
    // Stops the thread, which takes one waitSlice at most.
    ~BoardWorker();
    BoardWorker(const BoardWorker&) = delete;
    BoardWorker& operator=(const BoardWorker&) = delete;

    BoardMailbox& mailbox() noexcept { return mailbox_; }
    const BoardMailbox& mailbox() const noexcept { return mailbox_; }
    // The port it was first given.
    const std::string& portPath() const noexcept { return portPath_; }
    const BoardTiming& timing() const noexcept { return timing_; }

private:
    void run(std::stop_token stop) noexcept;

    std::string portPath_;
    std::vector<const BoardKind*> kinds_;
    BoardTiming timing_;
    PortLister ports_;
    BoardMailbox mailbox_;
    std::stop_source stop_;
    std::unique_ptr<QThread> thread_;
};

} // namespace thermo
