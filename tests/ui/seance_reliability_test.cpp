// The séance journal against the ways a lesson ends badly, on the real program and its real
// SQLite journal: one recorded séance killed (SIGKILL) at random moments and started again each
// time, taken back each time; then SIGTERM, SIGINT, SIGHUP and the X server going away. The
// program under test is this executable started again as a child (SEANCE_CHILD set): it
// answers the resume offer, validates, and prints every reading's count as it is kept. The
// power-cut bench (bench/power_cut.sh) runs the same child.
#include "tests/support/scripted_program.h"
#include "ui/application.h"
#include "ui/curve/curve_session.h"
#include "ui/measurement/measurement.h"
#include "ui/parameters/parametres.h"
#include "ui/recording/journal_folder.h"
#include "ui/recording/seance_file.h"
#include "ui/recording/session_record.h"
#include "ui/seance/seance_keeper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdio>

using namespace thermo;

namespace {

constexpr int readingsPerSecond = 10;
constexpr int kills = 20;
constexpr int seanceReadings = 60 * readingsPerSecond;

// The child: the program as main() runs it, on the simulated bench's stand-in.
int runChild(int argc, char** argv) {
    QApplication app(argc, argv);
    setUpQtApplication();
    Application program;
    test::scriptTheMeasurement(program);
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            box && box->objectName() == QLatin1String("ResumeOffer")) {
            std::printf("OFFERED %s\n", box->text().toUtf8().constData());
            box->buttons().first()->click(); // "Reprendre la séance"
        }
    });
    answer.start(5);
    program.start();
    answer.stop();
    const SessionRecord& record = program.curve().record();
    std::printf("RESUMED %zu\n", record.readingCount());
    std::fflush(stdout);
    QObject::connect(&record, &SessionRecord::appended, [&record] {
        std::printf("READING %zu\n", record.readingCount());
        std::fflush(stdout);
    });
    // SEANCE_CSV: the live run also kept up to date in this CSV file, as --enregistrer does.
    if (const QString csv = qEnvironmentVariable("SEANCE_CSV"); !csv.isEmpty()) {
        program.curve().recordFromStart(csv);
    }
    program.parametersDialog().validate();
    return QApplication::exec();
}

struct Child {
    QProcess process;
    QString out;
    std::size_t lastReading = 0;
    bool resumedSeen = false;
    std::size_t resumed = 0;
    QString offered;

    void start(const QString& data, const QString& display) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SEANCE_CHILD"), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), data);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), display);
        process.setProcessEnvironment(env);
        process.start(QCoreApplication::applicationFilePath(), {});
        process.waitForStarted(30000);
    }
    void read() {
        out += QString::fromUtf8(process.readAllStandardOutput());
        const QStringList lines = out.split(QLatin1Char('\n'));
        for (const QString& line : lines.mid(0, lines.size() - 1)) {
            if (line.startsWith(QLatin1String("READING "))) {
                lastReading = line.mid(8).toULongLong();
            } else if (line.startsWith(QLatin1String("RESUMED "))) {
                resumed = line.mid(8).toULongLong();
                resumedSeen = true;
            } else if (line.startsWith(QLatin1String("OFFERED "))) {
                offered = line.mid(8);
            }
        }
        out = lines.last();
    }
    // Waits until the child kept `readings` in all.
    bool waitFor(std::size_t readings) {
        QElapsedTimer clock;
        clock.start();
        while (lastReading < readings && clock.elapsed() < 30000 &&
               process.state() == QProcess::Running) {
            process.waitForReadyRead(200);
            read();
        }
        return lastReading >= readings;
    }
    void finishReading() {
        process.waitForFinished(30000);
        read();
        out += QLatin1Char('\n');
        read();
    }
};

// The journals of the data folder's séances.
QStringList journals(const QString& data) {
    QDir dir(data + QStringLiteral("/seance_reliability_test/seances"));
    QStringList out;
    for (const QString& name : dir.entryList({QStringLiteral("*.thermo")}, QDir::Files, QDir::Name)) {
        out << dir.filePath(name);
    }
    return out;
}

// The program ended cleanly: its one journal closed, with every reading it said it kept.
void checkEndedJournal(const QString& data, std::size_t readings) {
    const QStringList left = journals(data);
    QCOMPARE(left.size(), 1);
    const SeanceSummary summary =
        SeanceFile(QFile::encodeName(left.first()).toStdString(), SeanceFile::Mode::Read).summary();
    QCOMPARE(summary.state, std::string(SeanceFile::ended));
    QCOMPARE(summary.readings, readings);
}

} // namespace

