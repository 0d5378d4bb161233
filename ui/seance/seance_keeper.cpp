#include "ui/seance/seance_keeper.h"

#include "core/failure.h"
#include "ui/command_line.h"
#include "ui/recording/journal_folder.h"
#include "ui/recording/seance_document.h"
#include "ui/recording/seance_journal.h"
#include "ui/recording/session_record.h"
#include "ui/version.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace thermo {

SeanceKeeper::SeanceKeeper(SessionRecord& record, QObject* parent)
    : QObject(parent), record_(record) {
    journalFolder_ = journalFolder(journalFailure_);
    if (journalFolder_.isEmpty()) {
        return;
    }
    cleanJournals(journalFolder_);
    journal_ = std::make_unique<SeanceJournal>(record_, journalFolder_);
    connect(journal_.get(), &SeanceJournal::failed, this, &SeanceKeeper::failed);
}

SeanceKeeper::~SeanceKeeper() {
    finish();
}

bool SeanceKeeper::offerResume(QWidget* parent) {
    // A question nobody can see is not asked: the journal waits for a start with a display.
    if (!journal_ || !windowsAreSeen()) {
        return false;
    }
    const std::optional<InterruptedSeance> interrupted = lastInterrupted(journalFolder_);
    if (!interrupted) {
        return false;
    }
    QMessageBox offer(QMessageBox::Question, QString::fromUtf8(programName),
                      resumeOfferText(interrupted->summary, QDate::currentDate()),
                      QMessageBox::NoButton, parent);
    offer.setObjectName(QStringLiteral("ResumeOffer"));
    offer.setInformativeText(tr("Le programme s'est arrêté sans fermer cette séance. Reprise, "
                                "ses séries reviennent sur la courbe et la mesure continue dans "
                                "une nouvelle série."));
    QPushButton* resume = offer.addButton(tr("Reprendre la séance"), QMessageBox::AcceptRole);
    offer.addButton(tr("Nouvelle séance"), QMessageBox::RejectRole);
    offer.setDefaultButton(resume);
    offer.exec();
    if (offer.clickedButton() != resume) {
        endJournal(interrupted->path); // kept among the journals, not offered again
        return false;
    }
    try {
        for (Run& run : readSeance(interrupted->path)) {
            record_.addRun(std::move(run));
        }
    } catch (const Failure& failure) {
        QMessageBox::warning(parent, QString::fromUtf8(programName),
                             QString::fromStdString(failure.what()));
        return false;
    }
    journal_->replaces(interrupted->path);
    return true;
}

QString SeanceKeeper::open(const QString& path) {
    try {
        std::vector<Run> runs;
        if (QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0 ||
            QFileInfo(path).suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0) {
            runs.push_back(readCsvFile(path));
        } else {
            runs = readSeance(path);
        }
        if (runs.empty()) {
            return tr("« %1 » ne contient aucune série.").arg(QDir::toNativeSeparators(path));
        }
        const bool onlyThese = record_.readingCount() == 0;
        std::size_t last = 0;
        for (Run& run : runs) {
            last = record_.addRun(std::move(run));
        }
        record_.select(last);
        // A séance opened and left as it was needs no journal of its own at the end.
        if (onlyThese && QFileInfo(path).suffix() == QLatin1String("thermo")) {
            savedPath_ = path;
            if (journal_) {
                journal_->markSaved();
            }
        }
    } catch (const Failure& failure) {
        return QString::fromStdString(failure.what());
    }
    return {};
}

QString SeanceKeeper::save(const QString& path) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString failure = writeSeance(record_, path);
    QApplication::restoreOverrideCursor();
    if (failure.isEmpty()) {
        savedPath_ = path;
        if (journal_) {
            journal_->markSaved();
        }
    }
    return failure;
}

bool SeanceKeeper::mayEnd(QWidget* parent) {
    if ((journal_ && journal_->healthy()) || record_.readingCount() == 0) {
        return true;
    }
    const QLocale french(QLocale::French, QLocale::France);
    QMessageBox question(
        QMessageBox::Warning, QString::fromUtf8(programName),
        tr("La séance (%1 mesures) n'est enregistrée nulle part.")
            .arg(french.toString(static_cast<qulonglong>(record_.readingCount()))),
        QMessageBox::NoButton, parent);
    question.setObjectName(QStringLiteral("UnsavedSeriesQuestion"));
    question.setInformativeText(journal_ ? journal_->failure() : journalFailure_);
    question.addButton(tr("Quitter sans enregistrer"), QMessageBox::DestructiveRole);
    QPushButton* cancel = question.addButton(tr("Annuler"), QMessageBox::RejectRole);
    question.setDefaultButton(cancel);
    question.setEscapeButton(cancel);
    question.exec();
    return question.clickedButton() != cancel;
}

void SeanceKeeper::finish() {
    if (journal_) {
        journal_->finish();
    }
}

} // namespace thermo
