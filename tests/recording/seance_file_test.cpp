#include "core/failure.h"
#include "tests/support/series_readings.h"
#include "ui/recording/journal_writer.h"
#include "ui/recording/seance_document.h"
#include "ui/recording/seance_file.h"
#include "ui/recording/seance_journal.h"
#include "ui/recording/session_record.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <sqlite3.h>

using namespace thermo;

namespace {

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// A séance of two runs: one measured with a gap and a pause, one read back with a note and a
// model.
void fill(SessionRecord& record) {
    record.take(test::measured(0, 25.0, 2.5, 5, 40960));
    record.take(test::readFailed(100));
    record.setPaused(true);
    record.setPaused(false);
    record.take(test::measured(300, 24.5, 2.55, 5, 41000));
    record.setRunName(0, "Avec couvercle");
    Run opened;
    opened.name = "Sans couvercle";
    opened.visible = false;
    opened.series->append(test::measured(0, 60.0, 1.2, 5, 36700));
    opened.notes = {{12.5, "couvercle ôté"}};
    opened.models = {{0, "newton", {{"τ", 120.0, 0.02, "s"}, {"Tf", 20.0, 0.003, "°C"}},
                      8.7, 318.5, 0.03, "T(t) = Tf + (T0 − Tf)·e^(−(t − t0)/τ)"}};
    record.addRun(opened);
}

QString refusal(const QString& path) {
    try {
        readSeance(path);
    } catch (const Failure& failure) {
        return QString::fromStdString(failure.what());
    }
    return QStringLiteral("(ouvert)");
}

} // namespace

class SeanceFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void seanceComesBackWhole() {
        SessionRecord record(NumberLocale{","});
        fill(record);
        const QString path = dir_.filePath("séance.thermo");
        QCOMPARE(writeSeance(record, path), QString());
        const std::vector<Run> runs = readSeance(path);
        QCOMPARE(runs.size(), std::size_t{2});
        QCOMPARE(runs[0].name, QStringLiteral("Avec couvercle"));
        QCOMPARE(runs[1].name, QStringLiteral("Sans couvercle"));
        QCOMPARE(std::pair(runs[0].visible, runs[1].visible), std::pair(true, false));
        QCOMPARE(runs[1].colour, record.run(1).colour);
        const SessionSeries& first = *runs[0].series;
        QCOMPARE(first.size(), std::size_t{3});
        QCOMPARE(first.at(1).gap, Gap::Failure);
        QVERIFY(first.at(2).afterPause && first.at(2).millis == 300 && first.at(2).code == 41000);
        QCOMPARE(first.at(2).uth, 2.55);
        QCOMPARE(runs[1].notes.size(), std::size_t{1});
        QCOMPARE(runs[1].notes[0].text, std::string("couvercle ôté"));
        const RunModel& model = runs[1].models.at(0);
        QCOMPARE(model.parameters.size(), std::size_t{2});
        QCOMPARE(model.parameters[0].name, std::string("τ"));
        QCOMPARE(std::tuple(model.fromSeconds, model.toSeconds, model.rmsDeviation),
                 std::tuple(8.7, 318.5, 0.03));
        QCOMPARE(model.equation, record.run(1).models[0].equation);
        // Saved again over itself: replaced whole.
        QCOMPARE(writeSeance(record, path), QString());
        QCOMPARE(readSeance(path).size(), std::size_t{2});
    }

    // Whatever the file, a French refusal, never a crash nor a half-read séance.
    void damagedOrForeignFilesAreRefused() {
        SessionRecord record(NumberLocale{","});
        fill(record);
        const QString good = dir_.filePath("bonne.thermo");
        QCOMPARE(writeSeance(record, good), QString());
        QFile in(good);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        const auto write = [this](const char* name, const QByteArray& data) {
            QFile out(dir_.filePath(name));
            return out.open(QIODevice::WriteOnly) && out.write(data) == data.size();
        };
        QByteArray holed = bytes;
        holed.replace(bytes.size() / 2, 2048, QByteArray(2048, '\x5A'));
        QVERIFY(write("texte.thermo", "t (s);T (°C)\r\n0;25\r\n") &&
                write("vide.thermo", "") && write("tronquee.thermo", bytes.left(1500)) &&
                write("trouee.thermo", holed));
        sqlite3* db = nullptr;
        sqlite3_open(native(dir_.filePath("autre.thermo")).c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE notes (x)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        QFile::copy(good, dir_.filePath("future.thermo"));
        sqlite3_open(native(dir_.filePath("future.thermo")).c_str(), &db);
        sqlite3_exec(db, "PRAGMA user_version = 2; UPDATE seance SET value = '2.3.0' WHERE key = "
                         "'version'", nullptr, nullptr, nullptr);
        sqlite3_close(db);

        const QString notSeance = QStringLiteral("ce n'est pas une séance de Thermomètre");
        const std::pair<const char*, QString> expected[] = {
            {"texte.thermo", notSeance},
            {"vide.thermo", notSeance},
            {"autre.thermo", notSeance},
            {"tronquee.thermo", QStringLiteral("le fichier est abîmé")},
            {"future.thermo", QStringLiteral("cette séance a été enregistrée par une version plus "
                                             "récente de Thermomètre (2.3.0) ; mettez le "
                                             "programme à jour pour l'ouvrir")},
            {"absente.thermo", QStringLiteral("fichier ou dossier introuvable, ou permission "
                                              "refusée")},
        };
        for (const auto& [name, cause] : expected) {
            const QString path = dir_.filePath(name);
            QVERIFY2(refusal(path).endsWith("« " + path + " » : " + cause),
                     qPrintable(name + QStringLiteral(": ") + refusal(path)));
        }
        // A hole in the readings: refused, or read with what is whole; never a crash.
        const QString holedRefusal = refusal(dir_.filePath("trouee.thermo"));
        QVERIFY2(holedRefusal == "(ouvert)" || holedRefusal.endsWith("le fichier est abîmé"),
                 qPrintable(holedRefusal));
    }

    // What the user does to the runs reaches the journal as it is done: a reading, a name, a
    // note, a model added then removed, a run deleted.
    void journalFollowsTheSeance() {
        QTemporaryDir folder;
        SessionRecord record(NumberLocale{","});
        SeanceJournal journal(record, folder.path());
        fill(record);
        record.newRun();
        record.take(test::measured(0, 30.0, 2.2, 5, 40000));
        record.setRunName(2, "Eau tiède");
        record.setNotes(2, {{0.0, "départ"}});
        const std::int64_t kept = record.addModel(2, {0, "newton", {}, 0, 1, 0.1, "T1"});
        record.removeModel(2, record.addModel(2, {0, "newton", {}, 0, 2, 0.2, "T2"}));
        record.removeRun(1);
        QVERIFY(journal.flush());
        const std::vector<Run> runs = readSeance(journal.path());
        QCOMPARE(runs.size(), std::size_t{2});
        QCOMPARE(runs[0].series->size(), std::size_t{3});
        QCOMPARE(runs[1].name, QStringLiteral("Eau tiède"));
        QCOMPARE(runs[1].notes.at(0).text, std::string("départ"));
        QCOMPARE(runs[1].models.size(), std::size_t{1});
        QCOMPARE(runs[1].models[0].equation, std::string("T1"));
        QVERIFY(kept > 0);
        const QString path = journal.path();
        journal.finish();
        QCOMPARE(SeanceFile(native(path), SeanceFile::Mode::Read).summary().state,
                 std::string(SeanceFile::ended));
    }

    // A disk that fills during the lesson: said once, in French; the readings wait in memory
    // and are all written once there is room again.
    void fullDiskIsSaidAndCaughtUp() {
        const QString mount = dir_.filePath("petit-disque");
        QDir().mkpath(mount);
        QProcess mounting;
        mounting.start("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", mount});
        if (!mounting.waitForFinished(10000) || mounting.exitCode() != 0) {
            QSKIP("un petit disque (tmpfs) ne peut pas être monté ici : il faut être root "
                  "hors d'un conteneur restreint");
        }
        const auto unmount = qScopeGuard([&mount] { QProcess::execute("umount", {mount}); });
        QFile filler(mount + "/remplissage");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
        }
        filler.close();
        std::atomic<int> failures{0};
        std::string said;
        JournalWriter writer(native(mount + "/journal.thermo"), true,
                             std::chrono::milliseconds(50), [&](const std::string& message) {
                                 said = message;
                                 ++failures;
                             });
        writer.push([](SeanceFile& file) {
            RunHeader run;
            run.id = 1;
            file.addRun(run);
        });
        for (int i = 0; i < 2000; ++i) {
            writer.pushReading(1, i, test::readingSample(i));
        }
        QVERIFY(!writer.flush());
        QVERIFY(!writer.flush()); // tried again, said once
        QCOMPARE(failures.load(), 1);
        QVERIFY2(QString::fromStdString(said).contains("le disque est plein"), said.c_str());
        QVERIFY(QFile::remove(mount + "/remplissage"));
        QVERIFY(writer.flush());
        QCOMPARE(writer.committedReadings(), std::size_t{2000});
        QVERIFY(writer.finish());
        QCOMPARE(SeanceFile(native(mount + "/journal.thermo"), SeanceFile::Mode::Read)
                     .readings(1)
                     .size(),
                 std::size_t{2000});
    }
};

QTEST_GUILESS_MAIN(SeanceFileTest)
#include "seance_file_test.moc"
