#include "acquisition/board_kinds.h"

#include "acquisition/firmata/firmata_board_source.h"
#include "acquisition/firmata/firmata_discovery.h"
#include "acquisition/port_probe.h"
#include "acquisition/serial/board_discovery.h"
#include "acquisition/serial/serial_board_source.h"

#include <algorithm>

namespace thermo {

namespace {

template <typename Source> std::unique_ptr<CodeSource> openOn(const std::string& portPath) {
    return std::make_unique<Source>(portPath);
}

} // namespace

const std::vector<BoardKind>& boardKinds() {
    static const std::vector<BoardKind> kinds{
        {"Carte série", openOn<SerialBoardSource>, probeBoards},
        {"Carte Firmata", openOn<FirmataBoardSource>, probeFirmataBoards},
    };
    return kinds;
}

std::vector<BoardInfo> findBoards(const std::vector<std::string>& portPaths,
                                  std::chrono::milliseconds limitPerKind, std::stop_token stop) {
    std::vector<std::string> unclaimed = portPaths;
    std::vector<BoardInfo> boards;
    for (const BoardKind& kind : boardKinds()) {
        if (unclaimed.empty() || stop.stop_requested()) {
            break;
        }
        for (BoardInfo& board : kind.recognise(unclaimed, limitPerKind, stop)) {
            std::erase(unclaimed, board.portPath);
            board.kind = &kind;
            boards.push_back(std::move(board));
        }
    }
    std::sort(boards.begin(), boards.end(),
              [](const BoardInfo& a, const BoardInfo& b) { return a.portPath < b.portPath; });
    return boards;
}

std::vector<BoardInfo> findBoards(std::stop_token stop) {
    return findBoards(serialPortPaths(), searchLimitPerKind, stop);
}

} // namespace thermo
