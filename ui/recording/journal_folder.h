#pragma once

#include "ui/recording/seance_file.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace thermo {

// The folder of the séance journals, in the program's private data folder; empty, with
// `failure` set, when it cannot be made.
QString journalFolder(QString& failure);

// "seance-2026-12-08-10h42m05.123.thermo": names sort as their séances began.
QString journalFileName(const QDateTime& started);

// A journal whose program ended without closing it: killed, crashed, the power cut.
struct InterruptedSeance {
    QString path;
    SeanceSummary summary;
};

// The most recent interrupted séance with readings in `folder`, if any. A journal still
// written by a running program (its lock held) is not one; an interrupted journal without
// readings is deleted.
std::optional<InterruptedSeance> lastInterrupted(const QString& folder);

// "Reprendre la séance interrompue du 8 décembre à 10 h 42, 3 séries, 12 480 mesures ?"
// The year is said when it is not the current one.
QString resumeOfferText(const SeanceSummary& summary, const QDate& today);

// Keeps the journals of `folder` within `keep` files and `bytes` in all, deleting the oldest
// closed ones first; a journal being written or interrupted is never deleted.
void cleanJournals(const QString& folder, int keep = 20, qint64 bytes = 200LL * 1024 * 1024);

// Deletes a journal and the files SQLite and its lock keep beside it.
void removeJournal(const QString& path);

// Marks an interrupted journal as ended: not offered again, kept among the others.
void endJournal(const QString& path);

} // namespace thermo
