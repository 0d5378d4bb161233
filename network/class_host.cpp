#include "network/class_host.h"

#include "network/class_broker.h"
#include "network/class_model.h"
#include "network/class_topics.h"
#include "network/mqtt_link.h"
#include "network/message_bytes.h"
#include "storage/private_files.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>

namespace thermo::classroom {

namespace {

QString classFile(const QString& folder) {
    return folder + QStringLiteral("/classe.json");
}

} // namespace

QStringList networkAddresses() {
    QStringList addresses;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return addresses;
    }
    for (const ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
        if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET ||
            (i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        if (::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
            addresses << QString::fromLatin1(text);
        }
    }
    ::freeifaddrs(list);
    return addresses;
}

ClassHost::ClassHost(QString folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), backfill_(new QTimer(this)) {
    backfill_->setInterval(1000);
    connect(backfill_, &QTimer::timeout, this, &ClassHost::requestMissing);
}

ClassHost::~ClassHost() {
    close();
}

QString ClassHost::open(const HostSettings& settings, bool resume) {
    close();
    settings_ = settings;
    if (const QString failure = makePrivateFolder(folder_); !failure.isEmpty()) {
        return failure;
    }
    if (!resume || !loadClass()) {
        keys_ = classKeys(newClassCode());
        accounts_ = ClassAccounts{};
        accounts_.teacherPassword = randomSecret(24);
    }
    accounts_.classId = keys_.classId;
    accounts_.enrolmentAccount = keys_.enrolmentAccount;
    accounts_.enrolmentPassword = keys_.enrolmentPassword;
    accounts_.teacherAccount = QStringLiteral("c%1-professeur").arg(keys_.classId);
    if (settings.broker == HostSettings::Broker::School) {
        accounts_.teacherAccount = settings.teacherAccount;
        accounts_.teacherPassword = settings.teacherPassword;
    }
    if (const QString failure = writeFiles(); !failure.isEmpty()) {
        return failure;
    }
    model_ = std::make_unique<ClassModel>(keys_.classId);
    if (settings.broker == HostSettings::Broker::School) {
        address_ = settings.school;
        connectTeacher(address_);
    } else {
        broker_ = std::make_unique<ClassBroker>(folder_,
                                                BrokerListener{settings.port, settings.bindAddress, {}, {}});
        connect(broker_.get(), &ClassBroker::failed, this, &ClassHost::setStatus);
        connect(broker_.get(), &ClassBroker::ready, this, [this] {
            address_.host = settings_.bindAddress.isEmpty()
                                ? networkAddresses().value(0, QStringLiteral("127.0.0.1"))
                                : settings_.bindAddress;
            address_.port = broker_->port();
            if (!link_) {
                connectTeacher(BrokerAddress{QStringLiteral("127.0.0.1"), broker_->port(), false, {}});
            }
        });
        setStatus(tr("Démarrage du serveur de la classe…"));
        broker_->start();
    }
    backfill_->start();
    return {};
}

void ClassHost::close() {
    backfill_->stop();
    link_.reset();
    broker_.reset();
    model_.reset();
}

QString ClassHost::displayedCode() const {
    return displayedClassCode(keys_.code);
}

QString ClassHost::addressText() const {
    return address_.host.isEmpty() ? QString() : address_.text();
}

bool ClassHost::isConnected() const {
    return link_ && link_->isConnected();
}

QString ClassHost::writeFiles() {
    if (const QString failure =
            writePrivateFile(folder_ + QStringLiteral("/comptes"), passwordFileText(accounts_));
        !failure.isEmpty()) {
        return failure;
    }
    if (const QString failure =
            writePrivateFile(folder_ + QStringLiteral("/acces"), accessFileText(accounts_));
        !failure.isEmpty()) {
        return failure;
    }
    return saveClass();
}

QString ClassHost::saveClass() const {
    QJsonObject groups;
    for (auto it = accounts_.groups.cbegin(); it != accounts_.groups.cend(); ++it) {
        groups.insert(it.key(), QString::fromUtf8(it.value()));
    }
    const QJsonObject saved{{QStringLiteral("code"), keys_.code},
                            {QStringLiteral("professeur"), accounts_.teacherPassword},
                            {QStringLiteral("groupes"), groups}};
    return writePrivateFile(classFile(folder_), QJsonDocument(saved).toJson());
}

bool ClassHost::loadClass() {
    QFile file(classFile(folder_));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QJsonObject saved = QJsonDocument::fromJson(file.read(1 << 20)).object();
    const auto code = normaliseClassCode(saved.value(QLatin1String("code")).toString());
    const QString teacher = saved.value(QLatin1String("professeur")).toString();
    if (!code || teacher.isEmpty()) {
        return false;
    }
    keys_ = classKeys(*code);
    accounts_ = ClassAccounts{};
    accounts_.teacherPassword = teacher;
    const QJsonObject groups = saved.value(QLatin1String("groupes")).toObject();
    for (auto it = groups.begin(); it != groups.end(); ++it) {
        accounts_.groups.insert(it.key(), it.value().toString().toUtf8());
    }
    return true;
}

QString ClassHost::savedCode() const {
    QFile file(classFile(folder_));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const auto code = normaliseClassCode(
        QJsonDocument::fromJson(file.read(1 << 20)).object().value(QLatin1String("code")).toString());
    return code ? displayedClassCode(*code) : QString();
}

void ClassHost::connectTeacher(const BrokerAddress& where) {
    LinkSettings settings;
    settings.broker = where;
    settings.clientId = accounts_.teacherAccount;
    settings.user = accounts_.teacherAccount;
    settings.password = accounts_.teacherPassword;
    const QString root = classRoot(keys_.classId);
    settings.subscriptions = {root + QStringLiteral("/+/lots"), root + QStringLiteral("/+/etat"),
                              enrolmentTopic(keys_.classId)};
    link_ = std::make_unique<MqttLink>(settings);
    connect(link_.get(), &MqttLink::messageReceived, this, &ClassHost::receive);
    connect(link_.get(), &MqttLink::oversized, model_.get(), &ClassModel::takeOversized);
    connect(link_.get(), &MqttLink::connectionProblem, this, &ClassHost::setStatus);
    connect(link_.get(), &MqttLink::refused, this, &ClassHost::setStatus);
    connect(link_.get(), &MqttLink::connected, this, [this] {
        setStatus(tr("Classe ouverte : écrivez au tableau l'adresse %1 et le code %2.")
                      .arg(addressText(), displayedCode()));
        emit opened();
    });
    link_->start();
}

void ClassHost::receive(const QString& topic, const QByteArray& payload) {
    if (topic == enrolmentTopic(keys_.classId)) {
        welcome(payload);
    } else {
        model_->take(topic, payload);
    }
}

// A group asks in with the account it made: the teacher's broker learns it, once. An account
// already known keeps its password: nobody takes over a group by asking in its name.
void ClassHost::welcome(const QByteArray& payload) {
    const auto message = readMessage(payload);
    const auto* enrolment = message ? std::get_if<Enrolment>(&*message) : nullptr;
    if (enrolment == nullptr || settings_.broker != HostSettings::Broker::Own || !broker_) {
        return;
    }
    const QString account = QString::fromStdString(enrolment->account);
    if (!account.startsWith(QLatin1Char('g')) || accounts_.groups.contains(account) ||
        accounts_.groups.size() >= settings_.maxGroups) {
        return;
    }
    accounts_.groups.insert(account,
                            passwordLine(account, QString::fromStdString(enrolment->password)));
    if (const QString failure = writeFiles(); !failure.isEmpty()) {
        accounts_.groups.remove(account);
        setStatus(failure);
        return;
    }
    broker_->reload();
}

void ClassHost::requestMissing() {
    if (!isConnected()) {
        return;
    }
    for (const auto& [account, request] : model_->dueRequests(ClassModel::Clock::now())) {
        link_->publish(groupTopic(keys_.classId, account, GroupTopic::Requests),
                       messageBytes(request));
    }
}

void ClassHost::setStatus(const QString& status) {
    status_ = status;
    emit statusChanged(status);
}

} // namespace thermo::classroom
