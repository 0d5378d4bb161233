// The time steps of the recorded readings: Timer1 on the simulated bench, the program's own
// measurement without windows, for a while on an idle event loop, then for as long with the
// loop held now and then (150 ms every 0.7 s, as a heavy redraw or a stalled disk would), and
// with every core busy. For each: the share of steps within 100 ± 5 ms, the shortest, the
// median and the longest. Usage: tick_steps [seconds per run, 60 by default].
#include "core/number_locale.h"
#include "ui/measurement/measurement.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = thermo::Reading::Clock;

struct Load {
    const char* name;
    bool holdLoop;
    bool busyCores;
};

void run(const Load& load, int seconds) {
    thermo::Measurement measurement(thermo::NumberLocale{","});
    std::vector<Clock::time_point> times;
    QObject::connect(&measurement, &thermo::Measurement::readingTaken,
                     [&times](const thermo::Reading& r) { times.push_back(r.time); });
    QTimer hold;
    QObject::connect(&hold, &QTimer::timeout, [] {
        const auto until = Clock::now() + std::chrono::milliseconds(150);
        while (Clock::now() < until) {
        }
    });
    std::atomic<bool> busy{load.busyCores};
    std::vector<std::thread> burners;
    for (unsigned i = 0; load.busyCores && i < std::thread::hardware_concurrency(); ++i) {
        burners.emplace_back([&busy] {
            volatile double x = 0;
            while (busy) {
                x = x + 1;
            }
        });
    }
    if (load.holdLoop) {
        hold.start(700);
    }
    measurement.start();
    QTimer::singleShot(seconds * 1000, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    measurement.stop();
    busy = false;
    for (std::thread& t : burners) {
        t.join();
    }
    std::vector<double> steps;
    for (std::size_t i = 1; i < times.size(); ++i) {
        steps.push_back(std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count());
    }
    std::sort(steps.begin(), steps.end());
    if (steps.empty()) {
        std::printf("%s : aucune mesure\n", load.name);
        return;
    }
    const auto within =
        std::count_if(steps.begin(), steps.end(), [](double s) { return s >= 95 && s <= 105; });
    std::printf("%-28s %5zu pas, %5.1f %% à 100 ± 5 ms, min %6.1f, médiane %6.1f, max %6.1f ms\n",
                load.name, steps.size(), 100.0 * static_cast<double>(within) / steps.size(),
                steps.front(), steps[steps.size() / 2], steps.back());
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    for (const Load& load :
         {Load{"machine au repos", false, false}, Load{"boucle tenue 150 ms / 0,7 s", true, false},
          Load{"tous les cœurs occupés", false, true}}) {
        run(load, seconds);
    }
    return 0;
}
