#include "storage/private_files.h"

#include "storage/write_failure_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace thermo {

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

} // namespace

QString makePrivateFolder(const QString& path) {
    const QString parent = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(parent)) {
        return writeFailureText(path, QStringLiteral("impossible de créer le dossier « %1 »")
                                          .arg(QDir::toNativeSeparators(parent)));
    }
    // Made closed, not closed once made: nobody can open it in between.
    if (::mkdir(native(path).constData(), S_IRWXU) != 0 && errno != EEXIST) {
        return writeFailureText(path, systemFailureCause(errno));
    }
    struct stat status {};
    if (::stat(native(path).constData(), &status) != 0) {
        return writeFailureText(path, systemFailureCause(errno));
    }
    if (!S_ISDIR(status.st_mode)) {
        return writeFailureText(path, QStringLiteral("ce n'est pas un dossier"));
    }
    if (status.st_uid != ::geteuid()) {
        return writeFailureText(path,
                                QStringLiteral("le dossier appartient à un autre utilisateur"));
    }
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0 &&
        ::chmod(native(path).constData(), S_IRWXU) != 0) {
        return writeFailureText(path, systemFailureCause(errno));
    }
    return {};
}

QString privateDataFolder(QString& failure) {
    const QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    failure = path.isEmpty() ? writeFailureText(QStringLiteral("~"),
                                                QStringLiteral("aucun dossier de données"))
                             : makePrivateFolder(path);
    return failure.isEmpty() ? path : QString();
}

QString writePrivateFile(const QString& path, const QByteArray& contents) {
    QSaveFile out(path);
    // The temporary file is narrowed before anything is written to it, an existing file's
    // wider permissions are not carried over.
    if (!out.open(QIODevice::WriteOnly) || !out.setPermissions(ownerOnly)) {
        return writeFailureText(path, out);
    }
    if (out.write(contents) != contents.size()) {
        const QString message = writeFailureText(path, out);
        out.cancelWriting();
        return message;
    }
    if (!out.commit()) {
        return writeFailureText(path, out);
    }
    return {};
}

} // namespace thermo
