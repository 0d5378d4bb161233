#pragma once

#include "acquisition/board_info.h"

#include <QList>
#include <QObject>

class QAction;
class QActionGroup;
class QMenu;
class QTimer;

namespace thermo {

class OrphyControl;

// The choice of where the codes come from, at the top of the acquisition control's context
// menu: the simulated bench, the boards the control lists (BoardList), the search for them,
// and a port typed by hand, whose kind of board is found out. A choice takes effect from the
// next read. What the search does, and a board found again after it was unplugged, are said
// where the measurement is shown; a board that may be another one like it is asked about.
class SourceMenu : public QObject {
    Q_OBJECT
public:
    // `owner` is the widget the menu opens from, and the parent of the port's input dialog.
    SourceMenu(OrphyControl& control, QMenu& menu, QWidget* owner);
    ~SourceMenu() override;

    QAction* simulationAction() const noexcept { return simulation_; }
    QAction* searchAction() const noexcept { return search_; }
    QAction* otherPortAction() const noexcept { return otherPort_; }
    QList<QAction*> boardActions() const;

    // What "Rechercher les cartes" does: the control's search, said while it runs.
    void startSearch();
    bool searching() const;

    // How long a search's outcome, or a board found again, is said, unless the source changes
    // first.
    static constexpr int statusShownMs = 5000;

signals:
    void searchFinished();
    // What the search is doing or found, for the user to read where the measurement is shown;
    // empty once there is nothing to say.
    void statusChanged(const QString& status);

private:
    void render();
    void choose(int entry);
    void askForPort();
    void searchEnded();
    void askAbout(const BoardInfo& lookalike);
    // Said until replaced, or for statusShownMs when `forAWhile`.
    void setStatus(const QString& status, bool forAWhile = false);
    // Runs a slot's work; whatever it throws is told to the user, never thrown through Qt.
    template <typename Action> void guarded(const Action& action);
    void tell(const QString& why) noexcept;

    OrphyControl& control_;
    QMenu& menu_;
    QActionGroup* choices_;
    QAction* simulation_;
    QAction* noBoard_;
    QAction* search_;
    QAction* otherPort_;
    QWidget* owner_;
    bool searched_ = false;
    QString status_;
    QTimer* statusTimer_;
};

} // namespace thermo
