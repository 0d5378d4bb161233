#include "tests/serial/firmata_peer.h"

#include "acquisition/firmata/firmata_protocol.h"
#include "tests/serial/pty_board.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <unistd.h>

namespace thermo::test {

namespace {

using namespace firmata;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

constexpr int firstAnalogPin = 14;
constexpr int pinCount = 20;
constexpr std::uint8_t protocolMajor = 2;
constexpr std::uint8_t protocolMinor = 5;
constexpr std::size_t maxRequestData = 64;

Bytes versionAnswer() {
    return {command::reportVersion, protocolMajor, protocolMinor};
}

Bytes firmwareAnswer() {
    Bytes bytes{command::sysexStart, sysex::reportFirmware, protocolMajor, protocolMinor};
    for (const char c : std::string("StandardFirmata")) {
        bytes.push_back(static_cast<std::uint8_t>(c) & 0x7F);
        bytes.push_back(static_cast<std::uint8_t>(c) >> 7);
    }
    bytes.push_back(command::sysexEnd);
    return bytes;
}

Bytes mappingAnswer() {
    Bytes bytes{command::sysexStart, sysex::analogMappingResponse};
    for (int pin = 0; pin < pinCount; ++pin) {
        bytes.push_back(pin < firstAnalogPin ? notAnalog
                                             : static_cast<std::uint8_t>(pin - firstAnalogPin));
    }
    bytes.push_back(command::sysexEnd);
    return bytes;
}

// Input, output and pull-up on every pin; PWM where an Uno has it; the converter on A0...A5;
// I2C on A4 and A5.
Bytes capabilityAnswer(int bits) {
    constexpr std::uint8_t input = 0x00, output = 0x01, pwm = 0x03, i2c = 0x06, pullUp = 0x0B;
    Bytes bytes{command::sysexStart, sysex::capabilityResponse};
    for (int pin = 0; pin < pinCount; ++pin) {
        bytes.insert(bytes.end(), {input, 1, output, 1, pullUp, 1});
        if (pin == 3 || pin == 5 || pin == 6 || pin == 9 || pin == 10 || pin == 11) {
            bytes.insert(bytes.end(), {pwm, 8});
        }
        if (pin >= firstAnalogPin) {
            bytes.insert(bytes.end(), {analogInputMode, static_cast<std::uint8_t>(bits)});
        }
        if (pin == 18 || pin == 19) {
            bytes.insert(bytes.end(), {i2c, 1});
        }
        bytes.push_back(endOfPin);
    }
    bytes.push_back(command::sysexEnd);
    return bytes;
}

// Stray data bytes, a digital message, a string message, a stray end of one.
const Bytes garbage{0x12, 0x34, 0x56, 0x90, 0x7F, 0x01, 0xF0, 0x71, 0x78, 0x00, 0xF7, 0xF7, 0x33};

} // namespace

FirmataPeer::FirmataPeer(Options options) : options_(options), interval_(defaultSamplingInterval) {
    char pattern[] = "/tmp/thermo-firmata-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    directory_ = pattern;
    path_ = directory_ / "ttyACM0";
    plugIn();
}

FirmataPeer::~FirmataPeer() {
    unplug();
    std::filesystem::remove_all(directory_);
}

void FirmataPeer::plugIn() {
    const RawPty pty = openRawPty(O_NONBLOCK);
    master_ = pty.master;
    slave_ = pty.slave;
    opens_ = ::inotify_init1(IN_NONBLOCK);
    if (opens_ < 0 || ::inotify_add_watch(opens_, pty.path.c_str(), IN_OPEN) < 0) {
        throw std::runtime_error("inotify on " + pty.path + " failed");
    }
    const auto next = directory_ / "next";
    std::filesystem::create_symlink(pty.path, next);
    std::filesystem::rename(next, path_);
    stop_ = false;
    thread_ = std::thread([this] { run(); });
}

void FirmataPeer::unplug() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    if (opens_ >= 0) {
        ::close(opens_);
        opens_ = -1;
    }
    if (master_ >= 0) {
        closeRawPty(master_, slave_);
        slave_ = master_ = -1;
    }
}

void FirmataPeer::vanish() {
    unplug();
    std::filesystem::remove(path_);
}

void FirmataPeer::comeBack() {
    unplug();
    restart();
    plugIn();
}

void FirmataPeer::setValues(int channel, std::vector<int> values) {
    std::lock_guard lock(mutex_);
    channels_.at(static_cast<std::size_t>(channel)).values = std::move(values);
    channels_.at(static_cast<std::size_t>(channel)).next = 0;
}

void FirmataPeer::setSilent(int channel, bool silent) {
    std::lock_guard lock(mutex_);
    channels_.at(static_cast<std::size_t>(channel)).silent = silent;
}

