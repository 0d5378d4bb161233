#include "tests/support/series_readings.h"
#include "ui/recording/series_file.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace thermo;

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(illisible)");
}

// Readings at 20 °C, 20.5 °C… one every 100 ms.
void appendReadings(SessionSeries& series, int count) {
    for (int i = 0; i < count; ++i) {
        const auto n = static_cast<int>(series.size());
        series.append(test::measured(n * 100, 20 + 0.5 * n, 2.5, 5, 40960));
    }
}

} // namespace

class SeriesFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path_; // a file of its own for each test
    SessionSeries series_;

private slots:
    void init() {
        series_.clear();
        path_ = dir_.filePath(QStringLiteral("%1.csv").arg(QTest::currentTestFunction()));
    }

    void appendsAfterSaveAs() {
        appendReadings(series_, 2);
        SeriesFile file(NumberLocale{","});
        file.setSeries(series_);
        QVERIFY(file.saveAs(path_));
        appendReadings(series_, 3);
        QCOMPARE(file.unwrittenCount(), 3u);
        QVERIFY(file.close()); // writes what is pending
        QCOMPARE(file.unwrittenCount(), 0u);
        QCOMPARE(contents(path_), QByteArray("\xEF\xBB\xBFt (s);T (\xC2\xB0"
                                             "C);Uth (V);Ut (V);code EA0\r\n"
                                             "0;20;2,5;5;40960\r\n0,1;20,5;2,5;5;40960\r\n"
                                             "0,2;21;2,5;5;40960\r\n0,3;21,5;2,5;5;40960\r\n"
                                             "0,4;22;2,5;5;40960\r\n"));
    }

    void failedSaveKeepsTheSeries_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("causes");
        // All fail as root: /proc/sys takes no new file from anyone (read-only when mounted so
        // in a container).
        QTest::newRow("read-only folder")
            << "/proc/sys/serie.csv"
            << QStringList{"permission refusée", "le support est en lecture seule"};
        QTest::newRow("under a file") << "$dir/note.txt/serie.csv"
                                      << QStringList{"un élément du chemin n'est pas un dossier"};
        QTest::newRow("a folder") << "$dir" << QStringList{"c'est un dossier"};
    }

    void failedSaveKeepsTheSeries() {
        QFETCH(QString, path);
        QFETCH(QStringList, causes);
        QFile note(dir_.filePath("note.txt"));
        QVERIFY(note.open(QIODevice::WriteOnly));
        path.replace("$dir", dir_.path());
        appendReadings(series_, 4);
        SeriesFile file(NumberLocale{","});
        file.setSeries(series_);
        QSignalSpy failed(&file, &SeriesFile::writeFailed);
        QVERIFY(!file.saveAs(path));
        const QString prefix = QStringLiteral("Impossible d'écrire « %1 » : ").arg(path);
        QVERIFY2(file.errorMessage().startsWith(prefix) &&
                     causes.contains(file.errorMessage().mid(prefix.size())),
                 qPrintable(file.errorMessage()));
        QCOMPARE(failed.takeFirst().at(0).toString(), file.errorMessage());
        QCOMPARE(file.unwrittenCount(), 4u);
    }

    void failedAppendLeavesWholeLines() {
        appendReadings(series_, 1);
        SeriesFile file(NumberLocale{"."});
        file.setSeries(series_);
        QVERIFY(file.saveAs(path_));
        const QByteArray saved = contents(path_);
        appendReadings(series_, 3);
        // Room for part of a line: past it a write fails with EFBIG, as root too, as on a full
        // disk or a FAT stick.
        rlimit unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit limit{static_cast<rlim_t>(saved.size() + 10), unlimited.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = file.writeNew();
        setrlimit(RLIMIT_FSIZE, &unlimited);
        QVERIFY(!written);
        QCOMPARE(file.errorMessage(),
                 QString("Impossible d'écrire « %1 » : fichier trop volumineux pour ce support")
                     .arg(path_));
        QCOMPARE(contents(path_), saved);
        QVERIFY(!file.isOpen());
        QCOMPARE(file.unwrittenCount(), 3u);
    }

    // The file kept up to date deleted, moved away or replaced during the lesson: said at the
    // next write, not written into where nobody will look.
    void lostFileIsSaid_data() {
        QTest::addColumn<QString>("done");
        QTest::addColumn<QString>("cause");
        QTest::newRow("deleted") << "rm" << "le fichier a été supprimé ou son support retiré";
        QTest::newRow("moved away") << "mv" << "le fichier a été supprimé ou déplacé";
        QTest::newRow("replaced") << "mv+new" << "un autre fichier a pris sa place (fichier ou "
                                                 "dossier déplacé)";
    }
    void lostFileIsSaid() {
        QFETCH(QString, done);
        QFETCH(QString, cause);
        appendReadings(series_, 2);
        SeriesFile file(NumberLocale{","});
        file.setSeries(series_);
        QVERIFY(file.saveAs(path_));
        if (done == "rm") {
            QVERIFY(QFile::remove(path_));
        } else {
            QVERIFY(QFile::rename(path_, path_ + "." + QTest::currentDataTag()));
            QVERIFY(done != "mv+new" || QFile(path_).open(QIODevice::WriteOnly));
        }
        appendReadings(series_, 1);
        QVERIFY(!file.writeNew());
        QCOMPARE(file.errorMessage(), QString("Impossible d'écrire « %1 » : %2").arg(path_, cause));
        QVERIFY(!file.isOpen());
        QCOMPARE(file.unwrittenCount(), 1u);
    }
};

QTEST_GUILESS_MAIN(SeriesFileTest)
#include "series_file_test.moc"
