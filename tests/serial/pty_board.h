#pragma once

#include "acquisition/serial_ports.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace thermo::test {

// A pseudo-terminal whose terminal end is opened and held open in raw mode: no echo and no
// line editing, so that nothing written by the peer comes back to it as a request before the
// program sets the line up. Throws std::runtime_error when the system has no pty to give.
struct RawPty {
    int master = -1;
    int slave = -1;
    std::string path;
};
RawPty openRawPty(int masterFlags = 0);
// Closes a pseudo-terminal as pulling its cable would, but keeps its number taken until this
// test process ends: a program in a test running beside this one may still be reopening the
// name its own board had, and must never reach a board of this test that got the freed number.
void closeRawPty(int master, int slave);

// A pseudo-terminal whose master end plays a device on a serial line. Request lines are handed
// one at a time to the responder, whose replies are written back after their delay: like the
// firmware, a slow answer holds up the requests behind it.
class PtyBoard {
public:
    struct Reply {
        std::string bytes; // written as they stand, line end included
        std::chrono::milliseconds delay{0};
    };
    using Responder = std::function<std::vector<Reply>(const std::string& request)>;

    explicit PtyBoard(Responder responder);
    ~PtyBoard();
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;

    // The terminal end the program opens, e.g. "/dev/pts/7".
    const std::string& path() const noexcept { return path_; }
    // Unsolicited output: boot messages, noise.
    void sendRaw(std::string_view bytes);
    // Closes the pseudo-terminal, as pulling the USB cable does to a board.
    void unplug();

    std::vector<std::string> requests() const;
    // Replies written so far (delays over).
    std::size_t repliesSent() const noexcept { return repliesSent_; }

private:
    void serve();

    Responder responder_;
    int master_ = -1;
    int slave_ = -1; // held open so that the master never sees a hang-up between two clients
    std::string path_;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::atomic<std::size_t> repliesSent_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The firmware's way of answering: `payload`, then the request's tag when it had one.
std::string taggedReply(const std::string& request, std::string_view payload);

// A board that knows our identification and answers each command of `answers` with its payload.
PtyBoard::Responder boardAnswering(std::vector<std::pair<std::string, std::string>> answers,
                                   std::string identity = "THERMOMETRE,CARTE-CTN,0042,1.0");

// Counts the openings of a terminal (or of a link's target) from now on: each restarts an Uno.
class OpenCounter {
public:
    explicit OpenCounter(const std::string& path);
    ~OpenCounter();
    OpenCounter(const OpenCounter&) = delete;
    OpenCounter& operator=(const OpenCounter&) = delete;
    int count();

private:
    int watch_;
    int opens_ = 0;
};

// The ports a test plugged in, listed to the program as the system lists its own (not ptys).
// Each has a name of its own, a link to the terminal that goes when it is unplugged: the
// terminal's own name may soon be another's, in another test.
class PluggedPorts {
public:
    PluggedPorts();
    ~PluggedPorts();
    // The name the board at `terminal` is plugged in under.
    std::string plug(const std::string& terminal);
    void unplug(const std::string& name);
    // Lists the ports plugged at the time of each call, from any thread.
    PortLister lister() const;
    // How many times the program listed the ports: a board lost is looked for by listing them
    // again, and only a port that comes after that first listing is a newcomer to it.
    int listings() const;

private:
    struct Ports {
        std::mutex mutex;
        std::vector<std::string> paths;
        int listings = 0;
    };
    std::filesystem::path directory_;
    int plugged_ = 0;
    std::shared_ptr<Ports> ports_ = std::make_shared<Ports>();
};

// Polls `condition` until it holds or `limit` passes.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// Once a board is said unplugged, its thread lists the ports it had around it, then looks again
// at each turn: a board plugged before that first listing was already there, and is not opened.
// Waits until the program has listed the ports twice more.
bool lookingAgain(const PluggedPorts& ports);

} // namespace thermo::test
