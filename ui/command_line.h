#pragma once

#include <QString>
#include <QStringList>

namespace thermo {

// What the program was asked on its command line, Qt's own options (-platform, -display…)
// taken out beforehand by QApplication.
struct CommandLine {
    bool help = false;
    QString port;  // --port CHEMIN: the board's serial port instead of the simulated bench
    QString error; // in French, when the line could not be understood
};

// `arguments` begins with the program's name.
CommandLine parseCommandLine(const QStringList& arguments);

// What --help prints, in French.
QString commandLineHelp();

} // namespace thermo
