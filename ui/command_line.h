#pragma once

#include <QString>
#include <QStringList>

namespace thermo {

// What the program was asked on its command line.
struct CommandLine {
    QString recordFile; // --enregistrer FICHIER.csv: the series goes there from the start
    QString port;       // --port CHEMIN: the board on this serial port, not the simulated bench
    QString openFile;   // FICHIER.thermo or .csv: its runs shown from the start
    QString refusal;    // a bad command line, in French: the program does not start
};

// Reads the program's options; arguments[0] is the program's name. --help and --version
// print their French text and end the program with status 0; a bad option is given back in
// `refusal`, for refuseStart(). Qt's own options (-platform, -display, -style…) are let
// through, for QApplication to take.
CommandLine parseCommandLine(const QStringList& arguments);

// Says why the program does not start, on the error output and, where a window can be seen,
// in a window (a program started from the desktop has no terminal); returns the status 2.
int refuseStart(const QString& why);

// Whether windows are seen: not on Qt's offscreen or minimal platforms.
bool windowsAreSeen();

} // namespace thermo
