#pragma once

#include "acquisition/board_info.h"
#include "acquisition/code_source.h"
#include "acquisition/serial_ports.h"

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

namespace thermo {

class BoardConversation;
class BoardWorker;
struct BoardTiming;

// A kind of board the acquisition control can read from instead of its simulated bench.
struct BoardKind {
    std::string name;
    // Talks with boards of this kind: one for each worker, or each port a search opens.
    std::function<std::unique_ptr<BoardConversation>(const BoardTiming& timing)> converse;
    // The source that reads what `worker`, talking to a board of this kind, receives.
    std::function<std::unique_ptr<CodeSource>(std::unique_ptr<BoardWorker> worker)> read;
};

// The kind whose boards talk through a `Conversation` and are read by a `Source`, both made from
// what they are given.
template <typename Conversation, typename Source> BoardKind kindOf(std::string name) {
    return {std::move(name),
            [](const BoardTiming& timing) { return std::make_unique<Conversation>(timing); },
            [](std::unique_ptr<BoardWorker> worker) {
                return std::make_unique<Source>(std::move(worker));
            }};
}

// Every kind there is, the project's own board first. A new kind is its own files and one line
// in board_kinds.cpp.
const std::vector<const BoardKind*>& boardKinds();

// A source reading from a board of `kind` on that port; it starts talking to it at once, and
// looks for it among `ports` once it was unplugged.
std::unique_ptr<CodeSource> openBoard(const BoardKind& kind, const std::string& portPath,
                                      const BoardTiming& timing, PortLister ports);

inline constexpr std::chrono::milliseconds searchLimit{3000};

// The boards on these ports, each port opened once and asked by every kind (opening a port
// restarts the board on it: only ever done when the user asks), within `limit`, or until `stop`
// comes; with what `ports` says of each.
std::vector<BoardInfo> findBoards(const std::vector<std::string>& portPaths,
                                  std::chrono::milliseconds limit = searchLimit,
                                  std::stop_token stop = {},
                                  const PortLister& ports = systemSerialPorts);
// The same on every port `ports` lists.
std::vector<BoardInfo> findBoards(const PortLister& ports, std::stop_token stop = {});

} // namespace thermo
