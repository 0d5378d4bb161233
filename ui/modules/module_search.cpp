#include "ui/modules/module_search.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <sys/stat.h>

namespace thermo {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString notFound(const QString& path) {
    return QObject::tr("module introuvable (« %1 »)").arg(shown(path));
}

// The build's module folder named by the mark beside the executable; empty when the
// executable is not in a build tree.
QString buildModuleFolder(const QDir& executableFolder) {
    QFile mark(executableFolder.filePath(QString::fromLatin1(buildTreeMark)));
    if (!mark.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString folder = QString::fromUtf8(mark.readLine().trimmed());
    return folder.isEmpty() ? QString() : executableFolder.filePath(folder);
}

// Whether someone other than root and `user` may change a file or folder with this owner and
// mode. A sticky folder, such as /tmp, is writable by all, but no one may rename or remove in it
// what belongs to root or `user`: what is reached through it stays safe.
bool changeableByOthers(uid_t owner, mode_t mode, uid_t user) {
    if (owner != 0 && owner != user) {
        return true;
    }
    if ((mode & (S_IWGRP | S_IWOTH)) == 0) {
        return false;
    }
    return !(S_ISDIR(mode) && (mode & S_ISVTX) != 0);
}

// Why the module at `canonical` may not be loaded; empty when it may.
QString refusal(const QString& canonical, uid_t user) {
    for (QString path = canonical;; path = QFileInfo(path).path()) {
        struct stat status {};
        if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
            return notFound(canonical);
        }
        if (changeableByOthers(status.st_uid, status.st_mode, user)) {
            return path == canonical
                       ? QObject::tr("le module « %1 » est refusé, car d'autres utilisateurs "
                                     "que l'administrateur peuvent le modifier")
                             .arg(shown(canonical))
                       : QObject::tr("le module « %1 » est refusé, car d'autres utilisateurs "
                                     "que l'administrateur peuvent modifier le dossier « %2 »")
                             .arg(shown(canonical), shown(path));
        }
        if (path == QLatin1String("/")) {
            return {};
        }
    }
}

} // namespace

ModuleSearch findModule(const QString& executableFolder, const QString& installedFolder,
                        const QString& fileName, uid_t user) {
    const QDir folder(executableFolder);
    if (const QString built = buildModuleFolder(folder); !built.isEmpty()) {
        const QString path = QDir::cleanPath(QDir(built).filePath(fileName));
        if (!QFileInfo(path).isFile()) {
            return {{}, notFound(path)};
        }
        return {path, {}};
    }

    const QString path = QDir::cleanPath(QDir(folder.filePath(installedFolder)).filePath(fileName));
    // The file that would be loaded, whatever links lead to it, is the one checked and loaded.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty() || !QFileInfo(canonical).isFile()) {
        return {{}, notFound(path)};
    }
    if (QString why = refusal(canonical, user); !why.isEmpty()) {
        return {{}, why};
    }
    return {canonical, {}};
}

} // namespace thermo
