#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace thermo::test {

// A board running StandardFirmata 2.5 on a pseudo-terminal, laid out as an Uno: pins 0...19,
// A0...A5 on pins 14...19. It answers the version, firmware, analog mapping and capability
// queries, honours SAMPLING_INTERVAL, REPORT_ANALOG and SYSTEM_RESET, and every sampling
// interval reports each channel asked for with the next of the values set for it.
class FirmataPeer {
public:
    struct Options {
        int bits = 10; // the converter's resolution in the capability answer
        // An Uno restarts whenever its port is opened: it forgets the reports asked for, is deaf
        // while it boots, then greets (version and firmware) on its own. Otherwise the board
        // neither restarts nor greets, as when its greeting went out before the port was opened.
        bool restartsOnOpen = true;
        std::chrono::milliseconds bootTime{2000};
    };

    explicit FirmataPeer(Options options);
    FirmataPeer() : FirmataPeer(Options{}) {}
    ~FirmataPeer();
    FirmataPeer(const FirmataPeer&) = delete;
    FirmataPeer& operator=(const FirmataPeer&) = delete;

    // A link to the current pseudo-terminal, kept across vanish() and comeBack() as the system's
    // /dev/ttyACM0 is when the board is plugged in again.
    const std::string& path() const noexcept { return path_; }

    // The values `channel` (0...5) reports, one a report, over and over.
    void setValues(int channel, std::vector<int> values);
    // A silent channel sends nothing, though asked to report.
    void setSilent(int channel, bool silent);
    // Between reports, bytes a reader must pass over: stray data bytes, a digital message, an
    // unknown system-exclusive message, a stray end of one.
    void setBabbling(bool on);
    // Closes the board's side and removes the path, as pulling the cable does.
    void vanish();
    // A fresh pseudo-terminal behind the same path, the board just powered up.
    void comeBack();

    std::chrono::milliseconds samplingInterval() const;
    bool reporting(int channel) const;

private:
    static constexpr int analogChannels = 6;

    struct Channel {
        std::vector<int> values{0};
        std::size_t next = 0;
        bool silent = false;
        bool reporting = false;
    };

    void plugIn();
    void unplug();
    void run();
    void restart();
    void answer(std::uint8_t command, const std::vector<std::uint8_t>& data);
    void sendReports();
    void send(const std::vector<std::uint8_t>& bytes);

    Options options_;
    std::filesystem::path directory_;
    std::string path_;
    int master_ = -1;
    int slave_ = -1; // held open: the master never sees a hang-up between two openings
    int opens_ = -1; // inotify: each opening of the terminal end restarts an Uno
    mutable std::mutex mutex_;
    std::array<Channel, analogChannels> channels_;
    std::chrono::milliseconds interval_;
    bool babbling_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace thermo::test
