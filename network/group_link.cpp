#include "network/group_link.h"

#include "network/class_topics.h"
#include "network/message_bytes.h"
#include "network/mqtt_link.h"
#include "network/sent_batches.h"
#include "storage/private_files.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace thermo::classroom {

namespace {

// A text the class's messages can carry: no control characters, cut to maxBytes of UTF-8 on
// a character's boundary.
std::string text(const QString& value, std::size_t maxBytes) {
    QString kept;
    for (const QChar c : value.simplified()) {
        if (c.category() != QChar::Other_Control) {
            kept += c;
        }
    }
    while (std::size_t(kept.toUtf8().size()) > maxBytes) {
        kept.chop(kept.size() > 1 && kept.back().isLowSurrogate() ? 2 : 1);
    }
    return kept.toUtf8().toStdString();
}

double volts(const std::optional<double>& value) {
    return value && std::abs(*value) < 100 ? *value : std::nan("");
}

bool operator==(const GroupDescription& x, const GroupDescription& y) {
    return x.source == y.source && x.r == y.r && x.a == y.a && x.b == y.b;
}

} // namespace

GroupLink::GroupLink(SentBatches& store, QString accountsFolder, QObject* parent)
    : QObject(parent), store_(store), accountsFolder_(std::move(accountsFolder)),
      flushTimer_(new QTimer(this)), stillTimer_(new QTimer(this)), retryTimer_(new QTimer(this)) {
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(batchMaxAgeMs);
    connect(flushTimer_, &QTimer::timeout, this, &GroupLink::flush);
    stillTimer_->setSingleShot(true);
    stillTimer_->setInterval(stillMs);
    connect(stillTimer_, &QTimer::timeout, this, [this] { setRunning(false); });
    retryTimer_->setSingleShot(true);
    retryTimer_->setInterval(enrolRetryMs);
    connect(retryTimer_, &QTimer::timeout, this, &GroupLink::connectGroup);
}

GroupLink::~GroupLink() = default;

void GroupLink::setDescription(std::function<GroupDescription()> describe) {
    describe_ = std::move(describe);
}

bool GroupLink::isConnected() const {
    return link_ && link_->isConnected();
}

QString GroupLink::join(const QString& address, const QString& classCode, const QString& name) {
    leave();
    broker_ = BrokerAddress::parse(address);
    if (!broker_) {
        return tr("L'adresse « %1 » n'est pas celle d'un serveur : elle s'écrit comme au "
                  "tableau, par exemple 192.168.1.20 ou 192.168.1.20:1884.")
            .arg(address.trimmed());
    }
    const auto code = normaliseClassCode(classCode);
    if (!code) {
        return tr("Le code de classe « %1 » n'est pas valable : il a six caractères, comme "
                  "au tableau (par exemple K7P-Q4X).")
            .arg(classCode.trimmed());
    }
    name_ = QString::fromStdString(text(name, maxNameBytes));
    if (name_.isEmpty()) {
        return tr("Donnez un nom au groupe, par exemple « Groupe 3 ».");
    }
    const bool sameClass = keys_ && keys_->code == *code;
    keys_ = classKeys(*code);
    if (!sameClass) {
        run_ = 0; // a new class, a new run
    }
    if (const QString failure = loadOrMakeAccount(); !failure.isEmpty()) {
        return failure;
    }
    attempts_ = 0;
    connectGroup();
    return {};
}

QString GroupLink::loadOrMakeAccount() {
    if (const QString failure = makePrivateFolder(accountsFolder_); !failure.isEmpty()) {
        return failure;
    }
    const QString path = accountsFolder_ + '/' + keys_->classId + QStringLiteral(".json");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QJsonObject saved = QJsonDocument::fromJson(file.read(4096)).object();
        account_ = saved.value(QLatin1String("compte")).toString();
        password_ = saved.value(QLatin1String("mot de passe")).toString();
        if (account_.startsWith(QLatin1Char('g')) && !password_.isEmpty()) {
            return {};
        }
    }
    account_ = newGroupAccount();
    password_ = randomSecret(24);
    const QJsonObject saved{{QStringLiteral("compte"), account_},
                            {QStringLiteral("mot de passe"), password_}};
    return writePrivateFile(path, QJsonDocument(saved).toJson(QJsonDocument::Compact));
}

