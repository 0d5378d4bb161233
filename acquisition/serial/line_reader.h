#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace thermo {

// Cuts what a board sends into lines ending in "\n", a "\r" before it dropped. A line longer
// than maxLineLength is no line: it is handed back as cut, and everything up to the next
// newline is passed over, so that its tail is never read as a line of its own. The work per
// piece is bounded, whatever the device sends: of a longer piece only its last maxPiece bytes
// are read (the rest counts as a cut line), and at most maxLines lines wait to be taken, the
// oldest making way.
class LineReader {
public:
    static constexpr std::size_t maxLineLength = 256;
    static constexpr std::size_t maxPiece = 4 * maxLineLength;
    static constexpr std::size_t maxLines = 8;

    struct Line {
        std::string text; // without its end; empty when cut
        bool cut = false;
        bool operator==(const Line&) const = default;
    };

    void feed(std::string_view bytes);
    // The oldest line not yet taken.
    std::optional<Line> next();
    // Forgets everything, the half-received line included.
    void clear();
    // Bytes held for a line not yet ended.
    std::size_t pending() const noexcept { return partial_.size(); }
    std::size_t waiting() const noexcept { return lines_.size(); }

private:
    void push(Line line);
    void cut();

    std::string partial_;
    bool skipping_ = false; // inside a cut line, until its newline
    std::deque<Line> lines_;
};

} // namespace thermo
