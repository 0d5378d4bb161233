#include "network/class_broker.h"
#include "network/class_host.h"
#include "network/class_model.h"
#include "network/class_topics.h"
#include "network/link_failure_text.h"
#include "network/message_bytes.h"
#include "network/mqtt_link.h"
#include "tests/support/simulated_group.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace thermo;
using namespace thermo::classroom;

namespace {

constexpr int joinMs = 30000;

// The account a group made for itself, as its computer keeps it.
LinkSettings groupAccount(const QString& folder, const QString& classId, const QString& account) {
    QFile file(folder + '/' + classId + ".json");
    file.open(QIODevice::ReadOnly);
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    LinkSettings settings;
    settings.clientId = account + "-autre";
    settings.user = account;
    settings.password = saved.value("mot de passe").toString();
    return settings;
}

} // namespace

// The teacher's own broker against groups that try what they should not: they are refused,
// told so in French, and nothing of theirs reaches the teacher's model.
class ClassSecurityTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<ClassHost> host_;
    std::unique_ptr<test::SimulatedGroup> a_, b_;
    QTimer ticks_;

    BrokerAddress address() const {
        return BrokerAddress{"127.0.0.1", host_->broker()->port(), false, {}};
    }
    QString join(test::SimulatedGroup& group, const QString& code, const QString& name) {
        return group.link.join(address().text(), code, name);
    }
    const ClassGroup* teacherSees(const test::SimulatedGroup& group) const {
        const int index = host_->model()->indexOf(group.link.account());
        return index < 0 ? nullptr : &host_->model()->group(index);
    }

