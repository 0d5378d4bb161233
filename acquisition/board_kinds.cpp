#include "acquisition/board_kinds.h"

#include "acquisition/board_worker.h"
#include "acquisition/firmata/firmata_board_source.h"
#include "acquisition/port_probe.h"
#include "acquisition/serial/serial_board_source.h"

namespace thermo {

const std::vector<const BoardKind*>& boardKinds() {
    static const std::vector<const BoardKind*> kinds{
        &SerialBoardSource::kind(),
        &FirmataBoardSource::kind(),
    };
    return kinds;
}

std::unique_ptr<CodeSource> openBoard(const BoardKind& kind, const std::string& portPath,
                                      const BoardTiming& timing, PortLister ports) {
    return kind.read(std::make_unique<BoardWorker>(portPath, std::vector<const BoardKind*>{&kind},
                                                   timing, std::move(ports)));
}

std::vector<BoardInfo> findBoards(const std::vector<std::string>& portPaths,
                                  std::chrono::milliseconds limit, std::stop_token stop,
                                  const PortLister& ports) {
    std::vector<BoardInfo> boards = probePorts(portPaths, boardKinds(), limit, stop);
    const std::vector<PortInfo> listed = ports();
    for (BoardInfo& board : boards) {
        board.setPort(portAt(listed, board.portPath));
    }
    return boards;
}

std::vector<BoardInfo> findBoards(const PortLister& ports, std::stop_token stop) {
    std::vector<std::string> paths;
    for (const PortInfo& port : ports()) {
        paths.push_back(port.path);
    }
    return findBoards(paths, searchLimit, stop, ports);
}

} // namespace thermo
