#pragma once

#include "core/run_annotations.h"

#include <QObject>
#include <memory>

namespace thermo {

class CurveWindow;
class Form1;
class Measurement;
class ProjectorZoom;
class SessionRecord;

// The curve window of the session's record, which the measurement keeps from the first
// Validation on. The window is made the first time it is asked for ("Courbe", Ctrl+G) and
// follows the projector zoom. Once it has been opened, the program asks before it ends with
// readings in no file; a user who never opens it is never asked, as before the curve existed.
class CurveSession : public QObject {
    Q_OBJECT
public:
    CurveSession(ProjectorZoom& zoom, Measurement& measurement, QObject* parent = nullptr);
    ~CurveSession() override;

    SessionRecord& record() noexcept { return record_; }
    // The notes and models of the session's series, kept here for its run; cleared with it.
    RunAnnotations& annotations() noexcept { return annotations_; }
    CurveWindow& window();
    CurveWindow* existingWindow() const noexcept { return window_.get(); }

    // Opens the curve from the main window's button and asks before its "Quitter" or its
    // frame ends the program.
    void follow(Form1& mainWindow);

    // --enregistrer: the series goes to path from the start of the session. Returns the
    // failure in French, for the caller to report before any window opens; empty on success.
    QString recordFromStart(const QString& path);

public slots:
    void showWindow();

private:
    bool mayQuit(Form1& mainWindow);
    void writeFailed(const QString& message);

    ProjectorZoom& zoom_;
    SessionRecord& record_;
    RunAnnotations annotations_;
    std::unique_ptr<CurveWindow> window_;
};

} // namespace thermo
