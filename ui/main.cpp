#include "ui/application.h"
#include "ui/command_line.h"
#include "ui/curve/curve_session.h"
#include "ui/seance/seance_actions.h"
#include "ui/start_record.h"

#include "ui/curve/curve_window.h"

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
    if (!options.refusal.isEmpty()) {
        return thermo::refuseStart(options.refusal);
    }
    thermo::Application thermometre;
    if (!options.recordFile.isEmpty()) {
        // A lesson recorded from the start must not begin with a file that cannot be written,
        // nor end an existing one.
        const thermo::StartRecord started = thermo::recordFromStart(thermometre, options.recordFile);
        if (!started.failure.isEmpty()) {
            return thermo::refuseStart(started.failure);
        }
        if (started.cancelled) {
            return 0;
        }
    }
    if (!options.port.isEmpty()) {
        thermometre.readFromPort(options.port);
    }
    thermometre.start();
    if (!options.openFile.isEmpty()) {
        if (!thermometre.curve().actions().open(options.openFile)) {
            // Said in the curve window too, for a program started from the desktop.
            std::fputs((thermometre.curve().window().message() + QLatin1Char('\n'))
                           .toUtf8()
                           .constData(),
                       stderr);
        }
        thermometre.curve().showWindow();
    }
    return QApplication::exec();
}
