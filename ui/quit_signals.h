#pragma once

#include <QObject>

class QSocketNotifier;

namespace thermo {

// SIGTERM (a logout, a shutdown), SIGINT (Ctrl+C in the terminal) and SIGHUP (the terminal
// closed) end the program as "Quitter" does, through the event loop, with status 0: the
// journal and the files being written get everything, synced. The handler only writes a byte
// to a pipe, which the event loop reads.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace thermo
