#include "acquisition/board_session.h"

#include "acquisition/board_identity.h"
#include "acquisition/board_kinds.h"
#include "acquisition/board_mailbox.h"
#include "acquisition/board_recognition.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace thermo {

namespace {

using Clock = SerialLine::Clock;

// While the kind of the board is not known yet.
constexpr StartTexts recognising{"Carte : reconnaissance en cours",
                                 "Carte : aucune carte reconnue sur ce port"};

bool listedIn(const std::vector<PortInfo>& ports, const std::string& path) {
    return std::any_of(ports.begin(), ports.end(),
                       [&](const PortInfo& port) { return port.path == path; });
}

// The ports in `from` that `to` does not list, added to `changed` once each.
void addMissing(const std::vector<PortInfo>& from, const std::vector<PortInfo>& to,
                std::vector<PortInfo>& changed) {
    for (const PortInfo& port : from) {
        if (!listedIn(to, port.path) && !listedIn(changed, port.path)) {
            changed.push_back(port);
        }
    }
}

} // namespace

BoardSession::BoardSession(std::string portPath, const std::vector<const BoardKind*>& kinds,
                           const BoardTiming& timing, PortLister ports, BoardMailbox& mailbox)
    : path_(std::move(portPath)), timing_(timing), ports_(std::move(ports)), mailbox_(mailbox) {
    for (const BoardKind* kind : boardKinds()) {
        const bool accepted = std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
        (accepted ? candidates_ : strangers_).push_back({kind, kind->converse(timing)});
    }
}

BoardSession::~BoardSession() = default;

StartTexts BoardSession::startTexts() const {
    return candidates_.size() == 1 ? candidates_.front().conversation->startTexts() : recognising;
}

void BoardSession::run(std::stop_token stop) {
    std::optional<End> end = visit(path_, false, {}, stop);
    while (end != End::Stopped && end != End::Foreign) {
        if (known_) {
            end = lookFor(stop);
        } else if (pauseUntil(Clock::now() + timing_.reopenInterval, stop)) {
            end = visit(path_, false, {}, stop);
        } else {
            return;
        }
    }
}

std::optional<BoardConversation::End> BoardSession::visit(const std::string& path, bool quiet,
                                                          const std::vector<PortInfo>& changed,
                                                          std::stop_token stop) {
    const auto tell = [&](SourceState state, const std::string& cause) {
        if (!quiet) {
            mailbox_.setState(state, cause);
        }
    };
    SerialLine line(path);
    if (!line.open(candidates_.front().conversation->baudRate())) {
        tell(SourceState::Lost, unpluggedText);
        return std::nullopt;
    }
    tell(SourceState::Connecting, startTexts().booting);
    std::vector<BoardConversation*> asked;
    for (const Candidate& candidate : candidates_) {
        asked.push_back(candidate.conversation.get());
    }
    // Where the board is looked for, what is there is found out too.
    for (const Candidate& candidate : strangers_) {
        if (quiet) {
            asked.push_back(candidate.conversation.get());
        }
    }
    BoardRecognition recognition(line, asked);
    for (const auto deadline = Clock::now() + timing_.bootTimeout;;) {
        if (stop.stop_requested()) {
            return End::Stopped;
        }
        const Greeting greeting = recognition.poll(nextWait(deadline));
        if (greeting == Greeting::Identified) {
            break;
        }
        if (greeting == Greeting::Foreign) {
            elsewhere_.insert(path);
            tell(SourceState::Lost, recognition.answered()->foreignCause());
            return quiet ? std::nullopt : std::optional(End::Foreign);
        }
        if (greeting == Greeting::Lost || Clock::now() >= deadline) {
            tell(SourceState::Lost,
                 greeting == Greeting::Lost ? unpluggedText : startTexts().noAnswer);
            return std::nullopt;
        }
    }
    const auto answered = std::find_if(candidates_.begin(), candidates_.end(), [&](auto& c) {
        return c.conversation.get() == recognition.answered();
    });
    if (answered == candidates_.end()) {
        // A board of another kind.
        elsewhere_.insert(path);
        return std::nullopt;
    }
    BoardInfo found = answered->conversation->board();
    found.kind = answered->kind;
    const std::vector<PortInfo> listed = ports_();
    found.setPort(portAt(listed, path));
    if (known_) {
        std::vector<PortInfo> suspects;
        std::copy_if(changed.begin(), changed.end(), std::back_inserter(suspects),
                     [this](const PortInfo& port) { return !elsewhere_.contains(port.path); });
        const Reappearance verdict = judgeReappearance(*known_, found, suspects);
        if (verdict == Reappearance::Ask) {
            mailbox_.addLookalike(found);
        } else if (verdict == Reappearance::Ignore) {
            elsewhere_.insert(path);
        }
        if (verdict != Reappearance::Follow) {
            return std::nullopt;
        }
    }
    known_ = found;
    listedInUse_ = listed;
    path_ = path;
    // Only its kind is talked with from now on; the others are asked where it is looked for.
    std::move(candidates_.begin(), answered, std::back_inserter(strangers_));
    std::move(std::next(answered), candidates_.end(), std::back_inserter(strangers_));
    Candidate chosen = std::move(*answered);
    candidates_.clear();
    candidates_.push_back(std::move(chosen));
    mailbox_.setBoard(found);
    mailbox_.setState(SourceState::Connecting, startTexts().booting);
    return candidates_.front().conversation->talk(line, mailbox_, stop);
}

BoardConversation::End BoardSession::lookFor(std::stop_token stop) {
    // What was there while it was in use: a board like it unplugged with it may be among them.
    std::vector<PortInfo> atLoss = ports_();
    for (const PortInfo& port : listedInUse_) {
        if (!listedIn(atLoss, port.path)) {
            atLoss.push_back(port);
        }
    }
    std::vector<PortInfo> changed;
    // Ports not to open: those listed at the loss hold other devices, and each port that came
    // since is opened once while it stays. A port that goes is forgotten.
    std::set<std::string> passed;
    for (const PortInfo& port : atLoss) {
        passed.insert(port.path);
    }
    while (pauseUntil(Clock::now() + timing_.reopenInterval, stop)) {
        const std::vector<PortInfo> listed = ports_();
        addMissing(atLoss, listed, changed);
        addMissing(listed, atLoss, changed);
        const auto gone = [&](const std::string& path) { return !listedIn(listed, path); };
        std::erase_if(passed, gone);
        std::erase_if(elsewhere_, gone);
        // Its own port first: a path that comes back, or a stable link to the board; not
        // while it holds what is not the board.
        if (!elsewhere_.contains(path_)) {
            if (const auto end = visit(path_, true, changed, stop)) {
                return *end;
            }
        }
        for (const PortInfo& port : listed) {
            if (port.path != path_ && passed.insert(port.path).second) {
                if (const auto end = visit(port.path, true, changed, stop)) {
                    return *end;
                }
            }
        }
    }
    return End::Stopped;
}

} // namespace thermo
