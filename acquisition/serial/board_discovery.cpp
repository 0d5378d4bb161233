#include "acquisition/serial/board_discovery.h"

#include "acquisition/serial/board_link.h"
#include "acquisition/serial/identity_handshake.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <memory>
#include <optional>

namespace thermo {

namespace {

using Clock = BoardLink::Clock;

// Ports are polled in turn, each for at most this long, so that one slow port does not hide
// another's answer for long.
constexpr std::chrono::milliseconds pollSlice{5};

struct Candidate {
    std::unique_ptr<BoardLink> link;
    std::optional<IdentityHandshake> handshake;
    bool settled = false;
};

std::string descriptionOf(const std::string& path) {
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation().toStdString() == path) {
            return info.description().toStdString();
        }
    }
    return {};
}

} // namespace

std::vector<std::string> serialPortPaths() {
    std::vector<std::string> paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        paths.push_back(info.systemLocation().toStdString());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<BoardInfo> probeBoards(const std::vector<std::string>& portPaths,
                                   std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    std::uint16_t tag = 0;
    std::vector<Candidate> candidates;
    for (const std::string& path : portPaths) {
        Candidate candidate{std::make_unique<BoardLink>(path), std::nullopt};
        if (candidate.link->open()) {
            candidate.handshake.emplace(*candidate.link, tag);
            candidates.push_back(std::move(candidate));
        }
    }

    std::vector<BoardInfo> boards;
    auto pending = [&] {
        return std::any_of(candidates.begin(), candidates.end(),
                           [](const Candidate& c) { return !c.settled; });
    };
    while (pending() && Clock::now() < deadline) {
        for (Candidate& candidate : candidates) {
            if (candidate.settled) {
                continue;
            }
            const auto sliceEnd = std::min(deadline, Clock::now() + pollSlice);
            switch (candidate.handshake->poll(sliceEnd)) {
            case IdentityHandshake::Outcome::Identified: {
                boards.push_back(
                    identifiedBoard(candidate.link->portPath(), *candidate.handshake->identity()));
                candidate.settled = true;
                break;
            }
            case IdentityHandshake::Outcome::Foreign:
            case IdentityHandshake::Outcome::Lost:
                candidate.settled = true;
                break;
            case IdentityHandshake::Outcome::Pending:
                break;
            }
        }
    }
    candidates.clear();

    for (BoardInfo& board : boards) {
        board.description = descriptionOf(board.portPath);
    }
    std::sort(boards.begin(), boards.end(),
              [](const BoardInfo& a, const BoardInfo& b) { return a.portPath < b.portPath; });
    return boards;
}

} // namespace thermo
