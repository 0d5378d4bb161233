#include "ui/recording/journal_folder.h"

#include "core/failure.h"
#include "storage/private_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <vector>

namespace thermo {

namespace {

const QStringList journalPattern{QStringLiteral("seance-*.thermo")};

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// True when no running program holds the journal's lock (a lock left by a dead one is taken
// away and released).
bool unlocked(const QString& path) {
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(0)) {
        return false;
    }
    lock.unlock();
    return true;
}

std::optional<SeanceSummary> summaryOf(const QString& path) {
    try {
        return SeanceFile(native(path), SeanceFile::Mode::Read).summary();
    } catch (const Failure&) {
        return std::nullopt;
    }
}

} // namespace

QString journalFolder(QString& failure) {
    const QString data = privateDataFolder(failure);
    if (data.isEmpty()) {
        return {};
    }
    const QString folder = QDir(data).filePath(QStringLiteral("seances"));
    failure = makePrivateFolder(folder);
    return failure.isEmpty() ? folder : QString();
}

QString journalFileName(const QDateTime& started) {
    return started.toString(QStringLiteral("'seance-'yyyy-MM-dd-HH'h'mm'm'ss'.'zzz'.thermo'"));
}

std::optional<InterruptedSeance> lastInterrupted(const QString& folder) {
    QDir dir(folder);
    for (const QString& name : dir.entryList(journalPattern, QDir::Files, QDir::Name | QDir::Reversed)) {
        const QString path = dir.filePath(name);
        if (!unlocked(path)) {
            continue;
        }
        const std::optional<SeanceSummary> summary = summaryOf(path);
        if (!summary || summary->state != SeanceFile::running) {
            continue;
        }
        if (summary->readings == 0) {
            removeJournal(path);
            continue;
        }
        return InterruptedSeance{path, *summary};
    }
    return std::nullopt;
}

QString resumeOfferText(const SeanceSummary& summary, const QDate& today) {
    const QLocale french(QLocale::French, QLocale::France);
    const QDateTime started = QDateTime::fromString(QString::fromStdString(summary.started),
                                                    Qt::ISODate);
    const QString day = french.toString(
        started.date(), started.date().year() == today.year() ? QStringLiteral("d MMMM")
                                                              : QStringLiteral("d MMMM yyyy"));
    const QString time = started.time().toString(QStringLiteral("H' h 'mm"));
    const auto count = [&french](std::size_t n, const QString& one, const QString& many) {
        return french.toString(static_cast<qulonglong>(n)) + QLatin1Char(' ') +
               (n > 1 ? many : one);
    };
    return QObject::tr("Reprendre la séance interrompue du %1 à %2, %3, %4 ?")
        .arg(day, time, count(summary.runs, QObject::tr("série"), QObject::tr("séries")),
             count(summary.readings, QObject::tr("mesure"), QObject::tr("mesures")));
}

void cleanJournals(const QString& folder, int keep, qint64 bytes) {
    QDir dir(folder);
    const QFileInfoList journals =
        dir.entryInfoList(journalPattern, QDir::Files, QDir::Name | QDir::Reversed);
    int kept = 0;
    qint64 size = 0;
    for (const QFileInfo& journal : journals) {
        const QString path = journal.absoluteFilePath();
        const qint64 own = journal.size() + QFileInfo(path + QStringLiteral("-wal")).size();
        const bool full = kept >= keep || size + own > bytes;
        if (full && unlocked(path)) {
            const std::optional<SeanceSummary> summary = summaryOf(path);
            if (!summary || summary->state != SeanceFile::running) {
                removeJournal(path);
                continue;
            }
        }
        ++kept;
        size += own;
    }
}

void removeJournal(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal", ".lock"}) {
        QFile::remove(path + QLatin1String(suffix));
    }
}

void endJournal(const QString& path) {
    try {
        SeanceFile(native(path), SeanceFile::Mode::Write).setValue("state", SeanceFile::ended);
    } catch (const Failure&) {
        // A journal that cannot be marked is offered again: nothing is lost by that.
    }
}

} // namespace thermo
