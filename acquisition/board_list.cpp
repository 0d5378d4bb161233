#include "acquisition/board_list.h"

#include <algorithm>

namespace thermo {

namespace {

// "/dev/ttyACM0 — carte n° 0042": the port, then what the board said of itself.
std::string foundText(const BoardInfo& board) {
    return board.identification.empty() ? board.portPath
                                        : board.portPath + " \u2014 " + board.identification;
}

} // namespace

int BoardList::knownCount() const {
    return static_cast<int>(
        std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return e.known(); }));
}

bool BoardList::inUse(const Entry& entry) const {
    return !inUse_.empty() && entry.board.portPath == inUse_;
}

BoardList::Entry* BoardList::find(const std::string& port) {
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.board.portPath == port; });
    return at == entries_.end() ? nullptr : &*at;
}

void BoardList::merge(const std::vector<BoardInfo>& found) {
    std::erase_if(entries_, [this](const Entry& e) { return !inUse(e); });
    for (const BoardInfo& board : found) {
        if (!find(board.portPath)) {
            entries_.push_back({board, foundText(board), true, false});
        }
    }
}

void BoardList::use(const std::string& port, const BoardKind* kind, const std::string& name) {
    inUse_ = port;
    if (!port.empty() && !find(port)) {
        entries_.push_back({BoardInfo{port, {}, {}, {}, {}, kind}, port, false, false});
    }
    std::erase_if(entries_, [this](const Entry& e) { return !inUse(e) && !e.known(); });
    if (Entry* used = find(port)) {
        if (kind != nullptr) {
            used->board.kind = kind;
            used->recognised = true;
        }
        // A board no search found says what it is once it has told its source.
        if (!used->found) {
            used->text = name;
        }
    }
}

void BoardList::follow(const std::string& port) {
    Entry* moving = find(inUse_);
    if (moving == nullptr || port == inUse_) {
        return;
    }
    std::erase_if(entries_, [&](const Entry& e) { return e.board.portPath == port; });
    moving = find(inUse_);
    moving->board.portPath = port;
    if (moving->found) {
        // What the search said still holds; only the port changed.
        moving->text = foundText(moving->board);
    }
    inUse_ = port;
}

} // namespace thermo
