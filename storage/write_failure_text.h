#pragma once

#include <QString>

class QFileDevice;

namespace thermo {

// "Impossible d'écrire « /chemin/serie.csv » : permission refusée": the file as the user
// named it and the cause in French, from the error the file device reports.
QString writeFailureText(const QString& path, const QFileDevice& file);

// The cause alone, for a failure that left the device without an error of its own.
QString writeFailureText(const QString& path, const QString& cause);

// The cause in French of a failed system call, from its errno.
QString systemFailureCause(int error);

} // namespace thermo
