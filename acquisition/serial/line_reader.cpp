#include "acquisition/serial/line_reader.h"

#include <utility>

namespace thermo {

void LineReader::push(Line line) {
    if (lines_.size() == maxLines) {
        lines_.pop_front();
    }
    lines_.push_back(std::move(line));
}

void LineReader::cut() {
    partial_.clear();
    if (!skipping_) {
        push({{}, true});
        skipping_ = true;
    }
}

void LineReader::feed(std::string_view bytes) {
    if (bytes.size() > maxPiece) {
        // The dropped start may have held anything, the end of the line in progress included.
        cut();
        bytes.remove_prefix(bytes.size() - maxPiece);
    }
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, end);
        if (!skipping_ && partial_.size() + piece.size() > maxLineLength) {
            cut();
        }
        if (skipping_) {
            if (end == std::string_view::npos) {
                return;
            }
            skipping_ = false;
        } else {
            partial_.append(piece);
            if (end == std::string_view::npos) {
                return;
            }
            std::string text = std::exchange(partial_, {});
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
            push({std::move(text), false});
        }
        bytes.remove_prefix(end + 1);
    }
}

std::optional<LineReader::Line> LineReader::next() {
    if (lines_.empty()) {
        return std::nullopt;
    }
    Line line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

void LineReader::clear() {
    partial_.clear();
    skipping_ = false;
    lines_.clear();
}

} // namespace thermo
