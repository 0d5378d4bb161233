#include "ui/recording/seance_document.h"

#include "core/csv_reading.h"
#include "core/failure.h"
#include "ui/recording/save_target.h"
#include "ui/recording/session_record.h"
#include "storage/write_failure_text.h"
#include "ui/version.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace thermo {

namespace {

// Larger than ten school days of readings: a file that size is not a run's table.
constexpr qint64 largestCsv = 512LL * 1024 * 1024;

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// The folder's entry of a renamed file reaches the disk too.
void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::vector<Run> readSeance(const QString& path) {
    const SeanceFile file(native(path), SeanceFile::Mode::Read);
    std::vector<Run> runs;
    for (const RunHeader& header : file.runs()) {
        Run run;
        run.name = text(header.name);
        run.colour = header.colour;
        run.visible = header.visible;
        run.source = text(header.source);
        run.parameters = header.parameters;
        run.started = text(header.started);
        *run.series = file.readings(header.id);
        run.notes = file.notes(header.id);
        run.models = file.models(header.id);
        runs.push_back(std::move(run));
    }
    return runs;
}

Run readCsvFile(const QString& path) {
    QFile in(path);
    const auto refuse = [&path](const QString& why) {
        return Failure(FailureKind::InvalidArgument,
                       QObject::tr("Impossible de lire « %1 » : %2")
                           .arg(QDir::toNativeSeparators(path), why)
                           .toStdString());
    };
    if (!QFileInfo(path).isFile()) {
        throw refuse(QObject::tr("ce n'est pas un fichier"));
    }
    if (in.size() > largestCsv) {
        throw refuse(QObject::tr("le fichier est trop grand pour un tableau de mesures"));
    }
    if (!in.open(QIODevice::ReadOnly)) {
        throw refuse(in.errorString());
    }
    const QByteArray bytes = in.readAll();
    Run run;
    try {
        *run.series = readCsvRun(std::string_view(bytes.constData(), bytes.size()));
    } catch (const Failure& failure) {
        throw refuse(text(failure.what()));
    }
    run.name = QFileInfo(path).completeBaseName();
    run.source = QObject::tr("Fichier %1").arg(QFileInfo(path).fileName());
    run.started = QFileInfo(path).lastModified().toString(Qt::ISODate);
    return run;
}

QString writeSeance(const SessionRecord& record, const QString& path) {
    std::vector<const Run*> runs;
    for (std::size_t i = 0; i < record.runCount(); ++i) {
        runs.push_back(&record.run(i));
    }
    return writeSeance(runs, path);
}

QString writeSeance(const std::vector<const Run*>& runs, const QString& path) {
    if (const QString refusal = saveTargetRefusal(path); !refusal.isEmpty()) {
        return refusal;
    }
    const QFileInfo target(path);
    const QString temporary = target.absoluteDir().filePath(
        QStringLiteral(".%1.%2.tmp").arg(target.fileName()).arg(QCoreApplication::applicationPid()));
    QFile::remove(temporary);
    try {
        SeanceFile file(native(temporary), SeanceFile::Mode::Create);
        file.begin();
        file.setValue("started", !runs.empty() && !runs.front()->started.isEmpty()
                                     ? runs.front()->started.toStdString()
                                     : QDateTime::currentDateTime().toString(Qt::ISODate)
                                           .toStdString());
        file.setValue("state", SeanceFile::saved);
        file.setValue("program", programName);
        file.setValue("version", programVersion);
        for (const Run* each : runs) {
            const Run& run = *each;
            const std::int64_t id = file.addRun(run.header());
            file.appendReadings(id, *run.series, 0, run.series->size());
            file.saveNotes(id, run.notes);
            for (const RunModel& model : run.models) {
                file.addModel(id, model);
            }
        }
        file.commit(); // synced: synchronous=FULL
    } catch (const Failure& failure) {
        QFile::remove(temporary);
        return text(failure.what()).replace(QDir::toNativeSeparators(temporary),
                                            QDir::toNativeSeparators(path));
    }
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        QFile::remove(temporary);
        return writeFailureText(path, systemFailureCause(error));
    }
    syncFolder(target.absolutePath());
    return {};
}

} // namespace thermo
