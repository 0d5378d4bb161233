#include "acquisition/board_kinds.h"

#include "acquisition/serial/board_discovery.h"
#include "acquisition/serial/serial_board_source.h"

#include <algorithm>

namespace thermo {

const std::vector<BoardKind>& boardKinds() {
    static const std::vector<BoardKind> kinds{
        {"Carte série",
         [](const std::string& port) { return std::make_unique<SerialBoardSource>(port); },
         probeBoards},
    };
    return kinds;
}

std::vector<BoardInfo> findBoards(std::chrono::milliseconds limitPerKind) {
    std::vector<std::string> unclaimed = serialPortPaths();
    std::vector<BoardInfo> boards;
    for (const BoardKind& kind : boardKinds()) {
        for (BoardInfo& board : kind.recognise(unclaimed, limitPerKind)) {
            std::erase(unclaimed, board.portPath);
            board.kind = &kind;
            boards.push_back(std::move(board));
        }
    }
    std::sort(boards.begin(), boards.end(),
              [](const BoardInfo& a, const BoardInfo& b) { return a.portPath < b.portPath; });
    return boards;
}

} // namespace thermo
