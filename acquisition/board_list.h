#pragma once

#include "acquisition/board_info.h"

#include <string>
#include <vector>

namespace thermo {

// The boards the user may choose from, as the source menu lists them: those the last search
// found, the port in use, and the ports typed by hand once a kind of board recognised them. A
// typed port that nothing recognised is listed only while it is in use.
class BoardList {
public:
    struct Entry {
        BoardInfo board;    // its port always; its kind once known
        std::string text;   // "/dev/ttyACM0 — carte n° 0042", or what the source calls itself
        bool found = false; // by a search: it keeps what the search said of it
        bool recognised = false; // by its source, once in use

        bool known() const noexcept { return found || recognised; }
        bool operator==(const Entry&) const = default;
    };

    const std::vector<Entry>& entries() const noexcept { return entries_; }
    // The entries known to be boards, whether in use or not.
    int knownCount() const;
    bool inUse(const Entry& entry) const;

    // A search's boards take the place of the last search's; the entry in use stays, though a
    // search cannot open a port held by the program.
    void merge(const std::vector<BoardInfo>& found);
    // The source in use reads from `port` (empty for none, as the simulation), of `kind` once
    // known, and calls itself `name`.
    void use(const std::string& port, const BoardKind* kind, const std::string& name);
    // The board in use was found again on `port`: its entry goes there with it.
    void follow(const std::string& port);

private:
    Entry* find(const std::string& port);

    std::vector<Entry> entries_;
    std::string inUse_;
};

} // namespace thermo
