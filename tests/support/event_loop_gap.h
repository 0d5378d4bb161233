#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>

namespace thermo::test {

struct EventLoopGaps {
    std::chrono::microseconds longest{0}; // between two turns of the loop, nothing else ran
    std::chrono::microseconds inTicks{0}; // spent inside `tick`, all calls together
    std::chrono::microseconds longestTick{0};
    std::chrono::microseconds elapsed{0};
    int ticks = 0;

    double tickShare() const {
        return elapsed.count() > 0 ? static_cast<double>(inTicks.count()) / elapsed.count() : 0.0;
    }
};

// Runs the event loop for `duration` with `tick` on a 100 ms timer, as the measurement's
// Timer1 is, and a 1 ms timer beside it: the longest wait between two of its turns is the
// longest time the loop was held, by `tick` or by anything else.
inline EventLoopGaps measureEventLoopGaps(const std::function<void()>& tick,
                                          std::chrono::milliseconds duration) {
    using std::chrono::microseconds;
    EventLoopGaps gaps;
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        gaps.longest = std::max(gaps.longest, microseconds((now - lastTurn) / 1000));
        lastTurn = now;
    });
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(100);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 start = clock.nsecsElapsed();
        tick();
        const microseconds took((clock.nsecsElapsed() - start) / 1000);
        gaps.inTicks += took;
        gaps.longestTick = std::max(gaps.longestTick, took);
        ++gaps.ticks;
    });
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    clock.start();
    probe.start();
    ticker.start();
    loop.exec();
    gaps.elapsed = microseconds(clock.nsecsElapsed() / 1000);
    return gaps;
}

} // namespace thermo::test
