#pragma once

#include <QString>
#include <QStringList>

namespace thermo {

// What the program was asked on its command line.
struct CommandLine {
    QString recordFile; // --enregistrer FICHIER.csv: the series goes there from the start
    QString port;       // --port CHEMIN: the board on this serial port, not the simulated bench
};

// Reads the program's options; arguments[0] is the program's name. --help and --version
// print their French text and end the program with status 0; a bad option prints a French
// message on the error output and ends it with status 2. Qt's own options (-platform,
// -display, -style…) are let through, for QApplication to take.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace thermo
