#pragma once

#include <QString>

namespace thermo {

// Why `path` cannot be a file the user saves to, in French ("Impossible d'écrire « /dev/full » :
// c'est un périphérique, pas un fichier"), or empty when it can be tried: a new name in a
// folder, or an existing regular file. A device, a named pipe, a socket, a folder or a file of
// the system's own (/proc, /sys) is refused with its real cause, and is therefore never
// replaced by a renamed file, even for root.
QString saveTargetRefusal(const QString& path);

// "seance.csv" → "seance-2.csv" (and "seance-2.csv" → "seance-3.csv"): the first such name
// beside it that does not exist yet.
QString nextFreeName(const QString& path);

} // namespace thermo
