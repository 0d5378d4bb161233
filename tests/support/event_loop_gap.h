#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>

namespace thermo::test {

struct EventLoopGaps {
    std::chrono::microseconds longest{0}; // between two turns of the loop
    std::chrono::microseconds inTicks{0}; // spent inside `tick`, all calls together
    std::chrono::microseconds longestTick{0};
    std::chrono::microseconds elapsed{0};
    int ticks = 0;

    double tickShare() const { return static_cast<double>(inTicks.count()) / elapsed.count(); }
};

// Runs the event loop for `duration` with `tick` on a 100 ms timer, as the measurement's
// Timer1 is, and a 1 ms timer beside it: the longest wait between two of its turns is the
// longest time the loop was held, by `tick` or by anything else.
inline EventLoopGaps measureEventLoopGaps(const std::function<void()>& tick,
                                          std::chrono::milliseconds duration) {
    using std::chrono::microseconds;
    EventLoopGaps gaps;
    QElapsedTimer clock;
    const auto since = [&clock](qint64 start) {
        return microseconds((clock.nsecsElapsed() - start) / 1000);
    };
    qint64 lastTurn = 0;
    QTimer probe;
    QTimer ticker;
    for (QTimer* timer : {&probe, &ticker}) {
        timer->setTimerType(Qt::PreciseTimer);
    }
    QObject::connect(&probe, &QTimer::timeout, [&] {
        gaps.longest = std::max(gaps.longest, since(lastTurn));
        lastTurn = clock.nsecsElapsed();
    });
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 start = clock.nsecsElapsed();
        tick();
        gaps.inTicks += since(start);
        gaps.longestTick = std::max(gaps.longestTick, since(start));
        ++gaps.ticks;
    });
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    clock.start();
    probe.start(1);
    ticker.start(100);
    loop.exec();
    gaps.elapsed = since(0);
    return gaps;
}

} // namespace thermo::test
