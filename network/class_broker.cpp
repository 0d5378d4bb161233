#include "network/class_broker.h"

#include "network/mqtt_link.h"
#include "storage/private_files.h"

#include <QTimer>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace thermo::classroom {

ClassBroker::ClassBroker(QString folder, BrokerListener listener, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), listener_(std::move(listener)),
      restart_(new QTimer(this)) {
    restart_->setSingleShot(true);
    connect(restart_, &QTimer::timeout, this, &ClassBroker::launch);
    process_.setProgram(QStringLiteral("mosquitto"));
    // The broker ends with the program, even one that did not end cleanly: a broker left
    // behind would hold the class's port.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process_.setProcessChannelMode(QProcess::MergedChannels);
    connect(&process_, &QProcess::readyRead, this, &ClassBroker::readLog);
    connect(&process_, &QProcess::finished, this, &ClassBroker::finished);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            emit failed(tr("Le serveur de la classe (Mosquitto) est introuvable : installez le "
                           "paquet mosquitto."));
        }
    });
}

ClassBroker::~ClassBroker() {
    stop();
}

int ClassBroker::freePort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t size = sizeof(address);
    int port = 0;
    if (socket >= 0 && ::bind(socket, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    if (socket >= 0) {
        ::close(socket);
    }
    return port;
}

void ClassBroker::start() {
    stopping_ = false;
    everReady_ = false;
    if (listener_.port == 0) {
        listener_.port = freePort();
    }
    launch();
}

void ClassBroker::launch() {
    if (stopping_ || process_.state() != QProcess::NotRunning) {
        return;
    }
    const QString config = folder_ + QStringLiteral("/mosquitto.conf");
    const QString failure = makePrivateFolder(folder_ + QStringLiteral("/persistance"));
    const QString written =
        failure.isEmpty()
            ? writePrivateFile(config, brokerConfigText(folder_, listener_, MqttLink::maxPayloadBytes + 1024))
            : failure;
    if (!written.isEmpty()) {
        emit failed(written);
        return;
    }
    listening_ = false;
    lastLogLine_.clear();
    process_.setArguments({QStringLiteral("-c"), config});
    process_.start();
}

void ClassBroker::readLog() {
    while (process_.canReadLine()) {
        const QString line = QString::fromUtf8(process_.readLine()).trimmed();
        if (!line.isEmpty()) {
            lastLogLine_ = line;
        }
        if (!listening_ && line.contains(QLatin1String(" running"))) {
            listening_ = true;
            everReady_ = true;
            emit ready();
        }
    }
}

void ClassBroker::finished() {
    readLog();
    if (stopping_) {
        return;
    }
    if (!everReady_) {
        // The usual port is taken (another program, another class): any free one will do, as
        // the teacher shows the address with its port.
        if (lastLogLine_.contains(QLatin1String("Address already in use"))) {
            listener_.port = freePort();
            launch();
            return;
        }
        emit failed(tr("Le serveur de la classe n'a pas démarré : %1").arg(lastLogLine_));
        return;
    }
    restart_->start(restartDelayMs_);
}

void ClassBroker::stop() {
    stopping_ = true;
    restart_->stop();
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(1000);
        }
    }
}

void ClassBroker::reload() {
    if (process_.state() == QProcess::Running) {
        ::kill(static_cast<pid_t>(process_.processId()), SIGHUP);
    }
}

bool ClassBroker::isRunning() const {
    return process_.state() == QProcess::Running;
}

qint64 ClassBroker::processId() const {
    return process_.processId();
}

} // namespace thermo::classroom