QString GroupLink::topic(GroupTopic which) const {
    return groupTopic(keys_->classId, account_, which);
}

void GroupLink::connectGroup() {
    LinkSettings settings;
    settings.broker = *broker_;
    settings.clientId = account_;
    settings.user = account_;
    settings.password = password_;
    settings.subscriptions = {topic(GroupTopic::Requests)};
    settings.will = LinkSettings::Will{topic(GroupTopic::State), messageBytes(GroupLeft{}), true};
    link_ = std::make_unique<MqttLink>(settings);
    connect(link_.get(), &MqttLink::connected, this, &GroupLink::groupConnected);
    connect(link_.get(), &MqttLink::refused, this, &GroupLink::groupRefused);
    connect(link_.get(), &MqttLink::connectionProblem, this,
            [this](const QString& why) { setStatus(phase_, why); });
    connect(link_.get(), &MqttLink::publishRefused, this,
            [this](const QString& why) { setStatus(phase_, why); });
    connect(link_.get(), &MqttLink::messageReceived, this, &GroupLink::answer);
    if (phase_ != Phase::Enrolling) {
        setStatus(Phase::Connecting, tr("Connexion au serveur %1…").arg(broker_->text()));
    }
    link_->start();
}

void GroupLink::groupConnected() {
    enrolment_.reset();
    setStatus(Phase::Joined, tr("Dans la classe %1 : les mesures du groupe « %2 » partent vers "
                                "le professeur.")
                                 .arg(displayedClassCode(keys_->code), name_));
    publishState();
}

// The broker does not know the group's account yet: the teacher is asked to let it in, and
// the account tried again a moment later.
void GroupLink::groupRefused() {
    if (++attempts_ > enrolAttempts) {
        fail(tr("Le professeur n'a pas accueilli le groupe : sa classe est-elle ouverte sur "
                "%1 avec le code %2 ?")
                 .arg(broker_->text(), displayedClassCode(keys_->code)));
        return;
    }
    if (!enrolment_) {
        setStatus(Phase::Enrolling, tr("Demande d'entrée dans la classe %1…")
                                        .arg(displayedClassCode(keys_->code)));
        LinkSettings settings;
        settings.broker = *broker_;
        settings.clientId = keys_->enrolmentAccount + '-' + account_;
        settings.user = keys_->enrolmentAccount;
        settings.password = keys_->enrolmentPassword;
        enrolment_ = std::make_unique<MqttLink>(settings);
        connect(enrolment_.get(), &MqttLink::connected, this, &GroupLink::enrol);
        connect(enrolment_.get(), &MqttLink::refused, this, [this] {
            fail(tr("Le code de classe %1 n'ouvre aucune classe sur le serveur %2 : vérifiez "
                    "le code écrit au tableau.")
                     .arg(displayedClassCode(keys_->code), broker_->text()));
        });
        connect(enrolment_.get(), &MqttLink::connectionProblem, this,
                [this](const QString& why) { setStatus(phase_, why); });
        enrolment_->start();
    } else {
        enrol();
    }
    retryTimer_->start();
}

void GroupLink::enrol() {
    if (enrolment_) {
        enrolment_->publish(enrolmentTopic(keys_->classId),
                            messageBytes(Enrolment{account_.toStdString(), password_.toStdString(),
                                            name_.toStdString()}));
    }
}

void GroupLink::fail(const QString& why) {
    retryTimer_->stop();
    link_.reset();
    enrolment_.reset();
    setStatus(Phase::Failed, why);
}

