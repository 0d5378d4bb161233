#pragma once

#include <QObject>
#include <memory>

namespace thermo {

class CurveWindow;
class Form1;
class Measurement;
class ProjectorZoom;
class SeanceActions;
class SeanceKeeper;
class SessionRecord;

// The curve window of the séance's record, which the measurement keeps from the first
// Validation on. The window is made the first time it is asked for ("Courbe", Ctrl+G) and
// follows the projector zoom; its runs list and "Séance" menu work with the séance's keeper,
// which is asked before the program ends.
class CurveSession : public QObject {
    Q_OBJECT
public:
    CurveSession(ProjectorZoom& zoom, Measurement& measurement, SeanceKeeper& keeper,
                 QObject* parent = nullptr);
    ~CurveSession() override;

    SessionRecord& record() noexcept { return record_; }
    CurveWindow& window();
    CurveWindow* existingWindow() const noexcept { return window_.get(); }
    // The "Séance" menu of the window, made with it.
    SeanceActions& actions();

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
    SeanceKeeper& keeper_;
    SeanceActions* actions_ = nullptr; // owned by the window
    std::unique_ptr<CurveWindow> window_;
};

} // namespace thermo
