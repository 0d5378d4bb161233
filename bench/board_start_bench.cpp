// From the choice of a port to the first reading, for each kind of board played on a
// pseudo-terminal: the time, the ticks that failed meanwhile, and how many times the port was
// opened (each opening restarts an Uno). The measurement's reads run every 100 ms on the event
// loop, as Timer1 runs them (docs/fiabilite-performance.md, « Du port à la première mesure »).
//
//     board_start_bench [micrologiciel.elf [essais, 5]]
//
// Without the firmware's ELF (built by the serial.firmware_build test) only the Firmata board
// is measured.
#include "acquisition/board_kinds.h"
#include "acquisition/orphy_control.h"
#include "core/failure.h"
#include "tests/serial/firmata_peer.h"
#include "tests/serial/pty_board.h"
#ifdef THERMO_SIMULATED_UNO
#include "tests/serial/simulated_uno.h"
#endif

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using thermo::test::OpenCounter;

struct Start {
    double seconds = -1; // to the first tick with both codes; negative when none came
    int failedTicks = 0;
    int opens = 0;
};

// `choose` puts the control on the board; the ticks then read EA0 and EA1 until both give a
// code, for a minute at most.
Start measure(const std::string& path, const std::function<void(thermo::OrphyControl&)>& choose) {
    thermo::OrphyControl control(thermo::OrphyProperties::mainWindowSet());
    OpenCounter opens(path);
    Start start;
    const auto begin = Clock::now();
    choose(control);
    QTimer timer;
    timer.setInterval(100);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        try {
            control.invoke(thermo::readDispatchId, 0);
            control.invoke(thermo::readDispatchId, 1);
            start.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
            timer.stop();
            QCoreApplication::quit();
        } catch (const thermo::Failure&) {
            ++start.failedTicks;
            if (Clock::now() - begin > 60s) {
                QCoreApplication::quit();
            }
        }
    });
    timer.start();
    QCoreApplication::exec();
    start.opens = opens.count();
    return start;
}

void report(const char* board, const char* how, std::vector<Start> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Start& a, const Start& b) { return a.seconds < b.seconds; });
    const Start& median = runs[runs.size() / 2];
    std::printf("%-34s %-10s %8.2f %8.2f %8.2f %8d %8d\n", board, how, runs.front().seconds,
                median.seconds, runs.back().seconds, median.failedTicks, median.opens);
    std::fflush(stdout);
}

template <typename Board>
void measureBoth(const char* name, int runs, const thermo::BoardKind& kind,
                 const std::function<std::unique_ptr<Board>()>& make) {
    std::vector<Start> typed, chosen;
    for (int run = 0; run < runs; ++run) {
        const auto board = make();
        typed.push_back(
            measure(board->path(), [&](thermo::OrphyControl& c) { c.usePort(board->path()); }));
    }
    report(name, "--port", typed);
    for (int run = 0; run < runs; ++run) {
        const auto board = make();
        chosen.push_back(measure(
            board->path(), [&](thermo::OrphyControl& c) { c.useBoard(kind, board->path()); }));
    }
    report(name, "menu", chosen);
    // The search, which only recognises: the time it takes on that one port.
    std::vector<Start> searched;
    for (int run = 0; run < runs; ++run) {
        const auto board = make();
        OpenCounter opens(board->path());
        const auto begin = Clock::now();
        const bool found = thermo::findBoards({board->path()}).size() == 1;
        searched.push_back(
            {found ? std::chrono::duration<double>(Clock::now() - begin).count() : -1.0, 0,
             opens.count()});
    }
    report(name, "recherche", searched);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string firmware = argc > 1 ? argv[1] : "";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::printf("%-34s %-10s %8s %8s %8s %8s %8s\n", "carte", "choisie", "min (s)", "médiane",
                "max (s)", "échecs", "ouvertures");

    using thermo::test::FirmataPeer;
    for (const auto boot : {0ms, 2000ms}) {
        const std::string name = "Firmata, démarrage " + std::to_string(boot.count()) + " ms";
        measureBoth<FirmataPeer>(name.c_str(), runs, *thermo::boardKinds()[1], [boot] {
            auto board = std::make_unique<FirmataPeer>(
                FirmataPeer::Options{.bits = 10, .restartsOnOpen = true, .bootTime = boot});
            board->setValues(0, {512});
            board->setValues(1, {1023});
            return board;
        });
    }
#ifdef THERMO_SIMULATED_UNO
    if (!firmware.empty()) {
        using thermo::test::SimulatedUno;
        measureBoth<SimulatedUno>(
            "carte du projet (simavr)", runs, *thermo::boardKinds()[0], [&firmware] {
                auto board = std::make_unique<SimulatedUno>(firmware, 5000, true);
                board->setInput(0, 2500);
                board->setInput(1, 5000);
                return board;
            });
    }
#endif
    return 0;
}
