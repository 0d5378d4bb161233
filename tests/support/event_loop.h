#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <functional>

namespace thermo::test {

// Runs the application's event loop, does `action` from inside it, and returns the status
// the loop ended with. A loop nobody ends stops after five seconds with status -99.
inline int runEventLoop(const std::function<void()>& action) {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(-99); });
    watchdog.start(5000);
    QTimer::singleShot(0, action);
    return QCoreApplication::exec();
}

} // namespace thermo::test
