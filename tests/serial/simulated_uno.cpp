#include "tests/serial/simulated_uno.h"

#include "tests/serial/pty_board.h"

#include <avr_adc.h>
#include <avr_uart.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <sim_avr.h>
#include <sim_elf.h>
#include <sim_io.h>
#include <sim_irq.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace thermo::test {

struct SimavrMachine {
    avr_t* avr = nullptr;
    avr_irq_t* uart = nullptr;
    avr_irq_t* adc = nullptr;
    int master = -1;
    bool xon = true;
    std::deque<std::uint8_t> toBoard;
    elf_firmware_t firmware{};

    // The buffers elf_read_firmware() allocated; simavr keeps no pointer into them once the
    // processor is gone.
    ~SimavrMachine() {
        if (avr != nullptr) {
            avr_terminate(avr);
        }
        for (std::uint32_t i = 0; i < firmware.symbolcount; ++i) {
            std::free(firmware.symbol[i]);
        }
        std::free(firmware.symbol);
        std::free(firmware.flash);
        std::free(firmware.eeprom);
        std::free(firmware.fuse);
        std::free(firmware.lockbits);
    }
};

namespace {

void onByteOut(avr_irq_t*, std::uint32_t value, void* param) {
    auto* sim = static_cast<SimavrMachine*>(param);
    const auto byte = static_cast<std::uint8_t>(value);
    [[maybe_unused]] const auto written = ::write(sim->master, &byte, 1);
}

void onXon(avr_irq_t*, std::uint32_t, void* param) {
    static_cast<SimavrMachine*>(param)->xon = true;
}

void onXoff(avr_irq_t*, std::uint32_t, void* param) {
    static_cast<SimavrMachine*>(param)->xon = false;
}

// simavr tells of every firmware it loads; only its errors matter here.
void quietLogger(avr_t*, const int level, const char* format, va_list arguments) {
    if (level <= LOG_ERROR) {
        std::vfprintf(stderr, format, arguments);
    }
}

} // namespace

SimulatedUno::SimulatedUno(const std::string& firmwareElf, int supplyMillivolts,
                           bool restartsOnOpen)
    : sim_(std::make_unique<SimavrMachine>()), supply_(supplyMillivolts) {
    for (auto& input : inputs_) {
        input = 0;
    }
    avr_global_logger_set(quietLogger);
    elf_firmware_t& firmware = sim_->firmware;
    if (elf_read_firmware(firmwareElf.c_str(), &firmware) != 0) {
        throw std::runtime_error("cannot read " + firmwareElf);
    }
    std::strcpy(firmware.mmcu, "atmega328p");
    firmware.frequency = 16000000;
    sim_->avr = avr_make_mcu_by_name(firmware.mmcu);
    if (sim_->avr == nullptr) {
        throw std::runtime_error("simavr knows no atmega328p");
    }
    avr_init(sim_->avr);
    sim_->avr->log = LOG_ERROR;
    avr_load_firmware(sim_->avr, &firmware);
    sim_->avr->vcc = sim_->avr->avcc = static_cast<std::uint32_t>(supplyMillivolts);

    std::uint32_t flags = 0;
    avr_ioctl(sim_->avr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
    flags &= ~AVR_UART_FLAG_STDIO;
    avr_ioctl(sim_->avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
    sim_->uart = avr_io_getirq(sim_->avr, AVR_IOCTL_UART_GETIRQ('0'), 0);
    sim_->adc = avr_io_getirq(sim_->avr, AVR_IOCTL_ADC_GETIRQ, 0);
    avr_irq_register_notify(sim_->uart + UART_IRQ_OUTPUT, onByteOut, sim_.get());
    avr_irq_register_notify(sim_->uart + UART_IRQ_OUT_XON, onXon, sim_.get());
    avr_irq_register_notify(sim_->uart + UART_IRQ_OUT_XOFF, onXoff, sim_.get());

    // Held open and raw: a pty's default echo would hand the firmware its own READY line
    // back as a request before the program sets the line up.
    const RawPty pty = openRawPty(O_NONBLOCK);
    master_ = pty.master;
    slave_ = pty.slave;
    path_ = pty.path;
    sim_->master = master_;
    if (restartsOnOpen) {
        opens_ = ::inotify_init1(IN_NONBLOCK);
        if (opens_ < 0 || ::inotify_add_watch(opens_, path_.c_str(), IN_OPEN) < 0) {
            throw std::runtime_error("inotify on " + path_ + " failed");
        }
    }
    thread_ = std::thread([this] { run(); });
}

SimulatedUno::~SimulatedUno() {
    stop_ = true;
    thread_.join();
    if (opens_ >= 0) {
        ::close(opens_);
    }
    closeRawPty(master_, slave_);
}

void SimulatedUno::setInput(int pin, int millivolts) {
    inputs_[pin] = millivolts;
}

void SimulatedUno::setSupply(int millivolts) {
    supply_ = millivolts;
}

void SimulatedUno::run() {
    avr_t* avr = sim_->avr;
    while (!stop_) {
        // simavr is not thread-safe: the test's settings are applied here, between instructions.
        avr->vcc = avr->avcc = static_cast<std::uint32_t>(supply_.load());
        for (int pin = 0; pin < 6; ++pin) {
            avr_raise_irq(sim_->adc + ADC_IRQ_ADC0 + pin,
                          static_cast<std::uint32_t>(inputs_[pin].load()));
        }
        char events[4096];
        if (opens_ >= 0 && ::read(opens_, events, sizeof events) > 0) {
            // What was on its way to the board is lost with the reset.
            avr_reset(avr);
            sim_->toBoard.clear();
            sim_->xon = true;
        }
        std::uint8_t bytes[64];
        const ssize_t n = ::read(master_, bytes, sizeof bytes);
        for (ssize_t i = 0; i < n; ++i) {
            sim_->toBoard.push_back(bytes[i]);
        }
        for (int step = 0; step < 2000; ++step) {
            if (sim_->xon && !sim_->toBoard.empty()) {
                avr_raise_irq(sim_->uart + UART_IRQ_INPUT, sim_->toBoard.front());
                sim_->toBoard.pop_front();
            }
            const int state = avr_run(avr);
            if (state == cpu_Done || state == cpu_Crashed) {
                return;
            }
        }
    }
}

} // namespace thermo::test
