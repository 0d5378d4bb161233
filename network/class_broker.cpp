#include "network/class_broker.h"

#include "network/mqtt_link.h"
#include "storage/private_files.h"

#include <QFile>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace thermo::classroom {

ClassBroker::ClassBroker(QString folder, BrokerListener listener, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), listener_(std::move(listener)),
      restart_(new QTimer(this)), probe_(new QTimer(this)) {
    restart_->setSingleShot(true);
    probe_->setInterval(50);
    connect(probe_, &QTimer::timeout, this, &ClassBroker::probe);
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

namespace {

// Binds a socket to the port (0: any) on every address; the port bound, or 0 when it cannot.
int bindPort(int port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket < 0) {
        return 0;
    }
    const int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(quint16(port));
    socklen_t size = sizeof(address);
    int bound = 0;
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        bound = ntohs(address.sin_port);
    }
    ::close(socket);
    return bound;
}

} // namespace

int ClassBroker::freePort() {
    return bindPort(0);
}

void ClassBroker::start() {
    stopping_ = false;
    everReady_ = false;
    // A port already taken (another program, another class) is left for a free one at once:
    // the broker's own start would fail on it, but the port would seem to answer meanwhile.
    if (listener_.port == 0 || bindPort(listener_.port) == 0) {
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
    QFile::remove(folder_ + QStringLiteral("/mosquitto.log"));
    process_.setArguments({QStringLiteral("-c"), config});
    process_.start();
    probe_->start();
}

// What Mosquitto prints before its log is open (a configuration it cannot read).
void ClassBroker::readLog() {
    while (process_.canReadLine()) {
        const QString line = QString::fromUtf8(process_.readLine()).trimmed();
        if (!line.isEmpty()) {
            lastLogLine_ = line;
        }
    }
}

// Ready once its port takes connections: a connection on the loopback is made or refused at
// once.
void ClassBroker::probe() {
    if (listening_ || process_.state() != QProcess::Running) {
        return;
    }
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(listener_.port));
    const QByteArray host = listener_.bindAddress.isEmpty() ? QByteArray("127.0.0.1")
                                                            : listener_.bindAddress.toLatin1();
    const bool answers =
        socket >= 0 && ::inet_pton(AF_INET, host.constData(), &address.sin_addr) == 1 &&
        ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (socket >= 0) {
        ::close(socket);
    }
    if (answers) {
        listening_ = true;
        everReady_ = true;
        probe_->stop();
        emit ready();
    }
}

QString ClassBroker::lastLogLine() const {
    QFile log(folder_ + QStringLiteral("/mosquitto.log"));
    QString last = lastLogLine_;
    if (log.open(QIODevice::ReadOnly)) {
        log.seek(std::max<qint64>(0, log.size() - 4096));
        // Its errors, not the warning it gives when run by root.
        for (const QByteArray& line : log.readAll().split('\n')) {
            if (line.contains("Error")) {
                last = QString::fromUtf8(line.mid(line.indexOf("Error")).trimmed());
            }
        }
    }
    return last;
}

void ClassBroker::finished() {
    readLog();
    probe_->stop();
    if (stopping_) {
        return;
    }
    if (!everReady_) {
        const QString why = lastLogLine();
        // The usual port is taken (another program, another class): any free one will do, as
        // the teacher shows the address with its port.
        if (why.contains(QLatin1String("Address already in use"))) {
            listener_.port = freePort();
            launch();
            return;
        }
        emit failed(tr("Le serveur de la classe n'a pas démarré : %1").arg(why));
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
