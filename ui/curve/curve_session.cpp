#include "ui/curve/curve_session.h"

#include "ui/curve/cooling_model.h"
#include "ui/curve/curve_window.h"
#include "ui/layout/projector_zoom.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/curve/runs_list.h"
#include "ui/recording/session_record.h"
#include "ui/seance/seance_actions.h"
#include "ui/seance/seance_keeper.h"

namespace thermo {

CurveSession::CurveSession(ProjectorZoom& zoom, Measurement& measurement, SeanceKeeper& keeper,
                           QObject* parent)
    : QObject(parent), zoom_(zoom), record_(measurement.record()), keeper_(keeper) {
    connect(&record_, &SessionRecord::writeFailed, this, &CurveSession::writeFailed);
}

CurveSession::~CurveSession() {
    window_.reset();
}

CurveWindow& CurveSession::window() {
    if (!window_) {
        window_ = std::make_unique<CurveWindow>(record_);
        new CoolingModel(*window_); // "Modéliser", owned by the window
        window_->addBesidePlot(new RunsList(*window_));
        actions_ = new SeanceActions(*window_, keeper_);
        window_->setZoom(zoom_.factor());
        zoom_.addShortcutsTo(window_.get());
        connect(&zoom_, &ProjectorZoom::factorChanged, window_.get(), &CurveWindow::setZoom);
    }
    return *window_;
}

void CurveSession::showWindow() {
    CurveWindow& curve = window();
    curve.showNormal();
    curve.raise();
    curve.activateWindow();
}

void CurveSession::follow(Form1& mainWindow) {
    connect(&mainWindow, &Form1::curveAsked, this, &CurveSession::showWindow);
    mainWindow.setQuitCheck([this, &mainWindow] { return mayQuit(mainWindow); });
}

QString CurveSession::recordFromStart(const QString& path) {
    const QSignalBlocker quiet(&record_);
    return record_.saveAs(path) ? QString() : record_.errorMessage();
}

SeanceActions& CurveSession::actions() {
    window();
    return *actions_;
}

bool CurveSession::mayQuit(Form1& mainWindow) {
    return keeper_.mayEnd(&mainWindow);
}

// A failure must be seen, even by a user who never opened the curve (a record started with
// --enregistrer on a stick that is then pulled out).
void CurveSession::writeFailed(const QString& message) {
    const bool made = window_ != nullptr;
    CurveWindow& curve = window();
    if (!made) {
        curve.showMessage(message, true); // too new to have heard it
        actions_->offerElsewhere(message);
    }
    showWindow();
}

} // namespace thermo
