#include "acquisition/serial/board_link.h"

namespace thermo {

void BoardLink::discardInput() {
    line_.discardInput();
    reader_.clear();
}

std::optional<BoardLink::Line> BoardLink::readLine(Clock::time_point deadline) {
    for (;;) {
        if (auto line = reader_.next()) {
            return line;
        }
        if (!isOpen() || lost()) {
            return std::nullopt;
        }
        const std::string bytes = line_.receive(deadline);
        if (bytes.empty() && Clock::now() >= deadline) {
            return std::nullopt;
        }
        reader_.feed(bytes);
    }
}

} // namespace thermo
