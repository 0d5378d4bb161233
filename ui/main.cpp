#include "ui/application.h"
#include "ui/fonts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    thermo::registerEmbeddedFonts();
    QApplication::setFont(thermo::sansFont(8.25));
    // The windows end the program themselves ("Quitter", their frames); hiding the dialog on
    // Validation must not count as closing the last window.
    QApplication::setQuitOnLastWindowClosed(false);

    thermo::Application thermometre;
    thermometre.start();
    return QApplication::exec();
}
