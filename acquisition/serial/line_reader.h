#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace thermo {

// Cuts what a board sends into lines ending in "\n", a "\r" before it dropped. A line longer
// than maxLineLength is no line: it is handed back as cut, and everything up to the next
// newline is passed over, so that its tail is never read as a line of its own. Lines are cut
// out as they are taken, and at most maxPending bytes wait to be: what a device sends beyond,
// when it sends faster than it is read, is dropped from the oldest on (as a cut line), so that
// the work and the memory stay bounded whatever it sends.
class LineReader {
public:
    static constexpr std::size_t maxLineLength = 256;
    static constexpr std::size_t maxPending = 16 * maxLineLength;

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
    // Bytes received and not yet taken as lines.
    std::size_t pending() const noexcept { return buffer_.size() - start_; }

private:
    std::string buffer_;
    std::size_t start_ = 0; // where the bytes not yet taken begin in buffer_
    bool skipping_ = false; // inside a cut line, until its newline
    bool dropped_ = false;  // bytes were dropped before start_: a cut line is due
};

} // namespace thermo
