#include "ui/application.h"
#include "ui/command_line.h"

#include <QApplication>
#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

} // namespace

int main(int argc, char* argv[]) {
    // The help is given before anything needs a display.
    if (thermo::parseCommandLine(argumentsOf(argc, argv)).help) {
        std::fputs(thermo::commandLineHelp().toLocal8Bit().constData(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    // QApplication took its own options out of the line.
    const thermo::CommandLine line = thermo::parseCommandLine(QCoreApplication::arguments());
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "thermometre : %s\n(thermometre --help pour l'aide)\n",
                     line.error.toLocal8Bit().constData());
        return 2;
    }
    thermo::setUpQtApplication();
    thermo::Application thermometre;
    if (!line.port.isEmpty()) {
        thermometre.readFromPort(line.port);
    }
    thermometre.start();
    return QApplication::exec();
}
