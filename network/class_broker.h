#pragma once

#include "network/broker_files.h"

#include <QObject>
#include <QProcess>
#include <QString>

class QTimer;

namespace thermo::classroom {

// The teacher's own Mosquitto, a process of the program's: its configuration, password and
// access files are in a private folder the class writes first. It is started again if it
// stops by itself (after restartDelay), on the same port, so that the groups find it again.
class ClassBroker : public QObject {
    Q_OBJECT
public:
    ClassBroker(QString folder, BrokerListener listener, QObject* parent = nullptr);
    ~ClassBroker() override;

    // Starts Mosquitto; ready() once it listens, failed() if it cannot. On port 0, or when
    // its port is taken, it listens on a free port the system gives.
    void start();
    void stop();
    // Mosquitto reads the password and access files again (SIGHUP).
    void reload();

    int port() const noexcept { return listener_.port; }
    bool isRunning() const;
    qint64 processId() const;
    void setRestartDelay(int milliseconds) noexcept { restartDelayMs_ = milliseconds; }

    // A port nobody listens on now, from the system.
    static int freePort();

signals:
    void ready();
    void failed(const QString& why);

private:
    void launch();
    void readLog();
    void probe();
    void finished();
    QString lastLogLine() const;

    QString folder_;
    BrokerListener listener_;
    QProcess process_;
    QTimer* restart_;
    QTimer* probe_;
    QString lastLogLine_;
    int restartDelayMs_ = 2000;
    bool stopping_ = false;
    bool everReady_ = false;
    bool listening_ = false;
};

} // namespace thermo::classroom
