#pragma once

#include "ui/projector_zoom.h"

#include <QFont>
#include <QObject>
#include <QString>
#include <memory>

namespace thermo {

class Form1;
class parametres;

// What the program does to Qt before its first window: the embedded fonts, the default font,
// Qt's own texts in French, and no end of the program when its last window is merely hidden.
void setUpQtApplication();

// Owns the program's two windows: the parameters dialog from the start, the main window from
// its first use (the first Validation) to the end. Both follow the one projector zoom, and so
// do the menus that open from them.
class Application : public QObject {
    Q_OBJECT
public:
    Application();
    ~Application() override;

    parametres& parametersDialog() noexcept { return *dialog_; }
    // Creates the main window on first use, at the current zoom; its timer starts with it.
    Form1& mainWindow();
    Form1* existingMainWindow() const noexcept { return mainWindow_.get(); }
    ProjectorZoom& zoom() noexcept { return zoom_; }

    // Shows the parameters dialog as the first and only window.
    void start();
    // The main window's control reads the board on this serial port, whichever kind it is,
    // from its first tick on.
    void readFromPort(const QString& portPath);

signals:
    // Emitted as soon as the main window exists, before any of its ticks can run.
    void mainWindowCreated(thermo::Form1* window);

private:
    void zoomMenus(double zoom);

    ProjectorZoom zoom_;
    QFont menuFont_; // at 100 %
    QString portPath_;
    std::unique_ptr<parametres> dialog_;
    std::unique_ptr<Form1> mainWindow_; // destroyed first: it refers to the dialog
};

} // namespace thermo
