#include "acquisition/serial/line_reader.h"

namespace thermo {

void LineReader::feed(std::string_view bytes) {
    buffer_.erase(0, start_);
    start_ = 0;
    const std::size_t total = buffer_.size() + bytes.size();
    if (total > maxPending) {
        // The dropped bytes may have held anything, the start of the line in progress included.
        const std::size_t excess = total - maxPending;
        if (excess >= buffer_.size()) {
            bytes.remove_prefix(excess - buffer_.size());
            buffer_.clear();
        } else {
            buffer_.erase(0, excess);
        }
        dropped_ = true;
        skipping_ = true;
    }
    buffer_.append(bytes);
}

std::optional<LineReader::Line> LineReader::next() {
    if (dropped_) {
        dropped_ = false;
        return Line{{}, true};
    }
    for (;;) {
        const std::size_t end = buffer_.find('\n', start_);
        if (end == std::string::npos) {
            if (skipping_) {
                start_ = buffer_.size();
            } else if (pending() > maxLineLength) {
                start_ = buffer_.size();
                skipping_ = true;
                return Line{{}, true};
            }
            return std::nullopt;
        }
        std::string_view text(buffer_.data() + start_, end - start_);
        start_ = end + 1;
        if (skipping_) {
            skipping_ = false;
            continue;
        }
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        if (text.size() > maxLineLength) {
            return Line{{}, true};
        }
        return Line{std::string(text), false};
    }
}

void LineReader::clear() {
    buffer_.clear();
    start_ = 0;
    skipping_ = false;
    dropped_ = false;
}

} // namespace thermo
