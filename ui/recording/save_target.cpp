#include "ui/recording/save_target.h"

#include "storage/write_failure_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace thermo {

namespace {

// Filesystems whose files are the kernel's, not documents (linux/magic.h).
constexpr long procMagic = 0x9fa0;
constexpr long sysfsMagic = 0x62656572;

QString kindCause(mode_t mode) {
    if (S_ISDIR(mode)) {
        return QStringLiteral("c'est un dossier");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("c'est un périphérique, pas un fichier");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("c'est un tube nommé, pas un fichier");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("c'est une prise de communication (socket), pas un fichier");
    }
    return {};
}

} // namespace

QString saveTargetRefusal(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    if (::stat(native.constData(), &status) == 0) {
        if (const QString cause = kindCause(status.st_mode); !cause.isEmpty()) {
            return writeFailureText(path, cause);
        }
        struct statfs system {};
        if (::statfs(native.constData(), &system) == 0 &&
            (system.f_type == procMagic || system.f_type == sysfsMagic)) {
            return writeFailureText(path, QStringLiteral("c'est un fichier du système, pas un "
                                                         "fichier de mesures"));
        }
        return {};
    }
    if (errno != ENOENT) {
        return writeFailureText(path, systemFailureCause(errno));
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (::stat(QFile::encodeName(folder).constData(), &status) != 0) {
        return writeFailureText(path, errno == ENOENT
                                          ? QStringLiteral("le dossier « %1 » n'existe pas")
                                                .arg(QDir::toNativeSeparators(folder))
                                          : systemFailureCause(errno));
    }
    if (!S_ISDIR(status.st_mode)) {
        return writeFailureText(path, QStringLiteral("« %1 » n'est pas un dossier")
                                          .arg(QDir::toNativeSeparators(folder)));
    }
    return {};
}

QString nextFreeName(const QString& path) {
    const QFileInfo info(path);
    QString base = info.completeBaseName();
    const qsizetype dash = base.lastIndexOf(QLatin1Char('-'));
    bool numbered = false;
    if (dash > 0) {
        base.mid(dash + 1).toInt(&numbered);
    }
    if (numbered) {
        base.truncate(dash);
    }
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate =
            info.dir().filePath(QStringLiteral("%1-%2%3").arg(base).arg(n).arg(suffix));
        if (!QFileInfo::exists(candidate)) {
            return candidate;
        }
    }
}

} // namespace thermo
