#include "network/class_broker.h"
#include "network/class_host.h"
#include "network/class_model.h"
#include "tests/support/simulated_group.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <csignal>
#include <memory>
#include <vector>

using namespace thermo;
using namespace thermo::classroom;

// A two-minute class of five groups measuring ten times a second, on the teacher's own broker.
// Twenty seconds in, the broker dies (SIGKILL, nothing saved since its last autosave) and the
// program starts it again twenty seconds later; then group 3's client is stopped for a minute
// while the group measures on. At the end every group's run is complete at the teacher's,
// reading for reading, from the groups' batches and the teacher's requests for those it missed.
class ClassReliabilityTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    ClassHost host_{dir_.filePath("professeur")};
    std::vector<std::unique_ptr<test::SimulatedGroup>> groups_;
    QTimer ticks_;
    QStringList heard_; // what group 3 was told

    int fed() const { return groups_.front()->fed; }
    bool complete(const test::SimulatedGroup& group) const {
        const int index = host_.model()->indexOf(group.link.account());
        if (index < 0 || host_.model()->group(index).runs.size() != 1) {
            return false;
        }
        const GroupRun& run = host_.model()->group(index).runs.front();
        return int(run.samples.size()) == group.fed && run.ledger.missingCount() == 0;
    }

private slots:
    void everyRunArrivesWhole() {
        HostSettings settings;
        settings.port = 0;
        settings.bindAddress = "127.0.0.1";
        QCOMPARE(host_.open(settings), QString());
        host_.broker()->setRestartDelay(20000);
        QTRY_VERIFY2_WITH_TIMEOUT(host_.isConnected(), qPrintable(host_.status()), 30000);
        const QString address = "127.0.0.1:" + QString::number(host_.broker()->port());
        for (int g = 0; g < 5; ++g) {
            groups_.push_back(
                std::make_unique<test::SimulatedGroup>(dir_.filePath(QString::number(g)), 60 + 5 * g));
            QCOMPARE(groups_.back()->link.join(address, host_.displayedCode(),
                                               QString("Groupe %1").arg(g + 1)),
                     QString());
        }
        for (auto& group : groups_) {
            QTRY_COMPARE_WITH_TIMEOUT(group->link.phase(), GroupLink::Phase::Joined, 30000);
        }
        connect(&groups_[2]->link, &GroupLink::statusChanged, this,
                [this](const QString& status) { heard_ << status; });
        connect(&ticks_, &QTimer::timeout, this, [this] {
            for (auto& group : groups_) {
                group->tick();
            }
        });
        ticks_.start(100);

        QTRY_VERIFY_WITH_TIMEOUT(fed() >= 200, 200000);
        const qint64 killed = host_.broker()->processId();
        QCOMPARE(::kill(pid_t(killed), SIGKILL), 0);
        QTRY_VERIFY_WITH_TIMEOUT(host_.broker()->processId() != killed &&
                                     host_.broker()->isRunning(),
                                 60000);
        QTRY_VERIFY2_WITH_TIMEOUT(host_.isConnected(), qPrintable(host_.status()), 30000);
        QVERIFY(heard_.join('\n').contains("coupée"));

        QTRY_VERIFY_WITH_TIMEOUT(fed() >= 550, 200000);
        groups_[2]->link.stopClient();
        const int cutAt = groups_[2]->fed;
        QTRY_VERIFY_WITH_TIMEOUT(fed() >= cutAt + 600, 200000);
        const int index = host_.model()->indexOf(groups_[2]->link.account());
        QVERIFY(host_.model()->statusText(index, ClassModel::Clock::now())
                    .startsWith("déconnecté depuis"));
        groups_[2]->link.startClient();
        QTRY_VERIFY_WITH_TIMEOUT(fed() >= 1200, 200000);
        ticks_.stop();

        for (auto& group : groups_) {
            QTRY_VERIFY2_WITH_TIMEOUT(complete(*group), qPrintable(group->link.account()), 60000);
        }
        QCOMPARE(host_.model()->groupCount(), 5);
        for (int g = 0; g < 5; ++g) {
            QCOMPARE(host_.model()->group(g).dropped, 0u);
        }
    }
};

QTEST_GUILESS_MAIN(ClassReliabilityTest)
#include "class_reliability_test.moc"
