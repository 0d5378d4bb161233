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
    // Throws std::runtime_error when the firmware cannot be loaded.
    SimulatedUno(const std::string& firmwareElf, int supplyMillivolts);
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
    std::string path_;
    std::atomic<int> inputs_[6];
    std::atomic<int> supply_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace thermo::test
