#pragma once

#include "ui/layout/fixed_window.h"

#include <cstddef>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace thermo {

class CurvePlotView;
class SessionRecord;

// The window "Courbe de température": the session's series drawn live, and what is done with
// it: pause and resume the record, clear it, save it as CSV (then kept up to date), copy it as
// a table, save the picture. Failures to write are said here, in French, naming the file.
// Closing the window only hides it: the record goes on.
class CurveWindow : public FixedWindow {
    Q_OBJECT
public:
    explicit CurveWindow(SessionRecord& record);
    ~CurveWindow() override;

    SessionRecord& record() noexcept { return record_; }
    CurvePlotView& plot() noexcept { return *plot_; }

    // A tool's button (a fit, a model…), in the next free place of the tools row at the
    // bottom right; the tool connects to it. Throws std::logic_error when no place is left.
    QPushButton* addToolButton(const char* name, const QString& text);

    // "Enregistrer…": asks for a CSV file, saves the series to it and appends to it from then
    // on. False when the user cancelled or the write failed (then said in the window).
    // The file dialog opens over `over`, this window by default.
    bool saveAs(QWidget* over = nullptr);
    // Before the series is lost: true at once when every reading is in a file; otherwise asks
    // (over `over`) and saves when asked to. False when the series must be kept.
    bool mayLoseSeries(const QString& discardText, QWidget* over = nullptr);

    // The message line: a failure in red, anything else in black; empty hides nothing.
    void showMessage(const QString& text, bool failure);
    QString message() const;

public slots:
    void setZoom(double zoom) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void togglePause();
    void clearSeries();
    void copyTable();
    void saveImage();
    void updatePauseButton();
    void updateFileName();
    void showReading(std::optional<std::size_t> index);

    SessionRecord& record_;
    CurvePlotView* plot_;
    QPushButton* command1_; // Pause / Reprendre
    QCheckBox* check1_;     // Uth
    QCheckBox* check2_;     // Ut
    QLabel* label1_;        // the file
    QLabel* label2_;        // the reading under the pointer
    QLabel* label3_;        // messages
    QWidget* lastInFocus_;
    int tools_ = 0;
};

} // namespace thermo
