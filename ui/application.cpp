#include "ui/application.h"

#include "acquisition/orphy_control.h"
#include "ui/accessibility/announcer.h"
#include "ui/accessibility/focus_frame.h"
#include "ui/accessibility/line_edit_accessible.h"
#include "ui/calibration/calibration_window.h"
#include "ui/classroom/classroom.h"
#include "ui/curve/curve_session.h"
#include "ui/layout/fonts.h"
#include "ui/layout/scaled_layout.h"
#include "ui/layout/screen_fit.h"
#include "ui/layout/zoom_menu.h"
#include "ui/main_window/form1.h"
#include "ui/main_window/giant_display.h"
#include "ui/measurement/measurement.h"
#include "ui/parameters/parametres.h"
#include "ui/qt_translations.h"
#include "ui/quit_signals.h"
#include "ui/recording/session_record.h"
#include "ui/recording/user_number_locale.h"
#include "ui/seance/seance_keeper.h"
#include "ui/version.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>
#include <limits>

namespace thermo {

void setUpQtApplication() {
    registerEmbeddedFonts();
    QApplication::setFont(sansFont(8.25));
    // A missing catalogue only leaves Qt's own texts in English.
    installQtTranslations(qtTranslationsFolder());
    // The windows end the program themselves ("Quitter", their frames); hiding the dialog on
    // Validation must not count as closing the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    installLineEditAccessible();
    FocusFrame::follow();
}

Application::Application()
    : menuFont_(QApplication::font("QMenu")),
      measurement_(std::make_unique<Measurement>(userNumberLocale())),
      keeper_(std::make_unique<SeanceKeeper>(measurement_->record())),
      curve_(std::make_unique<CurveSession>(zoom_, *measurement_, *keeper_)),
      dialog_(std::make_unique<parametres>(*this)),
      classroom_(std::make_unique<Classroom>(*measurement_, *curve_, zoom_)) {
    connect(measurement_.get(), &Measurement::defectFound, this, &Application::stopOnDefect);
    connect(measurement_.get(), &Measurement::readingTaken, &classroom_->group(),
            &classroom::GroupLink::take);
    new QuitSignals(this); // SIGTERM, SIGINT, SIGHUP end it as "Quitter" does
    // Each run says what it was measured with.
    connect(measurement_.get(), &Measurement::parametersChanged, this,
            [this](const CircuitParameters& parameters) {
                measurement_->record().setMeasuredWith(
                    QString::fromStdString(measurement_->control().source().name()), parameters);
            });
    zoom_.setRoom([this] { return roomOnScreens(); });
    zoom_.addShortcutsTo(dialog_.get());
    ZoomMenu::attachTo(*dialog_, zoom_);
    connect(&zoom_, &ProjectorZoom::factorChanged, this, &Application::applyZoom);
}

void Application::applyZoom(double zoom) {
    dialog_->setZoom(zoom);
    if (mainWindow_) {
        mainWindow_->setZoom(zoom);
    }
    zoomMenus(zoom);
    // A window that grew past the screen's edge comes back whole.
    for (QWidget* window :
         {static_cast<QWidget*>(dialog_.get()), static_cast<QWidget*>(mainWindow_.get())}) {
        if (window != nullptr && window->isVisible()) {
            keepOnScreen(*window);
        }
    }
    QWidget& from = mainWindow_ ? static_cast<QWidget&>(*mainWindow_) : *dialog_;
    announce(from, tr("Taille d'affichage, %1").arg(percentText(zoom)));
}

double Application::roomOnScreens() const {
    double room = std::numeric_limits<double>::infinity();
    for (const FixedWindow* window : {static_cast<const FixedWindow*>(dialog_.get()),
                                      static_cast<const FixedWindow*>(mainWindow_.get())}) {
        if (window != nullptr) {
            // What the window system adds around the client area, once it is known.
            const QSize frame = window->frameGeometry().size() - window->size();
            room = std::min(room, largestFittingScale(window->clientTwips(), frame,
                                                      availableArea(*window).size()));
        }
    }
    return room;
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
        mainWindow_ = std::make_unique<Form1>(*measurement_, dialog_.get());
        mainWindow_->setZoom(zoom_.factor());
        zoom_.addShortcutsTo(mainWindow_.get());
        giant_ = new GiantDisplay(*measurement_, *mainWindow_);
        classroom_->setDialogParent(mainWindow_.get());
        ZoomMenu::attachTo(*mainWindow_, zoom_,
                           {giant_->openAction(), classroom_->hostAction(), classroom_->joinAction()});
        curve_->follow(*mainWindow_);
        if (!portPath_.isEmpty()) {
            measurement_->control().usePort(portPath_.toStdString());
        }
        measurement_->start();
        emit mainWindowCreated(mainWindow_.get());
    }
    return *mainWindow_;
}

CalibrationWindow& Application::calibrationWindow() {
    if (!calibration_) {
        calibration_ = std::make_unique<CalibrationWindow>(*measurement_, *dialog_);
        calibration_->setZoom(zoom_.factor());
        zoom_.addShortcutsTo(calibration_.get());
        connect(&zoom_, &ProjectorZoom::factorChanged, calibration_.get(),
                &CalibrationWindow::setZoom);
    }
    return *calibration_;
}

void Application::showCalibration() {
    CalibrationWindow& window = calibrationWindow();
    Form1& form = mainWindow();
    form.setEnabled(true);
    form.show();
    window.show();
    window.raise();
    window.activateWindow();
}

void Application::start() {
    keeper_->offerResume(nullptr);
    dialog_->show();
    // Where no window manager gives it, the keyboard focus is asked for: a screen reader
    // starts from the focused field.
    dialog_->activateWindow();
}

void Application::readFromPort(const QString& portPath) {
    portPath_ = portPath;
}

void Application::stopOnDefect(const QString& error) {
    QMessageBox::critical(
        nullptr, QString::fromUtf8(programName),
        tr("Erreur interne du programme : %1\n\nLe programme va s'arrêter.").arg(error));
    QCoreApplication::exit(1);
}

} // namespace thermo