class SeanceReliabilityTest : public QObject {
    Q_OBJECT
    QString display_ = qEnvironmentVariable("DISPLAY");

private slots:
    void initTestCase() {
        if (display_.isEmpty()) {
            QSKIP("pas de serveur X (DISPLAY) : test.sh en démarre un");
        }
    }

    // 20 kills at random moments of a 60-s séance: each time the next start offers it back,
    // takes it back with at most a second of readings missing, and the séance goes on.
    void killedSeanceComesBack() {
        QTemporaryDir data;
        auto* random = QRandomGenerator::global();
        std::size_t killedAt = 0;
        int offers = 0;
        for (int round = 0; round <= kills; ++round) {
            Child child;
            child.start(data.path(), display_);
            QVERIFY2(child.waitFor(killedAt + 1), qPrintable(child.process.readAllStandardError()));
            if (round > 0) {
                QVERIFY2(child.resumedSeen,
                         qPrintable(QStringLiteral("round %1: nothing taken back").arg(round)));
                QVERIFY2(child.offered.contains(QRegularExpression(
                             QStringLiteral("^Reprendre la séance interrompue du \\d+ \\S+ à \\d+ h "
                                            "\\d\\d, %1 séries?, [\\d\\x{202F}\\x{a0} ]+ mesures? \\?$")
                                 .arg(round))),
                         qPrintable(QStringLiteral("round %1: %2").arg(round).arg(child.offered)));
                ++offers;
                const std::size_t missing = killedAt - std::min(killedAt, child.resumed);
                const QString margin = QStringLiteral("round %1: %2 readings missing of %3")
                                           .arg(round)
                                           .arg(missing)
                                           .arg(killedAt);
                qInfo("%s", qPrintable(margin));
                QVERIFY2(missing <= readingsPerSecond, qPrintable(margin));
            }
            if (round == kills) {
                // The end of the lesson: SIGTERM writes everything and ends with status 0.
                child.process.terminate();
                child.finishReading();
                QCOMPARE(child.process.exitStatus(), QProcess::NormalExit);
                QCOMPARE(child.process.exitCode(), 0);
                checkEndedJournal(data.path(), child.lastReading);
                break;
            }
            const std::size_t target = child.lastReading +
                                       static_cast<std::size_t>(random->bounded(
                                           seanceReadings / kills / 2, seanceReadings * 3 / kills / 2));
            QVERIFY(child.waitFor(target));
            child.process.kill();
            child.finishReading();
            killedAt = child.lastReading;
            qInfo("round %d: killed after %zu readings", round, killedAt);
        }
        QCOMPARE(offers, kills);
    }

    // The other ends: nothing unwritten, the journal closed, status 0 for SIGTERM and SIGINT.
    void signalsEndCleanly_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalsEndCleanly() {
        QFETCH(int, signal);
        QTemporaryDir data;
        Child child;
        child.start(data.path(), display_);
        QVERIFY(child.waitFor(8));
        ::kill(static_cast<pid_t>(child.process.processId()), signal);
        child.finishReading();
        QCOMPARE(child.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.process.exitCode(), 0);
        checkEndedJournal(data.path(), child.lastReading);
    }

    // The X server killed under the program: Qt ends it from its own thread; the journal is
    // written and closed all the same.
    void lostDisplayLosesNothing() {
        // The server picks a free display and writes its number once it listens: one picked
        // here could be another run's, and killing ours would then leave the child on it.
        QProcess xvfb;
        xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!xvfb.waitForStarted(5000)) {
            QSKIP("Xvfb introuvable");
        }
        QTRY_VERIFY_WITH_TIMEOUT(xvfb.canReadLine(), 30000);
        const QString display = QLatin1Char(':') + QString::fromLatin1(xvfb.readLine()).trimmed();
        QTemporaryDir data;
        Child child;
        child.start(data.path(), display);
        QVERIFY(child.waitFor(8));
        xvfb.kill();
        xvfb.waitForFinished(5000);
        child.finishReading();
        checkEndedJournal(data.path(), child.lastReading);
    }
};

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("SEANCE_CHILD")) {
        return runChild(argc, argv);
    }
    QCoreApplication app(argc, argv);
    SeanceReliabilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "seance_reliability_test.moc"
