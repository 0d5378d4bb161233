#pragma once

#include "acquisition/board_info.h"

#include <vector>

// Telling a board from another once it was unplugged: Linux may give it back under another
// name (/dev/ttyACM0 comes back as /dev/ttyACM1), and two boards of the same make may be
// plugged in. A board is known by its kind, what it said of itself and its USB device.
namespace thermo {

// `found` says of itself all that `known` said, from the same kind of USB device.
bool sameBoard(const BoardInfo& known, const BoardInfo& found);

// Nothing tells it from another board of its make: no serial number, neither its USB
// device's nor its own (a clone under StandardFirmata).
bool anonymous(const BoardInfo& board);

// `port` may hold a board that nothing tells from `board`: an anonymous board on the same
// kind of USB device, or on no USB device like it.
bool mayHoldLookalike(const BoardInfo& board, const PortInfo& port);

enum class Reappearance {
    Follow, // it is the board: read from it there
    Ask,    // it may be the board or one like it: only the user knows
    Ignore, // another board
};

// What to make of `found`, recognised after `known` was lost from its port, wherever it is: a
// board is followed, not its port. `changed` are the ports that came or went since the loss and
// may hold anything: an anonymous board is followed only when none of them may hold one like
// it, for such a board may have moved too.
Reappearance judgeReappearance(const BoardInfo& known, const BoardInfo& found,
                               const std::vector<PortInfo>& changed);

} // namespace thermo
