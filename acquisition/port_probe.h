#pragma once

#include "acquisition/board_info.h"

#include <chrono>
#include <stop_token>
#include <string>
#include <vector>

namespace thermo {

struct BoardKind;

// Opens every port once and finds out, on that opening, which of `kinds` is on it
// (BoardRecognition). All ports at once, each polled in turn for a few milliseconds so that a
// slow one does not hide another's answer, until each has answered, `limit` passed or `stop`
// came. The boards found, with their kind, in the order of their paths; the ports are closed.
std::vector<BoardInfo> probePorts(const std::vector<std::string>& portPaths,
                                  const std::vector<const BoardKind*>& kinds,
                                  std::chrono::milliseconds limit, std::stop_token stop);

} // namespace thermo
