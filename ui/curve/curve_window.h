#pragma once

#include "ui/layout/laid_out_window.h"

#include <cstddef>
#include <optional>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace thermo {

class CurvePlotView;
class SessionRecord;

// The window "Courbe de température": the séance's runs drawn live, and what is done with
// them: pause and resume the record, save the live run as CSV (then kept up to date), copy the
// selected run as a table, save the picture. Failures to write are said here, in French, naming the file.
// Closing the window only hides it: the record goes on.
class CurveWindow : public LaidOutWindow {
    Q_OBJECT
public:
    explicit CurveWindow(SessionRecord& record);
    ~CurveWindow() override;

    SessionRecord& record() noexcept { return record_; }
    CurvePlotView& plot() noexcept { return *plot_; }

    // A tool's button (a fit, a model…), next in the tools row at the bottom right; the tool
    // connects to it.
    QPushButton* addToolButton(const char* name, const QString& text);

    // "Enregistrer…": asks for a CSV file, saves the series to it and appends to it from then
    // on. False when the user cancelled or the write failed (then said in the window).
    // The file dialog opens over `over`, this window by default.
    bool saveAs(QWidget* over = nullptr);
    // A panel on the right of the plot (the list of the runs).
    void addBesidePlot(QWidget* widget);

    // The message line: a failure in red, anything else in black; empty hides nothing.
    void showMessage(const QString& text, bool failure);
    QString message() const;

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
    QHBoxLayout* plotRow_;
    QWidget* lastInFocus_;
};

} // namespace thermo
