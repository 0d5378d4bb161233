#include "ui/application.h"

#include "acquisition/orphy_control.h"
#include "ui/fonts.h"
#include "ui/form1.h"
#include "ui/parametres.h"
#include "ui/qt_translations.h"
#include "ui/scaled_layout.h"

#include <QApplication>
#include <QMenu>

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

Application::Application()
    : menuFont_(QApplication::font("QMenu")), dialog_(std::make_unique<parametres>(*this)) {
    zoom_.addShortcutsTo(dialog_.get());
    connect(&zoom_, &ProjectorZoom::factorChanged, dialog_.get(), &parametres::setZoom);
    connect(&zoom_, &ProjectorZoom::factorChanged, this, &Application::zoomMenus);
}

Application::~Application() {
    zoomMenus(1.0);
}

// Menus are windows of their own and take no font from the window they open on. Qt gives
// new menus the font set for their class, but only when they are first shown: the menus that
// already exist are given it too.
void Application::zoomMenus(double zoom) {
    const QFont font = zoomedFont(menuFont_, zoom);
    QApplication::setFont(font, "QMenu");
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* menu = qobject_cast<QMenu*>(widget)) {
            menu->setFont(font);
        }
    }
}

Form1& Application::mainWindow() {
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<Form1>(dialog_.get());
        mainWindow_->setZoom(zoom_.factor());
        zoom_.addShortcutsTo(mainWindow_.get());
        connect(&zoom_, &ProjectorZoom::factorChanged, mainWindow_.get(), &Form1::setZoom);
        if (!portPath_.isEmpty()) {
            mainWindow_->acquisitionControl().usePort(portPath_.toStdString());
        }
        emit mainWindowCreated(mainWindow_.get());
    }
    return *mainWindow_;
}

void Application::start() {
    dialog_->show();
}

void Application::readFromPort(const QString& portPath) {
    portPath_ = portPath;
}

} // namespace thermo
