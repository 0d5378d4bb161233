#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace thermo::test {

struct SimavrMachine;

// The board's firmware running in simavr (an ATmega328P at 16 MHz), its UART on a
// pseudo-terminal and its analog inputs and supply set by the test.
class SimulatedUno {
public:
    // Throws std::runtime_error when the firmware cannot be loaded. A real Uno restarts each
    // time its port is opened (DTR drives its reset), without its bootloader's wait here;
    // otherwise the firmware runs on from its start, as a board that does not restart.
    SimulatedUno(const std::string& firmwareElf, int supplyMillivolts, bool restartsOnOpen = false);
    ~SimulatedUno();
    SimulatedUno(const SimulatedUno&) = delete;
    SimulatedUno& operator=(const SimulatedUno&) = delete;

    const std::string& path() const noexcept { return path_; }
    // Voltage on A0...A5, taken by the next conversion.
    void setInput(int pin, int millivolts);
    // The supply, which is also the converter's reference (AVcc).
    void setSupply(int millivolts);

private:
    void run();

    std::unique_ptr<SimavrMachine> sim_;
    int master_ = -1;
    int slave_ = -1;
    int opens_ = -1; // inotify on the terminal end, when each opening restarts the board
    std::string path_;
    std::atomic<int> inputs_[6];
    std::atomic<int> supply_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace thermo::test
