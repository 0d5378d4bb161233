#pragma once

#include "acquisition/board_conversation.h"
#include "acquisition/board_info.h"
#include "acquisition/serial_ports.h"

#include <memory>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

namespace thermo {

class BoardMailbox;
struct BoardKind;

// What a board's worker thread does: opens the port once, finds out which kind of board is on
// it, and hands that opening to the kind's conversation, which talks with the board until it is
// lost. A board once known is followed, not its port: Linux may give it back under another
// name. It is then looked for on its port and on each port that came since, each opened once
// while it stays and asked by every kind, so that what is found there is known; a board that
// could be another one like it is not taken but told to the mailbox, for the user to say.
class BoardSession {
public:
    BoardSession(std::string portPath, const std::vector<const BoardKind*>& kinds,
                 const BoardTiming& timing, PortLister ports, BoardMailbox& mailbox);
    ~BoardSession();

    // Until `stop` comes, or the device on the port is not a board of these kinds.
    void run(std::stop_token stop);

private:
    using End = BoardConversation::End;
    struct Candidate {
        const BoardKind* kind;
        std::unique_ptr<BoardConversation> conversation;
    };

    // Opens `path`, recognises the board there and talks with it: how the talk ended, or
    // nothing when there was no board to talk with. A quiet visit, to a port where the board
    // may or may not be, tells the mailbox nothing unless it finds it; `changed` are the ports
    // that came or went since the board was lost, those found to hold something else aside.
    std::optional<End> visit(const std::string& path, bool quiet,
                             const std::vector<PortInfo>& changed, std::stop_token stop);
    // After the board was lost: until it is found and its talk ends, or `stop`.
    End lookFor(std::stop_token stop);
    StartTexts startTexts() const;

    std::string path_;
    BoardTiming timing_;
    PortLister ports_;
    BoardMailbox& mailbox_;
    std::vector<Candidate> candidates_; // only the board's own kind once it is known
    std::vector<Candidate> strangers_;  // the other kinds, asked too once it is looked for
    std::optional<BoardInfo> known_;
    std::vector<PortInfo> listedInUse_; // when it was found
    // Ports found, while it was looked for, to hold something that is not it.
    std::set<std::string> elsewhere_;
};

} // namespace thermo
