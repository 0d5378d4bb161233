#pragma once

#include "core/run_annotations.h"
#include "ui/layout/laid_out_window.h"

#include <cstddef>
#include <optional>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;
class QPushButton;

namespace thermo {

class CurvePlotView;
class SessionRecord;
class SessionSeries;
class SpokenNotice;

// The window "Courbe de température": the séance's runs drawn live, and what is done with
// them: pause and resume the record, save the live run as CSV (then kept up to date), copy the
// selected run as a table, save the picture; its tools (curve_window_tools.cpp) work on the
// selected run. Failures to write are said here, in French, naming the file.
// Closing the window only hides it: the record goes on.
class CurveWindow : public LaidOutWindow {
    Q_OBJECT
public:
    explicit CurveWindow(SessionRecord& record);
    ~CurveWindow() override;

    SessionRecord& record() noexcept { return record_; }
    CurvePlotView& plot() noexcept { return *plot_; }

    // The run the tools (models, notes, tangent, cursors) work on, the selected one: its
    // readings, and its notes and models as the séance keeps them. toolRunChanged() says when
    // another run is selected, or when its notes or models change.
    struct ToolRun {
        const SessionSeries& series;
        RunAnnotations annotations;
    };
    ToolRun toolRun() const;
    // A model added to the selected run or taken from it, kept in the séance with it (the
    // notes are set on the record, as a whole).
    void addModel(const ModelResult& model);
    // Model `index` of toolRun()'s models.
    void removeModel(std::size_t index);

    // A tool's button (a fit, a model…), next in the tools row under the plot; the tool
    // connects to it. addToolWidget() adds any other control there, and addReadout() a line of
    // text under it, for what a tool reads off the curve.
    QPushButton* addToolButton(const char* name, const QString& text);
    void addToolWidget(QWidget* widget);
    QLabel* addReadout(const char* name);
    // A button among the window's actions at the top, after those there.
    QPushButton* addActionButton(const char* name, const QString& text);

    // "Enregistrer…": asks for a CSV file, saves the series to it and appends to it from then
    // on. False when the user cancelled or the write failed (then said in the window).
    // The file dialog opens over `over`, this window by default.
    bool saveAs(QWidget* over = nullptr);
    // A panel on the right of the plot (the list of the runs).
    void addBesidePlot(QWidget* widget);

    // The message line: a failure in red, anything else in black; empty hides nothing. Its
    // text is its accessible name, and a screen reader is told it once.
    void showMessage(const QString& text, bool failure);
    QString message() const;
    // Said once to a screen reader, wherever the focus is: the window's one voice.
    void announce(const QString& text);

signals:
    void toolRunChanged();

public slots:
    void setZoom(double zoom) override;

protected:
    void changeEvent(QEvent* event) override;
    void fitToType() override;

private:
    void togglePause();
    void copyTable();
    void saveImage();
    void updatePauseButton();
    void updateFileName();
    void showReading(std::optional<std::size_t> index);

    SessionRecord& record_;
    CurvePlotView* plot_;
    QPushButton* pauseButton_; // Pause / Reprendre
    QCheckBox* uthCheck_;
    QCheckBox* utCheck_;
    QLabel* fileLabel_;
    QLabel* pointerLabel_; // the reading under the pointer
    QLabel* messageLabel_;
    QHBoxLayout* tools_;
    QVBoxLayout* readouts_;
    QHBoxLayout* plotRow_;
    QWidget* lastInFocus_;
    SpokenNotice* notice_;
};

} // namespace thermo
