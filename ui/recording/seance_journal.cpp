#include "ui/recording/seance_journal.h"

#include "ui/recording/journal_folder.h"
#include "ui/recording/session_record.h"
#include "ui/version.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace thermo {

namespace {

// The journal being written, for a process that ends without returning from main (the X
// server gone: Qt calls exit() from its own thread).
std::atomic<JournalWriter*> activeWriter{nullptr};

void finishActiveJournal() {
    if (JournalWriter* writer = activeWriter.exchange(nullptr)) {
        writer->finish({[](SeanceFile& file) { file.setValue("state", SeanceFile::ended); }});
    }
}

} // namespace

SeanceJournal::SeanceJournal(SessionRecord& record, QString folder, QObject* parent)
    : QObject(parent), record_(record), folder_(std::move(folder)) {
    static const bool registered = std::atexit(finishActiveJournal) == 0;
    Q_UNUSED(registered);
    connect(&record_, &SessionRecord::appended, this, &SeanceJournal::readingAppended);
    connect(&record_, &SessionRecord::runAdded, this, [this](std::size_t index) {
        if (!record_.run(index).series->empty()) {
            journalRun(index);
        }
    });
    connect(&record_, &SessionRecord::runChanged, this, [this](std::size_t index) {
        const Run& run = record_.run(index);
        if (journaled_.count(run.id) != 0) {
            push([header = run.header()](SeanceFile& file) { file.updateRun(header); });
        }
    });
    connect(&record_, &SessionRecord::notesChanged, this, [this](std::size_t index) {
        const Run& run = record_.run(index);
        if (journaled_.count(run.id) != 0) {
            push([id = static_cast<std::int64_t>(run.id), notes = run.notes](SeanceFile& file) {
                file.saveNotes(id, notes);
            });
        }
    });
    connect(&record_, &SessionRecord::modelAdded, this,
            [this](std::size_t index, std::int64_t model) {
                const Run& run = record_.run(index);
                const auto it = std::find_if(run.models.begin(), run.models.end(),
                                             [model](const RunModel& m) { return m.id == model; });
                if (journaled_.count(run.id) != 0 && it != run.models.end()) {
                    push([id = static_cast<std::int64_t>(run.id), m = *it](SeanceFile& file) {
                        file.addModel(id, m);
                    });
                }
            });
    connect(&record_, &SessionRecord::modelRemoved, this,
            [this](std::size_t index, std::int64_t model) {
                if (journaled_.count(record_.run(index).id) != 0) {
                    push([model](SeanceFile& file) { file.removeModel(model); });
                }
            });
    connect(&record_, &SessionRecord::runRemoved, this,
            [this](std::size_t, std::uint64_t id) {
                if (journaled_.erase(id) != 0) {
                    push([id](SeanceFile& file) {
                        file.removeRun(static_cast<std::int64_t>(id));
                    });
                }
            });
}

SeanceJournal::~SeanceJournal() {
    finish();
}

QString SeanceJournal::path() const {
    return writer_ ? QString::fromStdString(writer_->path()) : QString();
}

void SeanceJournal::ensureStarted() {
    if (writer_) {
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    QString path = QDir(folder_).filePath(journalFileName(now));
    // Two programs started in the same millisecond still write two journals.
    for (int n = 2; QFileInfo::exists(path) || QFileInfo::exists(path + QStringLiteral(".lock"));
         ++n) {
        path = QDir(folder_).filePath(journalFileName(now).replace(
            QStringLiteral(".thermo"), QStringLiteral("-%1.thermo").arg(n)));
    }
    lock_ = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock_->tryLock(0);
    writer_ = std::make_unique<JournalWriter>(
        QFile::encodeName(path).toStdString(), true, commitInterval,
        [this](const std::string& message) {
            QMetaObject::invokeMethod(
                this, [this, text = QString::fromStdString(message)] { writerFailed(text); },
                Qt::QueuedConnection);
        });
    writer_->push([started = now.toString(Qt::ISODate).toStdString()](SeanceFile& file) {
        file.setValue("started", started);
        file.setValue("state", SeanceFile::running);
        file.setValue("program", programName);
        file.setValue("version", programVersion);
    });
    activeWriter = writer_.get();
}

void SeanceJournal::push(JournalWriter::Operation operation) {
    ensureStarted();
    savedSinceChange_ = false;
    writer_->push(std::move(operation));
}

// A run with its readings so far: a run read back from a file, or the live run at its first
// reading. A run read back never changes, so its readings are read on the writer's thread.
void SeanceJournal::journalRun(std::size_t index) {
    const Run& run = record_.run(index);
    journaled_.insert(run.id);
    const bool live = index == record_.liveIndex();
    push([header = run.header(), series = live ? nullptr : run.series, notes = run.notes,
          models = run.models](SeanceFile& file) {
        file.addRun(header);
        if (series) {
            file.appendReadings(header.id, *series, 0, series->size());
        }
        file.saveNotes(header.id, notes);
        for (const RunModel& model : models) {
            file.addModel(header.id, model);
        }
    });
}

void SeanceJournal::readingAppended() {
    const std::size_t index = record_.liveIndex();
    const Run& run = record_.run(index);
    if (journaled_.count(run.id) == 0) {
        journalRun(index);
    }
    savedSinceChange_ = false;
    const SessionSeries& series = *run.series;
    writer_->pushReading(static_cast<std::int64_t>(run.id), series.size() - 1,
                         series.at(series.size() - 1));
}

void SeanceJournal::markSaved() {
    savedSinceChange_ = true;
}

void SeanceJournal::replaces(const QString& interrupted) {
    replaced_ = interrupted;
    ensureStarted();
    writer_->afterCommit([interrupted] { removeJournal(interrupted); });
}

bool SeanceJournal::flush() {
    return writer_ ? writer_->flush() : true;
}

void SeanceJournal::finish() {
    if (!writer_) {
        return;
    }
    activeWriter = nullptr;
    const bool written =
        writer_->finish({[](SeanceFile& file) { file.setValue("state", SeanceFile::ended); }});
    const QString path = this->path();
    writer_.reset();
    lock_.reset();
    if (written && savedSinceChange_) {
        removeJournal(path);
    }
}

void SeanceJournal::writerFailed(const QString& message) {
    failure_ = message;
    emit failed(tr("Le journal de la séance ne peut plus être écrit : %1. Les mesures restent "
                   "en mémoire ; enregistrez la séance ailleurs.")
                    .arg(message));
}

} // namespace thermo
