#include "network/class_broker.h"
#include "network/class_host.h"
#include "network/class_model.h"
#include "ui/application.h"
#include "ui/classroom/class_runs.h"
#include "ui/classroom/class_window.h"
#include "ui/classroom/classroom.h"
#include "ui/measurement/measurement.h"
#include "ui/recording/seance_document.h"
#include "ui/recording/session_record.h"
#include "tests/support/simulated_group.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <tuple>
#include <memory>
#include <vector>

using namespace thermo;

// "La classe" as the teacher uses it, on a real Mosquitto: three groups cooling, each in the
// list with its colour and state and on the curve; one hidden, one gone; the class saved as
// one séance and read back run by run; a group's run opened in the curve window.
class ClassWindowTest : public QObject {
    Q_OBJECT

    static QString row(ClassWindow& window, int index) {
        QListWidgetItem* item = window.list().item(index);
        return item == nullptr ? QString() : item->text();
    }

    // The teacher's own broker on a free port of 127.0.0.1, the teacher connected to it.
    static bool openClass(Classroom& classroom) {
        classroom::HostSettings settings;
        settings.port = 0;
        settings.bindAddress = "127.0.0.1";
        return classroom.host().open(settings).isEmpty() &&
               QTest::qWaitFor([&classroom] { return classroom.host().isConnected(); }, 30000);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void everyGroupOnOneCurveAndInOneSeance() {
        QTemporaryDir dir;
        Application application;
        Classroom& classroom = application.classroom();
        QVERIFY(openClass(classroom));
        ClassWindow& window = classroom.classWindow();
        window.show();

        const QString address = "127.0.0.1:" + QString::number(classroom.host().broker()->port());
        std::vector<std::unique_ptr<test::SimulatedGroup>> groups;
        for (int g = 0; g < 3; ++g) {
            groups.push_back(std::make_unique<test::SimulatedGroup>(
                dir.filePath(QString::number(g)), 50 + 10 * g));
            QCOMPARE(groups.back()->link.join(address, classroom.host().displayedCode(),
                                              QString("Groupe %1").arg(g + 1)),
                     QString());
        }
        const auto feed = [&groups](int ticks) {
            for (int i = 0; i < ticks * 3; ++i) {
                groups[std::size_t(i % 3)]->tick();
            }
        };
        // Groups measure at their pace, ten times a second, as long as the timer runs.
        QTimer clock;
        connect(&clock, &QTimer::timeout, this, [&feed] { feed(1); });
        clock.start(100);
        ClassRuns& runs = window.runs();
        // The list's order is the groups' order of arrival: each found by its name.
        const auto at = [&runs](int g) {
            for (std::size_t i = 0; i < runs.count(); ++i) {
                if (runs.run(i).name == QString("Groupe %1").arg(g + 1)) {
                    return int(i);
                }
            }
            return -1;
        };
        QTRY_VERIFY_WITH_TIMEOUT(runs.count() == 3, 30000);
        QCOMPARE(window.list().count(), 3);
        for (int g = 0; g < 3; ++g) {
            QVERIFY(at(g) >= 0);
            QTRY_COMPARE_WITH_TIMEOUT(row(window, at(g)),
                                      QString("Groupe %1 — mesure en cours").arg(g + 1), 30000);
        }
        QVERIFY(runs.run(0).colour != runs.run(1).colour && runs.run(1).colour != runs.run(2).colour);

        // Hidden from its box; the others stay shown.
        window.list().item(at(1))->setCheckState(Qt::Unchecked);
        QVERIFY(!runs.run(at(1)).visible && runs.run(at(0)).visible);

        // Three seconds in, group 3 leaves the class; then the others stop measuring.
        QTRY_VERIFY_WITH_TIMEOUT(groups[0]->fed >= 30, 60000);
        groups[2]->link.leave();
        QTRY_VERIFY_WITH_TIMEOUT(row(window, at(2)).startsWith("Groupe 3 — déconnecté depuis"), 30000);
        clock.stop();
        QTRY_COMPARE_WITH_TIMEOUT(row(window, at(1)), QString("Groupe 2 — en pause"), 30000);
        const auto whole = [&](int g) {
            return runs.run(at(g)).series->size() == std::size_t(groups[g]->fed);
        };
        QTRY_VERIFY_WITH_TIMEOUT(whole(0) && whole(1), 30000);
        const std::size_t fed = runs.run(at(0)).series->size();

        const QString path = dir.filePath("classe.thermo");
        QCOMPARE(window.saveTo(path), QString());
        const std::vector<Run> saved = readSeance(path);
        QCOMPARE(saved.size(), std::size_t(3));
        for (std::size_t i = 0; i < 3; ++i) {
            const Run& run = runs.run(i);
            QCOMPARE((std::tuple{saved[i].name, saved[i].colour, saved[i].visible, saved[i].source,
                                 saved[i].series->size()}),
                     (std::tuple{run.name, run.colour, run.visible, run.source, run.series->size()}));
        }
        QCOMPARE(saved[std::size_t(at(0))].series->at(fed - 1).celsius,
                 runs.run(at(0)).series->at(fed - 1).celsius);
        // A folder that is not there: said in the window, in French.
        const QString failure = window.saveTo(dir.filePath("absent/classe.thermo"));
        QVERIFY(!failure.isEmpty());
        QCOMPARE(window.findChild<QLabel*>("messageLabel")->text(), failure);

        // The chosen group's run goes to the curve, a copy that the class no longer changes.
        SessionRecord& record = application.measurement().record();
        const std::size_t before = record.runCount();
        window.list().setCurrentRow(at(0));
        QTest::mouseClick(window.findChild<QPushButton*>("curveButton"), Qt::LeftButton);
        QCOMPARE(record.runCount(), before + 1);
        QCOMPARE(record.series().size(), fed);
        QCOMPARE(record.run(record.selectedIndex()).name, QString("Groupe 1"));
        feed(2);
        QTRY_VERIFY_WITH_TIMEOUT(runs.run(at(0)).series->size() == fed + 2, 10000);
        QCOMPARE(record.series().size(), fed);

        // The class closed: its runs are gone from the window, nothing left dangling.
        classroom.host().close();
        QCOMPARE(runs.count(), std::size_t(0));
        QCOMPARE(window.list().count(), 0);
    }

    // The program's own group, cut from the class while it measures on: the teacher asks for
    // what it missed and the group answers from its séance's record, so that the teacher's run,
    // in the window too, is the group's reading for reading.
    void aGroupCutAnswersFromItsRecord() {
        Application application;
        Classroom& classroom = application.classroom();
        QVERIFY(openClass(classroom));
        ClassWindow& window = classroom.classWindow();
        classroom::GroupLink& group = classroom.group();
        QCOMPARE(group.join("127.0.0.1:" + QString::number(classroom.host().broker()->port()),
                            classroom.host().displayedCode(), "Groupe 4"),
                 QString());
        QTRY_COMPARE_WITH_TIMEOUT(group.phase(), classroom::GroupLink::Phase::Joined, 30000);

        Measurement& measurement = application.measurement();
        const SessionSeries& recorded = measurement.record().liveSeries();
        const auto measure = [&measurement](int ticks) {
            for (int i = 0; i < ticks; ++i) {
                measurement.tick();
            }
        };
        measure(30);
        ClassRuns& runs = window.runs();
        QTRY_VERIFY_WITH_TIMEOUT(runs.count() == 1 && runs.run(0).series->size() == 30, 30000);
        group.stopClient();
        measure(45);
        group.startClient();
        measure(5);
        QTRY_VERIFY_WITH_TIMEOUT(runs.run(0).series->size() == 80, 60000);
        const classroom::GroupRun& seen = classroom.host().model()->group(0).runs.back();
        QCOMPARE(seen.ledger.missingCount(), std::uint64_t(0));
        QCOMPARE(classroom.sentBatches().keptWhole(), std::size_t(0));
        QCOMPARE(recorded.size(), std::size_t(80));
        for (std::size_t i = 0; i < recorded.size(); ++i) {
            const Sample mine = recorded.at(i);
            const Sample theirs = runs.run(0).series->at(i);
            QCOMPARE(theirs.code, mine.code);
            QCOMPARE(theirs.celsius, mine.celsius);
            QCOMPARE(theirs.ut, mine.ut);
        }
    }
};

QTEST_MAIN(ClassWindowTest)
#include "class_window_test.moc"
