#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSerialPort;

namespace thermo {

// A line-oriented, synchronous connection to one serial port (115200 baud, 8N1). Every wait
// has a deadline; nothing here ever blocks past it.
class BoardLink {
public:
    using Clock = std::chrono::steady_clock;

    explicit BoardLink(std::string portPath);
    ~BoardLink();
    BoardLink(const BoardLink&) = delete;
    BoardLink& operator=(const BoardLink&) = delete;

    const std::string& portPath() const noexcept { return portPath_; }

    // False when the port cannot be opened (absent, busy, not a terminal).
    bool open();
    void close();
    bool isOpen() const;
    // The device went away under an open port (unplugged board, closed pseudo-terminal).
    bool lost() const noexcept { return lost_; }

    // Drops what the board sent before now, half-received line included.
    void discardInput();
    bool send(std::string_view bytes, Clock::time_point deadline);
    // The next line without its end ("\n" or "\r\n"); nothing on timeout or loss. A line
    // longer than `maxLineLength` is handed back cut, so that a babbling device cannot keep
    // the caller waiting.
    std::optional<std::string> readLine(Clock::time_point deadline);

    static constexpr std::size_t maxLineLength = 256;

private:
    std::optional<std::string> takeLine();
    void checkError();

    std::string portPath_;
    std::unique_ptr<QSerialPort> port_;
    std::string pending_;
    bool lost_ = false;
};

} // namespace thermo
