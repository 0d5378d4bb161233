#pragma once

#include <QString>

class QTranslator;

namespace thermo {

// Puts Qt's own texts (context menus of the text fields, message boxes, standard buttons) in
// French from Qt's catalogue qtbase_fr.qm in `folder`, whatever the user's language; numbers
// still follow the user's locale. Returns the installed translator, owned by the application,
// or nullptr when the catalogue is missing: Qt's texts then stay in English.
QTranslator* installQtTranslations(const QString& folder);

// The folder where Qt keeps its catalogues (Debian package qt6-translations-l10n).
QString qtTranslationsFolder();

} // namespace thermo
