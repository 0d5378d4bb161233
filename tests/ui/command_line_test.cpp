#include "acquisition/orphy_control.h"
#include "ui/application.h"
#include "ui/command_line.h"
#include "ui/fonts.h"
#include "ui/form1.h"

#include <QTest>

using thermo::parseCommandLine;

// thermometre [--help] [--port CHEMIN], answered in French.
class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("help");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("error");
        const QString noPath = "l'option --port demande le chemin d'un port série";
        QTest::newRow("nothing") << QStringList{} << false << ""
                                 << "";
        QTest::newRow("port") << QStringList{"--port", "/dev/ttyACM0"} << false << "/dev/ttyACM0"
                              << "";
        QTest::newRow("port_with_equals")
            << QStringList{"--port=/dev/ttyUSB0"} << false << "/dev/ttyUSB0"
            << "";
        QTest::newRow("short_help") << QStringList{"-h"} << true << ""
                                    << "";
        QTest::newRow("help_among_others")
            << QStringList{"-platform", "offscreen", "--help"} << true << ""
            << "option inconnue : platform";
        QTest::newRow("port_without_path") << QStringList{"--port"} << false << "" << noPath;
        QTest::newRow("blank_port") << QStringList{"--port", " "} << false << "" << noPath;
        QTest::newRow("unknown_option") << QStringList{"--vitesse", "9600"} << false << ""
                                        << "option inconnue : vitesse";
        QTest::newRow("stray_argument") << QStringList{"/dev/ttyACM0"} << false << ""
                                        << "argument inattendu : /dev/ttyACM0";
    }

    void readsTheLine() {
        QFETCH(QStringList, arguments);
        const thermo::CommandLine line = parseCommandLine(QStringList{"thermometre"} + arguments);
        QTEST(line.help, "help");
        QTEST(line.port, "port");
        QTEST(line.error, "error");
    }

    void helpIsFrenchAndNamesEachOption() {
        const QString help = thermo::commandLineHelp();
        QVERIFY(help.startsWith(QStringLiteral("Utilisation : thermometre [options]")));
        QVERIFY(help.contains(QStringLiteral("--port CHEMIN")));
        QVERIFY(help.contains(QStringLiteral("-h, --help")));
        for (const QString& line : help.split('\n')) {
            QVERIFY2(line.size() <= 80, qPrintable(line));
        }
    }

    void mainWindowReadsTheGivenPort() {
        QVERIFY(thermo::registerEmbeddedFonts());
        thermo::Application application;
        application.readFromPort(QStringLiteral("/dev/absent-port"));
        thermo::OrphyControl& control = application.mainWindow().acquisitionControl();
        QCOMPARE(control.source().portPath(), std::string("/dev/absent-port"));
    }
};

QTEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
