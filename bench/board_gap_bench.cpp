// How long a board holds the interface's thread: the measurement's two reads run ten times a
// second on the event loop, as Timer1 runs them, against boards played on pseudo-terminals
// (docs/fiabilite-performance.md, « Le fil de l'interface face aux cartes »).
//
//     board_gap_bench [secondes par carte, 5]
#include "acquisition/board_conversation.h"
#include "acquisition/board_kinds.h"
#include "core/failure.h"
#include "tests/serial/firmata_peer.h"
#include "tests/serial/pty_board.h"
#include "tests/support/event_loop_gap.h"

#include <QCoreApplication>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using thermo::test::PtyBoard;

PtyBoard::Responder answeringAfter(std::chrono::milliseconds ea0, std::chrono::milliseconds ea1,
                                   bool answersEa1 = true) {
    auto known = thermo::test::boardAnswering({{"MEAS:EA0?", "40960"}, {"MEAS:EA1?", "49152"}});
    return [=](const std::string& request) {
        auto replies = known(request);
        if (request.starts_with("MEAS:EA0?")) {
            replies.front().delay = ea0;
        } else if (request.starts_with("MEAS:EA1?")) {
            if (!answersEa1) {
                return std::vector<PtyBoard::Reply>{};
            }
            replies.front().delay = ea1;
        }
        return replies;
    };
}

// A board that answers, but between its answers prints lines as fast as the line takes them,
// as a native-USB board ignoring the baud rate does. It runs in a process of its own, so that
// the processor time measured is the program's alone.
class FloodingBoard {
public:
    FloodingBoard() {
        const thermo::test::RawPty pty = thermo::test::openRawPty(O_NONBLOCK);
        path_ = pty.path;
        child_ = ::fork();
        if (child_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            serve(pty.master);
        }
        ::close(pty.master);
        slave_ = pty.slave;
    }
    ~FloodingBoard() {
        ::kill(child_, SIGKILL);
        ::waitpid(child_, nullptr, 0);
        ::close(slave_);
    }
    const std::string& path() const { return path_; }

private:
    static void writeAll(int fd, std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd, bytes.data(), bytes.size());
            if (n > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(n));
            } else {
                pollfd out{fd, POLLOUT, 0};
                ::poll(&out, 1, 1);
            }
        }
    }

    [[noreturn]] static void serve(int master) {
        const auto answers = answeringAfter(0ms, 0ms);
        const std::string noise = "bruit 0123456789 abcdefghij\r\n";
        std::string pending;
        for (;;) {
            char bytes[256];
            const ssize_t n = ::read(master, bytes, sizeof bytes);
            if (n > 0) {
                pending.append(bytes, static_cast<std::size_t>(n));
            }
            for (auto end = pending.find('\n'); end != std::string::npos;
                 end = pending.find('\n')) {
                for (const auto& reply : answers(pending.substr(0, end))) {
                    writeAll(master, reply.bytes);
                }
                pending.erase(0, end + 1);
            }
            writeAll(master, noise); // whole lines, so that an answer never lands inside one
        }
    }

    std::string path_;
    pid_t child_ = -1;
    int slave_ = -1;
};

double processSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// `midway`, when given, happens halfway through, in a thread of its own.
void measure(const char* name, const thermo::BoardKind& kind, const std::string& path,
             std::chrono::milliseconds duration, const std::function<void()>& midway = {}) {
    auto source = thermo::openBoard(kind, path, {}, thermo::systemSerialPorts);
    std::string lastMessage = "mesure";
    int codes = 0;
    const auto tick = [&] {
        for (const std::int32_t channel : {0, 1}) {
            try {
                source->read(channel);
                ++codes;
            } catch (const thermo::Failure& failure) {
                lastMessage = failure.what();
            }
        }
    };
    std::thread meanwhile([&] {
        if (midway) {
            std::this_thread::sleep_for(duration / 2);
            midway();
        }
    });
    const double cpuBefore = processSeconds();
    const auto gaps = thermo::test::measureEventLoopGaps(tick, duration);
    const double cpu =
        (processSeconds() - cpuBefore) / (static_cast<double>(duration.count()) / 1000);
    meanwhile.join();
    std::printf("%-22s %9.1f %9.2f %12.1f %10.1f %7d  %s\n", name,
                static_cast<double>(gaps.longest.count()) / 1000,
                static_cast<double>(gaps.longestTick.count()) / 1000, 100 * gaps.tickShare(),
                100 * cpu, codes, lastMessage.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    // The flooding board forks before any thread exists.
    auto flooding = std::make_unique<FloodingBoard>();
    QCoreApplication app(argc, argv);
    const auto seconds = std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 5);
    const auto duration = std::chrono::duration_cast<std::chrono::milliseconds>(seconds);

    const thermo::BoardKind& ours = *thermo::boardKinds().front();
    std::printf("%-22s %9s %9s %12s %10s %7s  %s\n", "carte", "écart max", "lecture", "lectures",
                "processeur", "codes", "dernier échec");
    std::printf("%-22s %9s %9s %12s %10s\n", "", "(ms)", "max (ms)", "(% du temps)", "(% cœur)");
    {
        PtyBoard board(answeringAfter(0ms, 0ms));
        measure("normale", ours, board.path(), duration);
    }
    {
        PtyBoard board(answeringAfter(30ms, 30ms));
        measure("lente (30 ms)", ours, board.path(), duration);
    }
    {
        PtyBoard board(answeringAfter(38ms, 0ms, false));
        measure("EA0 seule (38 ms)", ours, board.path(), duration);
    }
    {
        // It says who it is, and answers nothing else.
        PtyBoard mute([](const std::string& request) {
            return request.starts_with("*IDN?") ? thermo::test::boardAnswering({})(request)
                                                : std::vector<PtyBoard::Reply>{};
        });
        measure("muette", ours, mute.path(), duration);
    }
    measure("bavarde (flot)", ours, flooding->path(), duration);
    flooding.reset();
    {
        PtyBoard board(answeringAfter(0ms, 0ms));
        measure("débranchée en route", ours, board.path(), duration, [&board] { board.unplug(); });
    }
    // An Uno under StandardFirmata, which restarts when its port is opened.
    const thermo::BoardKind& firmata = *thermo::boardKinds()[1];
    {
        thermo::test::FirmataPeer board;
        measure("Firmata normale", firmata, board.path(), duration);
    }
    {
        thermo::test::FirmataPeer board;
        board.setSilent(1, true);
        measure("Firmata A1 muette", firmata, board.path(), duration);
    }
    {
        thermo::test::FirmataPeer board;
        board.setBabbling(true);
        measure("Firmata bavarde", firmata, board.path(), duration);
    }
    {
        thermo::test::FirmataPeer board;
        measure("Firmata débranchée", firmata, board.path(), duration,
                [&board] { board.vanish(); });
    }
    return 0;
}