private slots:
    void initTestCase() {
        host_ = std::make_unique<ClassHost>(dir_.filePath("professeur"));
        HostSettings settings;
        settings.port = 0;
        settings.bindAddress = "127.0.0.1";
        QCOMPARE(host_->open(settings), QString());
        QTRY_VERIFY2_WITH_TIMEOUT(host_->isConnected(), qPrintable(host_->status()), joinMs);
        QCOMPARE(host_->addressText(), address().text());

        a_ = std::make_unique<test::SimulatedGroup>(dir_.filePath("a"), 80);
        b_ = std::make_unique<test::SimulatedGroup>(dir_.filePath("b"), 60);
        connect(&ticks_, &QTimer::timeout, this, [this] {
            a_->tick();
            b_->tick();
        });
        ticks_.start(100);
        QCOMPARE(join(*a_, host_->displayedCode().toLower(), "Groupe 1"), QString());
        QCOMPARE(join(*b_, host_->displayedCode(), "Groupe 2"), QString());
        QTRY_COMPARE_WITH_TIMEOUT(a_->link.phase(), GroupLink::Phase::Joined, joinMs);
        QTRY_COMPARE_WITH_TIMEOUT(b_->link.phase(), GroupLink::Phase::Joined, joinMs);
    }

    // The groups let in are seen with their name, source state and readings, and the secret
    // files are the teacher's alone.
    void groupsLetInAreSeen() {
        QTRY_VERIFY_WITH_TIMEOUT(teacherSees(*a_) && !teacherSees(*a_)->runs.empty() &&
                                     teacherSees(*a_)->runs.back().samples.size() >= 10,
                                 joinMs);
        const ClassGroup& a = *teacherSees(*a_);
        QCOMPARE(a.name, QString("Groupe 1"));
        QVERIFY(a.present && a.running);
        QCOMPARE(host_->model()->statusText(host_->model()->indexOf(a.account),
                                            ClassModel::Clock::now()),
                 QString("mesure en cours"));
        QCOMPARE(host_->groupAccounts(), 2);
        for (const char* file : {"comptes", "acces", "classe.json", "mosquitto.conf"}) {
            QCOMPARE(QFile(dir_.filePath(QString("professeur/") + file)).permissions() & 0x0077,
                     QFileDevice::Permissions());
        }
    }

    // A wrong class code, a wrong password, no account at all: refused, said in French.
    void refusedAccessIsSaid() {
        const int groups = host_->model()->groupCount();
        test::SimulatedGroup wrongCode(dir_.filePath("c"), 50);
        QCOMPARE(wrongCode.link.join(address().text(), "ZZZ-ZZZ", "Groupe 9"), QString());
        QTRY_COMPARE_WITH_TIMEOUT(wrongCode.link.phase(), GroupLink::Phase::Failed, joinMs);
        QCOMPARE(wrongCode.link.status(),
                 QString("Le code de classe ZZZ-ZZZ n'ouvre aucune classe sur le serveur %1 : "
                         "vérifiez le code écrit au tableau.")
                     .arg(address().text()));
        QCOMPARE(wrongCode.link.join(address().text(), "K7P-Q4", "Groupe 9"),
                 QString("Le code de classe « K7P-Q4 » n'est pas valable : il a six caractères, "
                         "comme au tableau (par exemple K7P-Q4X)."));

        LinkSettings wrongPassword =
            groupAccount(dir_.filePath("a"), host_->model()->classId(), a_->link.account());
        wrongPassword.password += "x";
        LinkSettings anonymous;
        anonymous.clientId = "anonyme";
        for (LinkSettings settings : {wrongPassword, anonymous}) {
            settings.broker = address();
            MqttLink link(settings);
            QSignalSpy refused(&link, &MqttLink::refused);
            QSignalSpy problems(&link, &MqttLink::connectionProblem);
            link.start();
            QVERIFY2(refused.wait(joinMs), qPrintable(problems.value(0).value(0).toString()));
            QCOMPARE(refused.first().first().toString(), accountRefusedText(address()));
        }
        QCOMPARE(host_->model()->groupCount(), groups);
    }

    // Group B, with its own account, can neither write as group A nor read anything of A's;
    // what it writes in its own name that is not a message is dropped and counted.
    void aGroupStaysInItsOwnTopics() {
        LinkSettings settings =
            groupAccount(dir_.filePath("b"), host_->model()->classId(), b_->link.account());
        settings.broker = address();
        settings.subscriptions = {"thermometre/#", "#"};
        MqttLink b(settings);
        QSignalSpy received(&b, &MqttLink::messageReceived);
        QSignalSpy refused(&b, &MqttLink::publishRefused);
        b.start();
        QTRY_VERIFY_WITH_TIMEOUT(b.isConnected(), joinMs);

        const QString classId = host_->model()->classId();
        Batch forged{a_->link.run(), 999'999, 0, {Sample{}}};
        forged.readings[0].celsius = 1000;
        // Now and then libmosquitto 2.0.11 does not call back for a refused message, although
        // the broker's log shows the refusal sent: it is sent again until a refusal is heard.
        const QString others = groupTopic(classId, a_->link.account(), GroupTopic::Batches);
        QTRY_VERIFY_WITH_TIMEOUT(b.publish(others, messageBytes(forged)) && !refused.isEmpty(),
                                 joinMs);
        QCOMPARE(refused.first().first().toString(), publishRefusedText(0x87));

        QVERIFY(b.publish(groupTopic(classId, b_->link.account(), GroupTopic::Batches),
                          "pas un message"));
        QTRY_COMPARE_WITH_TIMEOUT(teacherSees(*b_)->dropped, 1u, joinMs);
        // A goes on measuring; by the time five more of its batches have reached the teacher,
        // the forged one would have too.
        const auto seen = teacherSees(*a_)->batchesReceived;
        QTRY_VERIFY_WITH_TIMEOUT(teacherSees(*a_)->batchesReceived >= seen + 5, joinMs);
        QVERIFY(teacherSees(*a_)->runs.back().ledger.highest() < forged.number);
        QCOMPARE(teacherSees(*a_)->dropped, 0u);
        for (const QList<QVariant>& message : received) {
            QVERIFY2(!message.first().toString().contains(a_->link.account()),
                     qPrintable(message.first().toString()));
        }
    }

    // A broker whose port is taken listens on a free one, which the address shows.
    void aTakenPortIsLeftForAFreeOne() {
        const QString folder = dir_.filePath("second");
        QDir().mkpath(folder);
        for (const char* file : {"comptes", "acces"}) {
            QVERIFY(QFile::copy(dir_.filePath(QString("professeur/") + file), folder + '/' + file));
        }
        ClassBroker second(folder, BrokerListener{host_->broker()->port(), "127.0.0.1", {}, {}});
        QSignalSpy ready(&second, &ClassBroker::ready);
        QSignalSpy failed(&second, &ClassBroker::failed);
        second.start();
        QVERIFY2(ready.wait(joinMs), qPrintable(failed.value(0).value(0).toString()));
        QVERIFY(second.port() != host_->broker()->port());
    }

    // The class reopened after the teacher's program was closed: same code, same port, and
    // the groups, let in before, come back by themselves with what was measured meanwhile.
    void aReopenedClassKeepsItsGroups() {
        const QString code = host_->displayedCode();
        HostSettings settings;
        settings.port = host_->broker()->port();
        settings.bindAddress = "127.0.0.1";
        host_->close();
        QCOMPARE(host_->open(settings, true), QString());
        QCOMPARE(host_->displayedCode(), code);
        QTRY_VERIFY_WITH_TIMEOUT(teacherSees(*a_) && teacherSees(*a_)->present &&
                                     teacherSees(*a_)->runs.back().ledger.missingCount() == 0 &&
                                     teacherSees(*a_)->batchesReceived > 20,
                                 joinMs);
        QCOMPARE(host_->groupAccounts(), 2);
    }

    // A school's broker over TLS, with the authority's certificate the teacher is given; the
    // system's authorities do not know it.
    void schoolBrokerOverTls() {
        const QString tls = dir_.filePath("ecole");
        QDir().mkpath(tls);
        const QStringList steps[] = {
            {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
             "/CN=Autorite de test", "-keyout", tls + "/ca.key", "-out", tls + "/ca.crt"},
            {"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout",
             tls + "/serveur.key", "-out", tls + "/serveur.csr"},
            {"x509", "-req", "-in", tls + "/serveur.csr", "-CA", tls + "/ca.crt", "-CAkey",
             tls + "/ca.key", "-CAcreateserial", "-days", "2", "-extfile", tls + "/san.ext",
             "-out", tls + "/serveur.crt"},
        };
        QFile san(tls + "/san.ext");
        QVERIFY(san.open(QIODevice::WriteOnly) && san.write("subjectAltName=IP:127.0.0.1\n"));
        san.close();
        for (const QStringList& step : steps) {
            QProcess openssl;
            openssl.start("openssl", step);
            QVERIFY(openssl.waitForFinished(60000));
            QCOMPARE(openssl.exitCode(), 0);
        }
        for (const char* file : {"comptes", "acces"}) {
            QVERIFY(QFile::copy(dir_.filePath(QString("professeur/") + file),
                                tls + '/' + file));
        }
        ClassBroker school(tls, BrokerListener{0, "127.0.0.1", tls + "/serveur.crt",
                                               tls + "/serveur.key"});
        QSignalSpy ready(&school, &ClassBroker::ready);
        school.start();
        QVERIFY(ready.wait(joinMs));

        QFile saved(dir_.filePath("professeur/classe.json"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        HostSettings settings;
        settings.broker = HostSettings::Broker::School;
        settings.school = BrokerAddress{"127.0.0.1", school.port(), true, tls + "/ca.crt"};
        settings.teacherAccount = "c" + host_->model()->classId() + "-professeur";
        settings.teacherPassword =
            QJsonDocument::fromJson(saved.readAll()).object().value("professeur").toString();
        ClassHost teacher(dir_.filePath("professeur-ecole"));
        QCOMPARE(teacher.open(settings), QString());
        QTRY_VERIFY_WITH_TIMEOUT(teacher.isConnected(), joinMs);

        LinkSettings unknownAuthority;
        unknownAuthority.broker = settings.school;
        unknownAuthority.broker.caFile.clear();
        unknownAuthority.clientId = "sans-autorite";
        MqttLink link(unknownAuthority);
        QSignalSpy refused(&link, &MqttLink::refused);
        link.start();
        QVERIFY(refused.wait(joinMs));
        QCOMPARE(refused.first().first().toString(), tlsFailureText(settings.school));
    }
};

QTEST_GUILESS_MAIN(ClassSecurityTest)
#include "class_security_test.moc"
