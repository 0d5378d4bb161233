#include "ui/command_line.h"

#include <QProcess>
#include <QTest>

using namespace thermo;

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void recordFileIsRead_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("recordFile");
        QTest::newRow("nothing") << QStringList{} << QString();
        QTest::newRow("--enregistrer F") << QStringList{"--enregistrer", "a b.csv"} << "a b.csv";
        QTest::newRow("--enregistrer=F") << QStringList{"--enregistrer=a.csv"} << "a.csv";
        QTest::newRow("-enregistrer F") << QStringList{"-enregistrer", "a.csv"} << "a.csv";
        QTest::newRow("among Qt's options")
            << QStringList{"-platform", "offscreen", "--enregistrer", "a.csv", "-reverse"}
            << "a.csv";
    }
    void recordFileIsRead() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, recordFile);
        arguments.prepend(QStringLiteral("/usr/bin/thermometre"));
        QCOMPARE(parseCommandLine(arguments).recordFile, recordFile);
    }

    void portIsRead_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("port");
        QTest::newRow("nothing") << QStringList{} << QString();
        QTest::newRow("--port P") << QStringList{"--port", "/dev/ttyACM0"} << "/dev/ttyACM0";
        QTest::newRow("--port=P") << QStringList{"--port=/dev/ttyUSB0"} << "/dev/ttyUSB0";
        QTest::newRow("with a recording") << QStringList{"-platform",    "offscreen",     "--port",
                                                         "/dev/ttyACM0", "--enregistrer", "a.csv"}
                                          << "/dev/ttyACM0";
    }
    void portIsRead() {
        QFETCH(QStringList, arguments);
        arguments.prepend(QStringLiteral("/usr/bin/thermometre"));
        QTEST(parseCommandLine(arguments).port, "port");
    }

    // The program itself: what it prints, and its status.
    void answersOrRefuses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "--enregistrer FICHIER.csv";
        QTest::newRow("--help names --port") << QStringList{"-h"} << 0 << "--port CHEMIN";
        QTest::newRow("no port path")
            << QStringList{"--port"} << 2 << "il manque le chemin du port après « --port »";
        QTest::newRow("blank port path")
            << QStringList{"--port", " "} << 2 << "il manque le chemin du port après « --port »";
        QTest::newRow("unknown") << QStringList{"--nimporte"} << 2
                                 << "thermometre : option inconnue « --nimporte »";
        QTest::newRow("no file name") << QStringList{"--enregistrer"} << 2
                                      << "il manque le nom du fichier après « --enregistrer »";
        QTest::newRow("two files to open") << QStringList{"a.thermo", "b.csv"} << 2
                                           << "un seul fichier à ouvrir, pas « b.csv »";
        // Never replaced by a file, even for root: refused with their real cause.
        QTest::newRow("a device") << QStringList{"--enregistrer", "/dev/null"} << 2
                                  << "« /dev/null » : c'est un périphérique, pas un fichier";
        QTest::newRow("a file of the system")
            << QStringList{"--enregistrer", "/proc/version"} << 2
            << "« /proc/version » : c'est un fichier du système, pas un fichier de mesures";
        QTest::newRow("file not writable") << QStringList{"--enregistrer", "/proc/sys/serie.csv"}
                                           << 2 << "Impossible d'écrire « /proc/sys/serie.csv » : ";
    }
    void answersOrRefuses() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QProcess program;
        program.start(qEnvironmentVariable("THERMO_PROGRAM"), arguments);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        const QString output = QString::fromUtf8(status == 0 ? program.readAllStandardOutput()
                                                             : program.readAllStandardError());
        QVERIFY2(output.contains(said), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