void FirmataPeer::setBabbling(bool on) {
    std::lock_guard lock(mutex_);
    babbling_ = on;
}

std::chrono::milliseconds FirmataPeer::samplingInterval() const {
    std::lock_guard lock(mutex_);
    return interval_;
}

bool FirmataPeer::reporting(int channel) const {
    std::lock_guard lock(mutex_);
    return channels_.at(static_cast<std::size_t>(channel)).reporting;
}

void FirmataPeer::restart() {
    std::lock_guard lock(mutex_);
    for (Channel& channel : channels_) {
        channel.reporting = false;
    }
    interval_ = defaultSamplingInterval;
}

void FirmataPeer::run() {
    std::uint8_t request = 0; // the command being received, 0 for none
    Bytes data;
    Clock::time_point awake{};
    bool greetingDue = false;
    auto nextReport = Clock::now();
    while (!stop_) {
        const auto wait =
            std::clamp(std::chrono::ceil<std::chrono::milliseconds>(
                           (greetingDue ? std::min(awake, nextReport) : nextReport) - Clock::now()),
                       std::chrono::milliseconds(1), std::chrono::milliseconds(20));
        pollfd fds[2] = {{master_, POLLIN, 0}, {opens_, POLLIN, 0}};
        ::poll(fds, 2, static_cast<int>(wait.count()));
        char events[4096];
        if (::read(opens_, events, sizeof events) > 0 && options_.restartsOnOpen) {
            restart();
            awake = Clock::now() + options_.bootTime;
            greetingDue = true;
            request = 0;
        }
        std::uint8_t bytes[256];
        const ssize_t n = ::read(master_, bytes, sizeof bytes);
        const bool booting = Clock::now() < awake;
        for (ssize_t i = 0; i < n && !booting; ++i) {
            const std::uint8_t byte = bytes[i];
            if (byte == command::sysexEnd && request == command::sysexStart) {
                answer(request, data);
                request = 0;
            } else if (isCommand(byte)) {
                request = byte;
                data.clear();
                if (byte == command::reportVersion || byte == command::systemReset) {
                    answer(byte, data);
                    request = 0;
                }
            } else if (request != 0 && data.size() < maxRequestData) {
                data.push_back(byte);
                if ((request & 0xF0) == command::reportAnalog) {
                    answer(request, data);
                    request = 0;
                }
            }
        }
        if (greetingDue && !booting) {
            send(versionAnswer());
            send(firmwareAnswer());
            greetingDue = false;
        }
        if (Clock::now() >= nextReport) {
            sendReports();
            nextReport = Clock::now() + samplingInterval();
        }
    }
}

void FirmataPeer::answer(std::uint8_t command, const Bytes& data) {
    if (command == command::reportVersion) {
        send(versionAnswer());
    } else if (command == command::systemReset) {
        restart();
    } else if ((command & 0xF0) == command::reportAnalog) {
        const int channel = command & 0x0F;
        std::lock_guard lock(mutex_);
        if (channel < analogChannels) {
            channels_[static_cast<std::size_t>(channel)].reporting = data[0] != 0;
        }
    } else if (!data.empty() && data[0] == sysex::reportFirmware) {
        send(firmwareAnswer());
    } else if (!data.empty() && data[0] == sysex::analogMappingQuery) {
        send(mappingAnswer());
    } else if (!data.empty() && data[0] == sysex::capabilityQuery) {
        send(capabilityAnswer(options_.bits));
    } else if (data.size() >= 3 && data[0] == sysex::samplingInterval) {
        std::lock_guard lock(mutex_);
        interval_ = std::chrono::milliseconds(std::max(1, data[1] | (data[2] << 7)));
    }
}

void FirmataPeer::sendReports() {
    Bytes bytes;
    {
        std::lock_guard lock(mutex_);
        for (std::size_t channel = 0; channel < channels_.size(); ++channel) {
            Channel& c = channels_[channel];
            if (!c.reporting || c.silent || c.values.empty()) {
                continue;
            }
            const int value = c.values[c.next++ % c.values.size()];
            bytes.insert(bytes.end(), {static_cast<std::uint8_t>(command::analogMessage | channel),
                                       static_cast<std::uint8_t>(value & 0x7F),
                                       static_cast<std::uint8_t>((value >> 7) & 0x7F)});
        }
        if (babbling_) {
            bytes.insert(bytes.end(), garbage.begin(), garbage.end());
        }
    }
    send(bytes);
}

// Nobody may be listening: what the line cannot take is lost, as on a real serial line.
void FirmataPeer::send(const Bytes& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

} // namespace thermo::test
