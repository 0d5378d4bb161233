#pragma once

#include <QByteArray>
#include <QString>

namespace thermo {

// What the program keeps for the user alone on a computer shared by a class: the séance journal
// and the class broker's passwords and configuration. Its folder is made 0700 and each such file
// 0600, whatever the umask. What the user exports (CSV, images) is a document like any other and
// follows the umask: it is written with QSaveFile, not with these.

// Makes the folder `path` (its missing parents with the umask) so that only its owner may enter
// it; an existing folder of the user's is closed to the others. The failure in French, or empty.
QString makePrivateFolder(const QString& path);

// The program's own data folder, QStandardPaths::AppDataLocation, made private as above. Empty,
// with `failure` set, when it cannot be.
QString privateDataFolder(QString& failure);

// Writes `contents` whole to `path`, readable and writable by the user alone, through a temporary
// file renamed into place: the file is never seen half written nor open to the others, even for
// a moment. The failure in French, or empty.
QString writePrivateFile(const QString& path, const QByteArray& contents);

} // namespace thermo
