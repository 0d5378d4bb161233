#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QWidget;

namespace thermo {

class SeanceJournal;
class SessionRecord;

// Keeps the séance: its journal in the program's private folder (written from the first
// reading on), the offer to take back an interrupted séance at start-up, the séance files the
// user opens and saves, and the question before the program ends, asked only when runs would
// really be lost: when the journal cannot be written.
class SeanceKeeper : public QObject {
    Q_OBJECT
public:
    explicit SeanceKeeper(SessionRecord& record, QObject* parent = nullptr);
    ~SeanceKeeper() override;

    SeanceJournal* journal() const noexcept { return journal_.get(); }
    // Why there is no journal, in French; empty when there is one.
    QString journalFailure() const { return journalFailure_; }

    // At start, before anything is written: offers back the last interrupted séance. Taken
    // back, its runs come back into the record and go on in the new journal. True when taken
    // back.
    bool offerResume(QWidget* parent);
    // A séance file (.thermo) or a CSV file, its runs added to the séance. The failure in
    // French, or empty.
    QString open(const QString& path);
    // The whole séance to a .thermo file. The failure in French, or empty.
    QString save(const QString& path);
    // The last file the séance was saved to or opened from; empty before.
    QString savedPath() const { return savedPath_; }
    // Before the program ends: true when it may. The journal holds the séance; without one, the
    // runs with readings would be lost, which is asked over `parent`.
    bool mayEnd(QWidget* parent);
    // Everything written and synced.
    void finish();

signals:
    // Something of the séance could not be written: said in the curve window.
    void failed(const QString& message);

private:
    SessionRecord& record_;
    std::unique_ptr<SeanceJournal> journal_;
    QString journalFolder_;
    QString journalFailure_;
    QString savedPath_;
};

} // namespace thermo
