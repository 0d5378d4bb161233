#include "tests/serial/pty_board.h"

#include "acquisition/serial/board_protocol.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace thermo::test {

namespace {

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

} // namespace

RawPty openRawPty(int masterFlags) {
    RawPty pty;
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY | masterFlags);
    if (pty.master < 0 || ::grantpt(pty.master) != 0 || ::unlockpt(pty.master) != 0) {
        throw std::runtime_error("posix_openpt failed");
    }
    pty.path = ::ptsname(pty.master);
    pty.slave = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY);
    termios raw{};
    if (pty.slave < 0 || ::tcgetattr(pty.slave, &raw) != 0) {
        throw std::runtime_error("cannot open " + pty.path);
    }
    ::cfmakeraw(&raw);
    ::tcsetattr(pty.slave, TCSANOW, &raw);
    return pty;
}

void closeRawPty(int master, int slave) {
    // The terminal end held open keeps the number; its name goes with the master end.
    static std::mutex mutex;
    static std::vector<int> kept;
    ::close(master);
    std::lock_guard lock(mutex);
    kept.push_back(slave);
}

PtyBoard::PtyBoard(Responder responder) : responder_(std::move(responder)) {
    const RawPty pty = openRawPty();
    master_ = pty.master;
    slave_ = pty.slave;
    path_ = pty.path;
    thread_ = std::thread([this] { serve(); });
}

PtyBoard::~PtyBoard() {
    unplug();
}

void PtyBoard::unplug() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    std::lock_guard lock(mutex_);
    if (master_ >= 0) {
        closeRawPty(master_, slave_);
        master_ = slave_ = -1;
    }
}

void PtyBoard::sendRaw(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    if (master_ >= 0) {
        writeAll(master_, bytes);
    }
}

std::vector<std::string> PtyBoard::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void PtyBoard::serve() {
    std::string pending;
    while (!stop_) {
        pollfd fd{master_, POLLIN, 0};
        if (::poll(&fd, 1, 10) <= 0 || (fd.revents & POLLIN) == 0) {
            continue;
        }
        char buffer[256];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            continue;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            std::string request = pending.substr(0, end);
            pending.erase(0, end + 1);
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            for (const Reply& reply : responder_(request)) {
                std::this_thread::sleep_for(reply.delay); // a slow board, on purpose
                sendRaw(reply.bytes);
                ++repliesSent_;
            }
        }
    }
}

std::string taggedReply(const std::string& request, std::string_view payload) {
    const auto parts = board_protocol::splitAnswer(request);
    std::string reply(payload);
    if (parts.tag) {
        reply += " #" + std::to_string(*parts.tag);
    }
    return reply + "\n";
}

PtyBoard::Responder boardAnswering(std::vector<std::pair<std::string, std::string>> answers,
                                   std::string identity) {
    answers.emplace_back("*IDN?", std::move(identity));
    return [answers](const std::string& request) -> std::vector<PtyBoard::Reply> {
        const auto command = board_protocol::splitAnswer(request).payload;
        for (const auto& [known, payload] : answers) {
            if (command == known) {
                return {{taggedReply(request, payload)}};
            }
        }
        return {{taggedReply(request, "ERR:COMMANDE")}};
    };
}

// Closings too: identical events that follow each other unread are merged into one.
OpenCounter::OpenCounter(const std::string& path) : watch_(::inotify_init1(IN_NONBLOCK)) {
    const auto target = std::filesystem::canonical(path);
    if (watch_ < 0 || ::inotify_add_watch(watch_, target.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        throw std::runtime_error("inotify on " + target.string() + " failed");
    }
}

OpenCounter::~OpenCounter() {
    ::close(watch_);
}

int OpenCounter::count() {
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(watch_, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < n; at += sizeof(inotify_event)) { // a file's events carry no name
            opens_ += (reinterpret_cast<const inotify_event*>(buffer + at)->mask & IN_OPEN) != 0;
        }
    }
    return opens_;
}

PluggedPorts::PluggedPorts() {
    char pattern[] = "/tmp/thermo-ports-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    directory_ = pattern;
}

PluggedPorts::~PluggedPorts() {
    std::filesystem::remove_all(directory_);
}

std::string PluggedPorts::plug(const std::string& terminal) {
    const auto name = directory_ / ("ttyACM" + std::to_string(plugged_++));
    std::filesystem::create_symlink(terminal, name);
    std::lock_guard lock(ports_->mutex);
    ports_->paths.push_back(name);
    return name;
}

void PluggedPorts::unplug(const std::string& name) {
    std::filesystem::remove(name);
    std::lock_guard lock(ports_->mutex);
    std::erase(ports_->paths, name);
}

PortLister PluggedPorts::lister() const {
    return [ports = ports_] {
        std::lock_guard lock(ports->mutex);
        ++ports->listings;
        std::vector<PortInfo> listed;
        for (const std::string& path : ports->paths) {
            listed.push_back({path});
        }
        return listed;
    };
}

int PluggedPorts::listings() const {
    std::lock_guard lock(ports_->mutex);
    return ports_->listings;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool lookingAgain(const PluggedPorts& ports) {
    const int seen = ports.listings();
    return waitFor([&] { return ports.listings() >= seen + 2; }, std::chrono::seconds(30));
}

} // namespace thermo::test
