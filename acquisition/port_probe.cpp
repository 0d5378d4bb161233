#include "acquisition/port_probe.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace thermo {

namespace {

constexpr std::chrono::milliseconds pollSlice{5};

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

std::vector<BoardInfo> probePorts(const std::vector<std::string>& portPaths,
                                  std::chrono::milliseconds limit, std::stop_token stop,
                                  const ProbeOpener& open) {
    using Clock = PortProbe::Clock;
    const auto deadline = Clock::now() + limit;
    std::vector<std::unique_ptr<PortProbe>> pending;
    for (const std::string& path : portPaths) {
        if (auto probe = open(path)) {
            pending.push_back(std::move(probe));
        }
    }
    std::vector<BoardInfo> boards;
    while (!pending.empty() && Clock::now() < deadline && !stop.stop_requested()) {
        std::erase_if(pending, [&](const std::unique_ptr<PortProbe>& probe) {
            switch (probe->poll(std::min(deadline, Clock::now() + pollSlice))) {
            case Greeting::Identified:
                boards.push_back(probe->board());
                return true;
            case Greeting::Foreign:
            case Greeting::Lost:
                return true;
            case Greeting::Pending:
                break;
            }
            return false;
        });
    }
    pending.clear();
    for (BoardInfo& board : boards) {
        board.description = descriptionOf(board.portPath);
    }
    std::sort(boards.begin(), boards.end(),
              [](const BoardInfo& a, const BoardInfo& b) { return a.portPath < b.portPath; });
    return boards;
}

} // namespace thermo
