#include "ui/application.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    thermo::setUpQtApplication();
    thermo::Application thermometre;
    thermometre.start();
    return QApplication::exec();
}
