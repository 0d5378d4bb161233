#pragma once

#include "core/session_series.h"
#include "ui/layout/laid_out_window.h"

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTimer;

namespace thermo {

class ClassRuns;
class CurvePlotView;
struct Run;
namespace classroom {
class ClassHost;
}

// "La classe", the teacher's window: every group's run live on one curve, each in its colour,
// and beside it the groups with their state ("mesure en cours", "en pause", "déconnecté depuis
// 12 s"), each shown or hidden by its box. The group chosen in the list is drawn with the
// plot's tools (pointer, range); "Ouvrir dans la courbe" gives a copy of its run to the curve
// window, where it is modelled, annotated and exported like any run. "Enregistrer la séance de
// la classe" writes one séance file with a run per group.
class ClassWindow : public LaidOutWindow {
    Q_OBJECT
public:
    // `toCurve` takes a copy of a group's run into the program's séance and shows the curve.
    ClassWindow(classroom::ClassHost& host, std::function<void(const Run&)> toCurve);
    ~ClassWindow() override;

    ClassRuns& runs() noexcept { return *runs_; }
    CurvePlotView& plot() noexcept { return *plot_; }
    QListWidget& list() noexcept { return *list_; }

    // Writes every group's run to `path` as one séance; the failure in French, or empty. Said
    // in the window either way.
    QString saveTo(const QString& path);

public slots:
    void setZoom(double zoom) override;

private:
    void followClass();
    void fill();
    void describeRow(std::size_t index);
    void itemChanged(QListWidgetItem* item);
    void scheduleDraw();
    void draw();
    void save();
    void openInCurve();
    void showMessage(const QString& text, bool failure);

    classroom::ClassHost& host_;
    std::function<void(const Run&)> toCurve_;
    ClassRuns* runs_;
    SessionSeries none_; // drawn while no group has a run
    CurvePlotView* plot_;
    QListWidget* list_;
    QPushButton* saveButton_;
    QPushButton* curveButton_;
    QPushButton* showAllButton_;
    QLabel* messageLabel_;
    QTimer* states_;
    bool filling_ = false;
    bool drawPending_ = false;
};

} // namespace thermo
