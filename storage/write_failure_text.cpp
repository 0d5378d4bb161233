#include "storage/write_failure_text.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <array>
#include <cerrno>

namespace thermo {

namespace {

struct Cause {
    int error;
    const char* text;
};

// The failures a teacher meets: a folder they may not write to, a full or removed USB stick,
// a FAT-formatted stick's 4 GB limit.
const std::array causes{
    Cause{EACCES, "permission refusée"},
    Cause{EPERM, "permission refusée"},
    Cause{ENOSPC, "le disque est plein"},
    Cause{EDQUOT, "quota de disque dépassé"},
    Cause{EFBIG, "fichier trop volumineux pour ce support"},
    Cause{EROFS, "le support est en lecture seule"},
    Cause{ENOENT, "dossier introuvable (support retiré ?)"},
    Cause{ENOTDIR, "un élément du chemin n'est pas un dossier"},
    Cause{EIO, "erreur d'entrée-sortie (support retiré ?)"},
    Cause{ENXIO, "le support n'est plus accessible"},
    Cause{ENODEV, "le support n'est plus accessible"},
    Cause{ENAMETOOLONG, "nom de fichier trop long"},
    Cause{EMFILE, "trop de fichiers ouverts"},
    Cause{ENFILE, "trop de fichiers ouverts"},
};

// Qt words a system error with qt_error_string(errno), translated or not; matching that text
// recovers the error number, which Qt does not keep.
QString frenchCause(const QFileDevice& file) {
    const QString reported = file.errorString();
    for (const Cause& c : causes) {
        if (reported == qt_error_string(c.error)) {
            return QString::fromUtf8(c.text);
        }
    }
    if (QFileInfo(file.fileName()).isDir()) {
        return QStringLiteral("c'est un dossier");
    }
    return reported;
}

} // namespace

QString systemFailureCause(int error) {
    for (const Cause& c : causes) {
        if (c.error == error) {
            return QString::fromUtf8(c.text);
        }
    }
    return qt_error_string(error);
}

QString writeFailureText(const QString& path, const QFileDevice& file) {
    return writeFailureText(path, frenchCause(file));
}

QString writeFailureText(const QString& path, const QString& cause) {
    return QStringLiteral("Impossible d'écrire « %1 » : %2")
        .arg(QDir::toNativeSeparators(path), cause);
}

} // namespace thermo
