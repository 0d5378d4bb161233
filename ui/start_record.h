#pragma once

#include <QString>

namespace thermo {

class Application;

struct StartRecord {
    QString failure; // in French: the program does not start
    bool cancelled = false;
};

// --enregistrer FICHIER.csv: the live run is written there from the start. A device, a pipe,
// a folder… is refused with its cause; an existing file is never emptied unasked: the user
// chooses between going on in a new file with a suffixed name, replacing it, or not starting.
// Where no window can be seen, the new file is taken and said on the error output.
StartRecord recordFromStart(Application& application, const QString& path);

} // namespace thermo
