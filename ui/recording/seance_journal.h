#pragma once

#include "ui/recording/journal_writer.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <set>

namespace thermo {

class SessionRecord;

// The séance's journal: from its first reading on, every run of the record, its readings, its
// name, colour and notes, are written to a séance file in the program's private folder,
// whether or not the user ever saves. The writing is done by a JournalWriter: committed and
// synced every half second, off the interface's thread. A lock beside the journal tells a
// running program's journal from an interrupted one, which the next start offers back.
//
// At the end (finish(), the destructor, or the process exiting from any thread, as when the
// display is lost) everything is written and synced and the journal is marked ended; it is
// deleted instead when the user saved the séance since its last change. Ended journals are
// kept within a bound (journal_folder.h).
class SeanceJournal : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds commitInterval{500};

    // Journals go to `folder`, which must exist; nothing is written before the first reading
    // (or run read back from a file).
    SeanceJournal(SessionRecord& record, QString folder, QObject* parent = nullptr);
    ~SeanceJournal() override;

    // The journal file; empty until it is started.
    QString path() const;
    // The last failure to write it, in French; empty when it is written.
    QString failure() const { return failure_; }
    bool healthy() const { return failure_.isEmpty(); }

    // The séance is now in a file the user chose: its journal goes at the end, unless it
    // changes again.
    void markSaved();
    // The interrupted journal whose runs were taken back: deleted once they are written here.
    void replaces(const QString& interrupted);
    // Commits now and waits for the disk; true when everything is written.
    bool flush();
    // Everything written and synced, the journal closed; then nothing more is written.
    void finish();

signals:
    // Writing the journal failed (full disk, folder gone…): what and why, in French.
    void failed(const QString& message);

private:
    void ensureStarted();
    void push(JournalWriter::Operation operation);
    void journalRun(std::size_t index);
    void readingAppended();
    void writerFailed(const QString& message);

    SessionRecord& record_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<JournalWriter> writer_;
    std::set<std::uint64_t> journaled_; // runs in the journal
    QString replaced_;
    QString failure_;
    bool savedSinceChange_ = false;
};

} // namespace thermo
