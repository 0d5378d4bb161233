#include "ui/curve/curve_session.h"

#include "ui/curve/axes_dialog.h"
#include "ui/curve/cursor_controls.h"
#include "ui/curve/curve_plot_view.h"
#include "ui/curve/curve_tools.h"
#include "ui/curve/curve_window.h"
#include "ui/curve/model_chooser.h"
#include "ui/curve/notes_dialog.h"
#include "ui/curve/run_report.h"
#include "ui/curve/tangent_controls.h"
#include "ui/layout/projector_zoom.h"
#include "ui/main_window/form1.h"
#include "ui/measurement/measurement.h"
#include "ui/recording/session_record.h"

namespace thermo {

CurveSession::CurveSession(ProjectorZoom& zoom, Measurement& measurement, QObject* parent)
    : QObject(parent), zoom_(zoom), record_(measurement.record()) {
    connect(&record_, &SessionRecord::writeFailed, this, &CurveSession::writeFailed);
    // Before the window hears of it: its tools then draw the run as it now is.
    connect(&record_, &SessionRecord::cleared, this, [this] { annotations_.clear(); });
}

CurveSession::~CurveSession() {
    window_.reset();
}

CurveWindow& CurveSession::window() {
    if (!window_) {
        window_ = std::make_unique<CurveWindow>(record_);
        window_->setRunAnnotations(annotations_);
        // The tools, each owned by the window, in the order of their row.
        if (CurveTools* tools = window_->plot().tools()) {
            new TangentControls(*window_, *tools);
            new CursorControls(*window_, *tools);
            new NotesTool(*window_, *tools);
            new AxesTool(*window_, *tools);
            new RunReport(*window_, *tools);
        }
        new ModelChooser(*window_);
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

bool CurveSession::mayQuit(Form1& mainWindow) {
    return !window_ || window_->mayLoseSeries(tr("Quitter sans enregistrer"), &mainWindow);
}

// A failure must be seen, even by a user who never opened the curve (a record started with
// --enregistrer on a stick that is then pulled out).
void CurveSession::writeFailed(const QString& message) {
    const bool made = window_ != nullptr;
    CurveWindow& curve = window();
    if (!made) {
        curve.showMessage(message, true); // too new to have heard it
    }
    showWindow();
}

} // namespace thermo
