#include "ui/application.h"

#include "ui/fonts.h"
#include "ui/form1.h"
#include "ui/parametres.h"
#include "ui/qt_translations.h"

#include <QApplication>

namespace thermo {

void setUpQtApplication() {
    registerEmbeddedFonts();
    QApplication::setFont(sansFont(8.25));
    // A missing catalogue only leaves Qt's own texts in English.
    installQtTranslations(qtTranslationsFolder());
    // The windows end the program themselves ("Quitter", their frames); hiding the dialog on
    // Validation must not count as closing the last window.
    QApplication::setQuitOnLastWindowClosed(false);
}

Application::Application() : dialog_(std::make_unique<parametres>(*this)) {}

Application::~Application() = default;

Form1& Application::mainWindow() {
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<Form1>(dialog_.get());
        emit mainWindowCreated(mainWindow_.get());
    }
    return *mainWindow_;
}

void Application::start() {
    dialog_->show();
}

} // namespace thermo
