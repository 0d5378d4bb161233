#include "ui/application.h"
#include "ui/command_line.h"
#include "ui/curve/curve_session.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Read before QApplication, so that --help answers without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const thermo::CommandLine options = thermo::parseCommandLine(arguments);

    QApplication app(argc, argv);
    thermo::setUpQtApplication();
    thermo::Application thermometre;
    if (!options.recordFile.isEmpty()) {
        // A lesson recorded from the start must not begin with a file that cannot be written.
        const QString failure = thermometre.curve().recordFromStart(options.recordFile);
        if (!failure.isEmpty()) {
            std::fputs((failure + QLatin1Char('\n')).toUtf8().constData(), stderr);
            return 2;
        }
    }
    if (!options.port.isEmpty()) {
        thermometre.readFromPort(options.port);
    }
    thermometre.start();
    return QApplication::exec();
}
