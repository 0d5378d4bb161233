#pragma once

#include <QString>
#include <cstddef>

class QWidget;

namespace thermo {

enum class UnsavedSeriesAnswer { Save, Discard, Cancel };

// "La série de N mesures n'est pas enregistrée.", asked before a series in no file is lost
// (the program ending, the series cleared), with "Enregistrer…", the loss named by
// `discardText` ("Quitter sans enregistrer", "Effacer sans enregistrer") and "Annuler".
// `unsaved` readings of the `total` are in no file: some may be, when appends stopped.
UnsavedSeriesAnswer askAboutUnsavedSeries(QWidget* parent, std::size_t total, std::size_t unsaved,
                                          const QString& discardText);

} // namespace thermo
