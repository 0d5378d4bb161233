#pragma once

#include <QDialog>
#include <QObject>

class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace thermo {

class CurveTools;
class CurveWindow;
struct RunAnnotations;

// "Notes…" in the curve window: the run's notes, short texts pinned at a time
// ("couvercle retiré"), listed, added and taken away in a dialog, and drawn on the curve.
class NotesTool : public QObject {
    Q_OBJECT
public:
    NotesTool(CurveWindow& window, CurveTools& tools);

    // The dialog, its time set to the keyboard cursor's reading, else the last reading's.
    void open();

private:
    void showNotes();

    CurveWindow& window_;
    CurveTools& tools_;
};

// The dialog itself: the notes in time order, a time and a text to add one, and Supprimer for
// the one selected. Each change is made at once on the run.
class NotesDialog : public QDialog {
    Q_OBJECT
public:
    NotesDialog(RunAnnotations& annotations, double seconds, QWidget* parent);

signals:
    void changed(const QString& said);

private:
    void add();
    void remove();
    void list();

    RunAnnotations& annotations_;
    QListWidget* notes_;
    QDoubleSpinBox* time_;
    QLineEdit* text_;
    QPushButton* addButton_;
    QPushButton* removeButton_;
};

} // namespace thermo
