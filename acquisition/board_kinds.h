#pragma once

#include "acquisition/board_info.h"
#include "acquisition/code_source.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace thermo {

// A kind of board the acquisition control can read from instead of its simulated bench.
struct BoardKind {
    std::string name;
    // A source reading from the board on that port; nothing is opened before its first read.
    std::function<std::unique_ptr<CodeSource>(const std::string& portPath)> open;
    // Which of these ports hold a board of this kind, asked within `limit` at most.
    std::function<std::vector<BoardInfo>(const std::vector<std::string>& portPaths,
                                         std::chrono::milliseconds limit)>
        recognise;
};

// Every kind there is, the project's own board first: a port typed by hand is opened as one.
// A new kind is its own files and one line in board_kinds.cpp.
const std::vector<BoardKind>& boardKinds();

// The boards on the system's serial ports, each kind asking in turn the ports no kind before
// it recognised. Opening a port resets the board on it: only ever done when the user asks.
std::vector<BoardInfo>
findBoards(std::chrono::milliseconds limitPerKind = std::chrono::milliseconds(2500));

} // namespace thermo
