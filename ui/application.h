#pragma once

#include "ui/layout/projector_zoom.h"

#include <QFont>
#include <QObject>
#include <QString>
#include <memory>

namespace thermo {

class CalibrationWindow;
class Classroom;
class CurveSession;
class Form1;
class GiantDisplay;
class Measurement;
class SeanceKeeper;
class parametres;

// What the program does to Qt before its first window: the embedded fonts, the default font,
// Qt's own texts in French, and no end of the program when its last window is merely hidden.
void setUpQtApplication();

// Owns the program's measurement and its windows. The measurement (acquisition control,
// parameters, Timer1, the session's record) exists from the start and runs from the first
// Validation to the end; the parameters dialog exists from the start, the main window from its
// first use (the first Validation), the curve and calibration windows from theirs. The windows
// follow the one projector zoom, and so do the menus that open from them.
class Application : public QObject {
    Q_OBJECT
public:
    Application();
    ~Application() override;

    Measurement& measurement() noexcept { return *measurement_; }
    parametres& parametersDialog() noexcept { return *dialog_; }
    // Creates the main window on first use, at the current zoom; the measurement starts with
    // it.
    Form1& mainWindow();
    Form1* existingMainWindow() const noexcept { return mainWindow_.get(); }
    ProjectorZoom& zoom() noexcept { return zoom_; }
    // Creates the calibration window on first use, fed by the measurement's readings.
    CalibrationWindow& calibrationWindow();
    // The main window's F11 display; null until the main window exists.
    GiantDisplay* giantDisplay() const noexcept { return giant_; }
    // The session's record and its curve window.
    CurveSession& curve() noexcept { return *curve_; }
    // The séance's journal, files and resume offer.
    SeanceKeeper& seance() noexcept { return *keeper_; }
    // The class on the network, teacher's and group's sides.
    Classroom& classroom() noexcept { return *classroom_; }

    // Offers back an interrupted séance, if any, then shows the parameters dialog.
    void start();
    // The acquisition control reads the board on this serial port, whichever kind it is,
    // from the first tick on.
    void readFromPort(const QString& portPath);

public slots:
    // Shows the calibration window, and the main window it measures with, usable: the
    // simulated bench is set there.
    void showCalibration();

signals:
    // Emitted as soon as the main window exists, before any tick can run.
    void mainWindowCreated(thermo::Form1* window);

private:
    // Says an error of the program itself, then ends it with status 1.
    void stopOnDefect(const QString& error);
    void zoomMenus(double zoom);
    void applyZoom(double zoom);
    // The largest scale at which both windows fit the screens they are on.
    double roomOnScreens() const;

    ProjectorZoom zoom_;
    QFont menuFont_; // at 100 %
    QString portPath_;
    std::unique_ptr<Measurement> measurement_; // destroyed last: every window refers to it
    std::unique_ptr<SeanceKeeper> keeper_;     // writes the séance to the end
    std::unique_ptr<CurveSession> curve_;
    std::unique_ptr<parametres> dialog_;
    std::unique_ptr<Form1> mainWindow_;              // destroyed before the dialog: it refers to it
    std::unique_ptr<CalibrationWindow> calibration_;
    std::unique_ptr<Classroom> classroom_; // destroyed first: its dialogs stand over the main window
    GiantDisplay* giant_ = nullptr;                  // owned by the main window
};

} // namespace thermo
