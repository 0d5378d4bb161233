#pragma once

#include "acquisition/serial/line_reader.h"
#include "acquisition/serial_line.h"

#include <optional>
#include <string>
#include <string_view>

namespace thermo {

// The line-oriented connection to the project's board (115200 baud, 8N1) on an open port, used
// from the thread that opened it. Every wait has a deadline; nothing here ever blocks past it.
class BoardLink {
public:
    using Clock = SerialLine::Clock;
    using Line = LineReader::Line;
    static constexpr int baudRate = 115200;

    explicit BoardLink(SerialLine& line) : line_(line) {}

    const std::string& portPath() const noexcept { return line_.portPath(); }
    bool isOpen() const { return line_.isOpen(); }
    // The device went away under the open port (unplugged board, closed pseudo-terminal).
    bool lost() const noexcept { return line_.lost(); }

    // Drops what the board sent before now, half-received line included.
    void discardInput();
    bool send(std::string_view bytes, Clock::time_point deadline) {
        return line_.send(bytes, deadline);
    }
    // The next line, whole or cut (LineReader); nothing on timeout or loss.
    std::optional<Line> readLine(Clock::time_point deadline);

private:
    SerialLine& line_;
    LineReader reader_;
};

} // namespace thermo
