#include "acquisition/serial/board_discovery.h"

#include "acquisition/serial/board_link.h"
#include "acquisition/serial/board_protocol.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <memory>
#include <optional>

namespace thermo {

namespace {

namespace protocol = board_protocol;
using Clock = BoardLink::Clock;

// Ports are polled in turn, each for at most this long, so that one slow port does not hide
// another's answer for long.
constexpr std::chrono::milliseconds pollSlice{5};
constexpr std::chrono::milliseconds identityRetry{250};

struct Candidate {
    std::unique_ptr<BoardLink> link;
    std::uint16_t tag = 0;
    Clock::time_point askedAt{};
    bool settled = false;
};

void ask(Candidate& candidate, std::uint16_t& tag, Clock::time_point deadline) {
    candidate.tag = ++tag;
    candidate.askedAt = Clock::now();
    if (!candidate.link->send(protocol::taggedRequest(protocol::identityQuery, candidate.tag),
                              deadline) &&
        candidate.link->lost()) {
        candidate.settled = true;
    }
}

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
        Candidate candidate{std::make_unique<BoardLink>(path)};
        if (candidate.link->open()) {
            ask(candidate, tag, deadline);
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
            while (auto line = candidate.link->readLine(sliceEnd)) {
                const auto answer = protocol::splitAnswer(*line);
                if (!answer.tag && answer.payload == protocol::readyLine) {
                    ask(candidate, tag, deadline);
                } else if (answer.tag == candidate.tag && !protocol::isRefusal(answer.payload)) {
                    if (auto identity = protocol::parseIdentity(answer.payload)) {
                        boards.push_back({candidate.link->portPath(),
                                          {},
                                          std::move(identity->serialNumber),
                                          std::move(identity->firmwareVersion)});
                    }
                    candidate.settled = true;
                    break;
                }
            }
            if (candidate.link->lost()) {
                candidate.settled = true;
            } else if (!candidate.settled && Clock::now() - candidate.askedAt >= identityRetry) {
                ask(candidate, tag, deadline);
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
