#pragma once

#include "acquisition/board_info.h"
#include "acquisition/code_source.h"

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

namespace thermo {

// A kind of board the acquisition control can read from instead of its simulated bench.
struct BoardKind {
    std::string name;
    // A source reading from the board on that port; it starts talking to it at once.
    std::function<std::unique_ptr<CodeSource>(const std::string& portPath)> open;
    // Which of these ports hold a board of this kind, asked within `limit` at most, or until
    // `stop` comes.
    std::function<std::vector<BoardInfo>(const std::vector<std::string>& portPaths,
                                         std::chrono::milliseconds limit, std::stop_token stop)>
        recognise;
};

// Every kind there is, the project's own board first. A new kind is its own files and one line
// in board_kinds.cpp.
const std::vector<BoardKind>& boardKinds();

inline constexpr std::chrono::milliseconds searchLimitPerKind{2500};

// The boards on these ports, each kind asking in turn the ports no kind before it
// recognised. Opening a port resets the board on it: only ever done when the user asks.
std::vector<BoardInfo> findBoards(const std::vector<std::string>& portPaths,
                                  std::chrono::milliseconds limitPerKind = searchLimitPerKind,
                                  std::stop_token stop = {});
// The same on every serial port of the system.
std::vector<BoardInfo> findBoards(std::stop_token stop = {});

} // namespace thermo
