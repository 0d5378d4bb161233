#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class QSerialPort;

namespace thermo {

// One serial port (8N1, no flow control) at the speed its device speaks, used from the one
// thread that opened it. Every wait has a deadline: the threads that talk to boards and search
// for them stop on request, between two waits.
class SerialLine {
public:
    using Clock = std::chrono::steady_clock;

    // The most taken from the port at a time, and the least time between two takings: a device
    // that sends faster than it is read from (a native-USB board ignores the speed) costs a
    // bounded share of a core; what it sends beyond waits in the system, which drops it.
    static constexpr std::size_t maxPiece = 4096;
    static constexpr std::chrono::milliseconds floodPause{5};

    explicit SerialLine(std::string portPath);
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    const std::string& portPath() const noexcept { return portPath_; }

    // False when the port cannot be opened (absent, busy, not a terminal).
    bool open(int baudRate);
    void close();
    // Another speed on the open port, without closing it: a board restarts on each opening.
    void setBaudRate(int baudRate);
    int baudRate() const noexcept { return baudRate_; }
    bool isOpen() const;
    // The device went away under the open port (unplugged board, closed pseudo-terminal).
    bool lost() const noexcept { return lost_; }

    // Drops what the device sent before now.
    void discardInput();
    bool send(std::string_view bytes, Clock::time_point deadline);
    bool send(std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
        return send({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, deadline);
    }
    // What came in, after waiting for something until `deadline` at most; nothing on timeout
    // or loss.
    std::string receive(Clock::time_point deadline);

private:
    void checkError();

    std::string portPath_;
    std::unique_ptr<QSerialPort> port_;
    bool lost_ = false;
    int baudRate_ = 0;
    Clock::time_point lastPiece_{};
};

} // namespace thermo
