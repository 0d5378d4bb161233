#include "ui/curve/unsaved_series_question.h"

#include "ui/version.h"

#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace thermo {

UnsavedSeriesAnswer askAboutUnsavedSeries(QWidget* parent, std::size_t total, std::size_t unsaved,
                                          const QString& discardText) {
    // Counts the French way ("1 234") whatever the user's number format, as the sentence is.
    const QLocale french(QLocale::French, QLocale::France);
    const auto count = [&french](std::size_t n) {
        return french.toString(static_cast<qulonglong>(n));
    };
    const QString text = total > 1 ? QObject::tr("La série de %1 mesures n'est pas enregistrée.")
                                   : QObject::tr("La série de %1 mesure n'est pas enregistrée.");
    QMessageBox question(QMessageBox::Warning, QString::fromUtf8(programName),
                         text.arg(count(total)), QMessageBox::NoButton, parent);
    question.setObjectName(QStringLiteral("UnsavedSeriesQuestion"));
    if (unsaved < total) {
        question.setInformativeText(
            unsaved > 1
                ? QObject::tr("Les %1 dernières ne sont dans aucun fichier.").arg(count(unsaved))
                : QObject::tr("La dernière n'est dans aucun fichier."));
    }
    QPushButton* save = question.addButton(QObject::tr("Enregistrer…"), QMessageBox::AcceptRole);
    QPushButton* discard = question.addButton(discardText, QMessageBox::DestructiveRole);
    QPushButton* cancel = question.addButton(QObject::tr("Annuler"), QMessageBox::RejectRole);
    question.setDefaultButton(save);
    question.setEscapeButton(cancel);
    question.exec();
    if (question.clickedButton() == save) {
        return UnsavedSeriesAnswer::Save;
    }
    if (question.clickedButton() == discard) {
        return UnsavedSeriesAnswer::Discard;
    }
    return UnsavedSeriesAnswer::Cancel;
}

} // namespace thermo
