#include "ui/start_record.h"

#include "ui/application.h"
#include "ui/command_line.h"
#include "ui/curve/curve_session.h"
#include "ui/recording/save_target.h"
#include "ui/version.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace thermo {

namespace {

enum class Choice { NewFile, Replace, Cancel };

Choice askAboutExisting(const QString& path, const QString& next) {
    if (!windowsAreSeen()) {
        std::fputs(QObject::tr("« %1 » existe déjà : les mesures vont dans « %2 ».\n")
                       .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(next))
                       .toUtf8()
                       .constData(),
                   stderr);
        return Choice::NewFile;
    }
    QMessageBox question(QMessageBox::Question, QString::fromUtf8(programName),
                         QObject::tr("Le fichier « %1 » existe déjà.")
                             .arg(QDir::toNativeSeparators(path)));
    question.setObjectName(QStringLiteral("ExistingRecordQuestion"));
    question.setInformativeText(
        QObject::tr("Il vient peut-être d'une séance interrompue : le remplacer effacerait ses "
                    "mesures."));
    QPushButton* newFile = question.addButton(
        QObject::tr("Continuer dans « %1 »").arg(QFileInfo(next).fileName()),
        QMessageBox::AcceptRole);
    QPushButton* replace = question.addButton(QObject::tr("Remplacer"), QMessageBox::DestructiveRole);
    QPushButton* cancel = question.addButton(QObject::tr("Annuler"), QMessageBox::RejectRole);
    question.setDefaultButton(newFile);
    question.setEscapeButton(cancel);
    question.exec();
    if (question.clickedButton() == newFile) {
        return Choice::NewFile;
    }
    return question.clickedButton() == replace ? Choice::Replace : Choice::Cancel;
}

} // namespace

StartRecord recordFromStart(Application& application, const QString& path) {
    if (const QString refusal = saveTargetRefusal(path); !refusal.isEmpty()) {
        return {refusal, false};
    }
    QString target = path;
    const QFileInfo existing(path);
    if (existing.exists() && existing.size() > 0) {
        const QString next = nextFreeName(path);
        switch (askAboutExisting(path, next)) {
        case Choice::NewFile:
            target = next;
            break;
        case Choice::Replace:
            break;
        case Choice::Cancel:
            return {QString(), true};
        }
    }
    return {application.curve().recordFromStart(target), false};
}

} // namespace thermo
