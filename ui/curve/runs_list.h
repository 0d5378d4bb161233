#pragma once

#include <QWidget>
#include <cstddef>
#include <cstdint>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace thermo {

class CurveWindow;
class SessionRecord;
class SpokenNotice;

// The list of the séance's runs beside the curve: each with its colour, its name (edited in
// place, F2 or a double click) and a box that shows or hides it. The run chosen in the list is
// the selected run, on which the model, the pointer, the range and the table work. "Nouvelle
// série" ends the live run and begins the next; "Supprimer" deletes the chosen run after
// asking; "Couleur…" changes its colour.
class RunsList : public QWidget {
    Q_OBJECT
public:
    explicit RunsList(CurveWindow& window);

    QListWidget& list() noexcept { return *list_; }

private:
    void fill();
    void insert(std::size_t index);
    void describeRow(std::size_t index);
    void itemChanged(QListWidgetItem* item);
    void removeChosen();
    void recolourChosen();
    void showRuns();
    void drawRuns();
    void announce(const QString& words);

    CurveWindow& window_;
    SessionRecord& record_;
    QListWidget* list_;
    QPushButton* newRunButton_;
    QPushButton* colourButton_;
    QPushButton* removeButton_;
    SpokenNotice* notice_;
    bool filling_ = false;
    bool redrawPending_ = false;
};

} // namespace thermo