void GroupLink::leave() {
    retryTimer_->stop();
    if (link_ && link_->isConnected()) {
        flush();
        link_->publish(topic(GroupTopic::State), messageBytes(GroupLeft{}), true);
    }
    link_.reset();
    enrolment_.reset();
    if (phase_ != Phase::Outside) {
        setStatus(Phase::Outside, tr("Hors de la classe."));
    }
}

void GroupLink::stopClient() {
    link_.reset();
}

void GroupLink::startClient() {
    if (!link_ && phase_ == Phase::Joined) {
        connectGroup();
    }
}

void GroupLink::setStatus(Phase phase, const QString& status) {
    const bool moved = phase != phase_;
    phase_ = phase;
    status_ = status;
    emit statusChanged(status);
    if (moved) {
        emit phaseChanged(phase);
    }
}

void GroupLink::take(const Reading& reading) {
    if (phase_ == Phase::Outside || phase_ == Phase::Failed) {
        return;
    }
    if (run_ == 0) {
        run_ = QRandomGenerator::system()->bounded(1u, 0xFFFFFFFFu);
        origin_ = reading.time;
        startedAt_ = QDateTime::currentMSecsSinceEpoch();
        lastMillis_ = 0;
        lastBatch_ = 0;
    }
    const auto elapsed = std::chrono::round<std::chrono::milliseconds>(reading.time - origin_);
    lastMillis_ = std::max<std::int64_t>(lastMillis_, elapsed.count());
    Sample sample;
    sample.millis = lastMillis_;
    sample.gap = reading.gap();
    // A temperature no thermometer gives (parameters typed wrong) is no temperature.
    if (sample.gap == Gap::None && !(std::abs(*reading.celsius) < 1e5)) {
        sample.gap = Gap::Failure;
    }
    sample.celsius = sample.gap == Gap::None ? *reading.celsius : std::nan("");
    sample.uth = volts(reading.uth);
    sample.ut = volts(reading.ut);
    sample.code = reading.code;
    pending_.push_back(sample);
    stillTimer_->start();
    if (!running_) {
        setRunning(true);
    }
    if (pending_.size() >= std::size_t(batchReadings)) {
        flush();
    } else if (!flushTimer_->isActive()) {
        flushTimer_->start();
    }
}

void GroupLink::flush() {
    flushTimer_->stop();
    if (pending_.empty()) {
        return;
    }
    Batch batch{run_, ++lastBatch_, startedAt_, std::move(pending_)};
    pending_.clear();
    store_.keep(batch);
    if (link_) {
        link_->publish(topic(GroupTopic::Batches), messageBytes(batch));
    }
    // The parameters or the source may have changed since the state was sent.
    if (describe_ && lastBatch_ % 25 == 0 && !(describe_() == described_)) {
        publishState();
    }
}

void GroupLink::setRunning(bool running) {
    running_ = running;
    if (!running) {
        flush();
    }
    publishState();
}

void GroupLink::publishState() {
    if (!link_ || !keys_) {
        return;
    }
    described_ = describe_ ? describe_() : GroupDescription{};
    GroupState state;
    state.run = run_;
    state.startedAt = startedAt_;
    state.lastBatch = lastBatch_;
    state.running = running_;
    state.name = name_.toStdString();
    state.source = text(described_.source, maxSourceBytes);
    state.r = text(described_.r, maxParameterBytes);
    state.a = text(described_.a, maxParameterBytes);
    state.b = text(described_.b, maxParameterBytes);
    link_->publish(topic(GroupTopic::State), messageBytes(state), true);
}

void GroupLink::answer(const QString&, const QByteArray& payload) {
    const auto message = readMessage(payload);
    const auto* request = message ? std::get_if<BackfillRequest>(&*message) : nullptr;
    if (request == nullptr || request->run != run_ || !link_) {
        return;
    }
    for (const BatchRange& range : request->ranges) {
        for (std::uint64_t n = range.first; n <= range.last; ++n) {
            if (const auto batch = store_.find(run_, std::uint32_t(n))) {
                link_->publish(topic(GroupTopic::Batches), messageBytes(*batch));
            }
        }
    }
}

} // namespace thermo::classroom
