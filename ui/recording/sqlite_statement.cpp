#include "ui/recording/sqlite_statement.h"

#include "core/failure.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace thermo {

std::string sqliteCause(int code) {
    switch (code & 0xFF) {
    case SQLITE_NOTADB:
        return "ce n'est pas une séance de Thermomètre";
    case SQLITE_CORRUPT:
        return "le fichier est abîmé";
    case SQLITE_FULL:
        return "le disque est plein";
    case SQLITE_READONLY:
        return "le fichier ou son dossier est en lecture seule";
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return "permission refusée";
    case SQLITE_CANTOPEN:
        return "fichier ou dossier introuvable, ou permission refusée";
    case SQLITE_IOERR:
        return "erreur d'entrée-sortie (support retiré ?)";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "le fichier est occupé par un autre programme";
    case SQLITE_NOMEM:
        return "mémoire insuffisante";
    case SQLITE_TOOBIG:
        return "donnée trop grande";
    default:
        return "le fichier n'a pas la forme d'une séance (" + std::string(sqlite3_errstr(code)) +
               ")";
    }
}

std::string systemCause(int error) {
    switch (error) {
    case EEXIST:
        return "le fichier existe déjà";
    case EACCES:
    case EPERM:
        return "permission refusée";
    case ENOENT:
        return "dossier introuvable";
    case EROFS:
        return "le support est en lecture seule";
    case ENOSPC:
        return "le disque est plein";
    case ELOOP:
        return "c'est un lien symbolique";
    default:
        return std::strerror(error);
    }
}

void createEmpty(const std::string& path, bool privateFile) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                          privateFile ? 0600 : 0666);
    if (fd < 0) {
        const int error = errno;
        throw Failure(FailureKind::InvalidArgument,
                      "Impossible de créer « " + path + " » : " + systemCause(error));
    }
    ::close(fd);
}

RowBudget::RowBudget(sqlite3* db, const std::string& path) : path_(path) {
    Statement size(db, "SELECT page_count * page_size FROM pragma_page_count, pragma_page_size");
    if (size.step() != SQLITE_ROW) {
        throw Failure(FailureKind::InvalidArgument, "Impossible de lire « " + path + " » : " +
                                                        sqliteCause(sqlite3_extended_errcode(db)));
    }
    left_ = std::max<std::int64_t>(size.integer(0) / leastBytesPerRow, 1);
    rows_ = left_;
}

void RowBudget::spend() {
    if (--left_ < 0) {
        throw Failure(FailureKind::InvalidArgument,
                      "Impossible de lire « " + path_ + " » : le fichier est abîmé");
    }
}

} // namespace thermo
